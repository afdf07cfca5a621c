// DeskGuard: locks the workstation, as the user's own lock command does.
#include "platform/session.h"
#include "tools/entry.h"
#include "tools/std_output.h"

namespace desk_guard {

constexpr std::u16string_view kHelp[] = {
    u"    DeskGuard.exe",
    u"",
    u"    Locks the current Windows Workstation.",
};

qcp::Status Main(std::u16string_view, qcp::IPrintTarget&) {
  platform::LockSession();
  return qcp::Status::kDone;
}

}  // namespace desk_guard

namespace qcp::entries {
extern const ToolEntry kDeskGuard{u"DeskGuard", desk_guard::kHelp, HelpRule::kHelpSwitchOrDash, true,
                                  &desk_guard::Main};
}  // namespace qcp::entries
