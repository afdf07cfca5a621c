// UptimeClock: prints the operating system tick count (milliseconds since start).
#include "console/command_line.h"
#include "console/help.h"
#include "console/std_output.h"
#include "platform/clock.h"

namespace UptimeClock::modStartup {

qcp::StdOutput objOutput;

void Main() {
  const std::u16string command_line = qcp::CleanCommandLine(qcp::CommandTail());
  objOutput = qcp::StdOutput();
  if (qcp::HasHelpSwitch(command_line)) {
    qcp::PrintHelpScreen(objOutput, {
        u"    UptimeClock.exe",
        u"",
        u"    Returns the operating system tick count value.",
    });
    return;
  }
  qcp::PrintLine(objOutput, qcp::DecimalText(platform::TickCount()));
}

}  // namespace UptimeClock::modStartup
