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
extern const ToolEntry kUptimeClock{u"UptimeClock", uptime_clock::kHelp, HelpRule::kHelpSwitch, true, &uptime_clock::Main};
}  // namespace qcp::entries
