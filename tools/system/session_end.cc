// SessionEnd: logs the current user off at once, closing applications without asking.
#include "console/command_line.h"
#include "platform/session.h"
#include "tools/entry.h"
#include "tools/help.h"
#include "tools/std_output.h"

namespace session_end {

void ShowUsage(qcp::IPrintTarget& out) {
  qcp::PrintHelpScreen(out, {
      u"    SessionEnd.exe",
      u"",
      u"    Logs the current user off of Windows.",
  });
}

void Main(std::u16string_view tail, qcp::IPrintTarget& out) {
  const std::u16string command_line = qcp::CleanCommandLine(tail);
  if (qcp::HasHelpSwitch(command_line)) {
    ShowUsage(out);
    return;
  }
  platform::EndSession();
}

extern const qcp::ToolEntry kTool{u"SessionEnd", &Main};

}  // namespace session_end
