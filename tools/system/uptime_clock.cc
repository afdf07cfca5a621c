// UptimeClock: prints the operating system tick count (milliseconds since start).
#include "console/command_line.h"
#include "platform/clock.h"
#include "tools/entry.h"
#include "tools/help.h"
#include "tools/std_output.h"

namespace uptime_clock {

void ShowUsage(qcp::IPrintTarget& out) {
  qcp::PrintHelpScreen(out, {
      u"    UptimeClock.exe",
      u"",
      u"    Returns the operating system tick count value.",
  });
}

void Main(std::u16string_view tail, qcp::IPrintTarget& out) {
  const std::u16string command_line = qcp::CleanCommandLine(tail);
  if (qcp::HasHelpSwitch(command_line)) {
    ShowUsage(out);
    return;
  }
  qcp::PrintLine(out, qcp::DecimalText(platform::TickCount()));
}

extern const qcp::ToolEntry kTool{u"UptimeClock", &Main};

}  // namespace uptime_clock
