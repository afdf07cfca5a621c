// SessionEnd: logs the current user off at once, closing applications without asking.
#include "platform/session.h"
#include "tools/entry.h"
#include "tools/std_output.h"

namespace session_end {

constexpr std::u16string_view kHelp[] = {
    u"    SessionEnd.exe",
    u"",
    u"    Logs the current user off of Windows.",
};

qcp::Status Main(std::u16string_view, qcp::IPrintTarget&) {
  platform::EndSession();
  return qcp::Status::kDone;
}

}  // namespace session_end

namespace qcp::entries {
extern const ToolEntry kSessionEnd{u"SessionEnd", session_end::kHelp, HelpRule::kHelpSwitchOrDash, true,
                                   &session_end::Main};
}  // namespace qcp::entries
