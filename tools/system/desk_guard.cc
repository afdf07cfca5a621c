// DeskGuard: locks the workstation, as the user's own lock command does.
#include "console/command_line.h"
#include "console/help.h"
#include "console/std_output.h"
#include "platform/session.h"

namespace DeskGuard::modStartup {

qcp::StdOutput objOutput;

void ShowUsage() {
  qcp::PrintHelpScreen(objOutput, {
      u"    DeskGuard.exe",
      u"",
      u"    Locks the current Windows Workstation.",
  });
}

void Main() {
  const std::u16string command_line = qcp::CleanCommandLine(qcp::CommandTail());
  objOutput = qcp::StdOutput();
  if (qcp::HasHelpSwitch(command_line)) {
    ShowUsage();
    return;
  }
  platform::LockWorkStation();
}

}  // namespace DeskGuard::modStartup
