// DeskGuard: locks the workstation, as the user's own lock command does.
#include "console/command_line.h"
#include "platform/session.h"
#include "tools/entry.h"
#include "tools/help.h"
#include "tools/std_output.h"

namespace desk_guard {

void ShowUsage(qcp::IPrintTarget& out) {
  qcp::PrintHelpScreen(out, {
      u"    DeskGuard.exe",
      u"",
      u"    Locks the current Windows Workstation.",
  });
}

void Main(std::u16string_view tail, qcp::IPrintTarget& out) {
  const std::u16string command_line = qcp::CleanCommandLine(tail);
  if (qcp::HasHelpSwitch(command_line)) {
    ShowUsage(out);
    return;
  }
  platform::LockSession();
}

extern const qcp::ToolEntry kTool{u"DeskGuard", &Main};

}  // namespace desk_guard
