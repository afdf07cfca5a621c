// SessionEnd: logs the current user off at once, closing applications without asking.
#include "console/command_line.h"
#include "console/help.h"
#include "console/std_output.h"
#include "tools/system/mod_shutdown.h"

namespace SessionEnd::modStartup {

qcp::StdOutput objOutput;

void ShowUsage() {
  qcp::PrintHelpScreen(objOutput, {
      u"    SessionEnd.exe",
      u"",
      u"    Logs the current user off of Windows.",
  });
}

void Main() {
  const std::u16string command_line = qcp::CleanCommandLine(qcp::CommandTail());
  objOutput = qcp::StdOutput();
  if (qcp::HasHelpSwitch(command_line)) {
    ShowUsage();
    return;
  }
  modShutdown::LogUserOff();
}

}  // namespace SessionEnd::modStartup
