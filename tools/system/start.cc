// Start: opens a program, document or URL with the application its type belongs to.
#include "console/command_line.h"
#include "tools/entry.h"
#include "tools/help.h"
#include "tools/std_output.h"
#include "tools/system/shell_execute.h"

namespace start {

void ShowUsage(qcp::IPrintTarget& out) {
  qcp::PrintHelpScreen(out, {
      u"    Start.exe <mode> <filename>",
      u"",
      u"    Sarts the specified application or file.",
      u"",
      u"      Mode: 0 = default.",
  });
}

void Main(std::u16string_view tail, qcp::IPrintTarget& out) {
  const std::u16string command_line = qcp::CleanCommandLine(tail);
  if (qcp::SplitWords(command_line).size() < 2) {  // an empty command line is one empty word
    ShowUsage(out);
    return;
  }
  // The mode word must be there but is not read: every mode is the default.
  // The name is everything after the first blank, doubled blanks and all.
  const std::u16string file_name = qcp::TextAfterFirstBlank(command_line);
  ExecuteFile(file_name, u"", 0, WindowShow::kNormal, u"", false);
}

extern const qcp::ToolEntry kTool{u"Start", &Main};

}  // namespace start
