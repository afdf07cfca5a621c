// TaskTable: prints the running processes as a table of ID, executable name,
// thread count and base priority.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/processes.h"
#include "tools/entry.h"
#include "tools/std_output.h"

namespace task_table {

constexpr std::u16string_view kHeader =
    u" ID    PROCESS                                   THREADS   PRIORITY CLASS";
constexpr std::u16string_view kRuler =
    u" ====  ========================================  ========  ==============";

constexpr std::u16string_view kHelp[] = {
    u"    TaskTable.exe",
    u"",
    u"    Displays a list of currently running processes.",
};

// `text` followed by the pad character up to `width`; never shortened.
std::u16string PadToWidth(std::u16string_view text, std::u16string_view pad, std::int32_t width) {
  std::u16string padded(text);
  if (!pad.empty() && width > 0 && padded.size() < static_cast<std::size_t>(width)) {
    padded.resize(static_cast<std::size_t>(width), pad.front());
  }
  return padded;
}

// The ID as the pattern "0000" shows it: at least four digits, zero-filled.
std::u16string IdText(std::int32_t id) {
  std::u16string digits = qcp::DecimalText(id);
  const bool negative = id < 0;
  if (negative) digits.erase(0, 1);
  if (digits.size() < 4) digits.insert(0, 4 - digits.size(), u'0');
  return negative ? u"-" + digits : digits;
}

void PrintProcessTable(qcp::IPrintTarget& out) {
  const std::vector<platform::ProcessRow> processes = platform::ListProcesses();
  qcp::PrintLine(out, kHeader);
  qcp::PrintLine(out, kRuler);
  for (const platform::ProcessRow& process : processes) {
    std::u16string row = u" ";
    row += IdText(static_cast<std::int32_t>(process.id));
    row += u"  ";
    row += PadToWidth(process.name, u" ", 40);
    row += u"  ";
    row += PadToWidth(qcp::DecimalText(static_cast<std::int32_t>(process.threads)), u" ", 5);
    row += u"     ";
    row += qcp::DecimalText(process.base_priority);
    qcp::PrintLine(out, row);
  }
}

qcp::Status Main(std::u16string_view, qcp::IPrintTarget& out) {
  PrintProcessTable(out);
  return qcp::Status::kDone;
}

}  // namespace task_table

namespace qcp::entries {
// TaskTable, as the build reads it (cmake/tool_declarations.cmake):
//   Platform: processes
//   Description: Lists the running processes
//   About: Lists the running processes: ID, name, threads, base priority.
//   Example: TaskTable | grep firefox
//   Batch example: TaskTable.exe | find "notepad"
//   Pack page: Lists the running processes: ID, executable name, thread count and base
//     priority (8 for normal, 4 and 6 below, 10 and 13 above, 24 for real-time
//     scheduling).
extern const ToolEntry kTaskTable{u"TaskTable", task_table::kHelp, HelpRule::kHelpSwitch, true, &task_table::Main};
}  // namespace qcp::entries
