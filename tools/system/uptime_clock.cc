// UptimeClock: prints the operating system tick count (milliseconds since start).
#include "platform/clock.h"
#include "tools/entry.h"
#include "tools/std_output.h"

namespace uptime_clock {

constexpr std::u16string_view kHelp[] = {
    u"    UptimeClock.exe",
    u"",
    u"    Returns the operating system tick count value.",
};

qcp::Status Main(std::u16string_view, qcp::IPrintTarget& out) {
  qcp::PrintLine(out, qcp::DecimalText(platform::TickCount()));
  return qcp::Status::kDone;
}

}  // namespace uptime_clock

namespace qcp::entries {
// UptimeClock, as the build reads it (cmake/tool_declarations.cmake):
//   Platform: clock
//   Description: Prints the system tick count
//   About: Prints the tick count: milliseconds since the system started.
//   Example: start=$(UptimeClock)
//   Batch example: for /f %%t in ('UptimeClock.exe') do set START=%%t
//   Pack page: Prints the milliseconds since the system started, as a signed 32-bit
//     number: after about 24.8 days the count is printed negative, and it starts
//     again from 0 after about 49.7 days.
extern const ToolEntry kUptimeClock{u"UptimeClock", uptime_clock::kHelp, HelpRule::kHelpSwitch, true, &uptime_clock::Main};
}  // namespace qcp::entries
