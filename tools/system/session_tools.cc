// The session pair: DeskGuard locks the workstation, as the user's own lock
// command does; SessionEnd logs the current user off at once, closing
// applications without asking. Each is a program of its own; they differ
// only in their help screen and their one call.
#include "platform/session.h"
#include "tools/entry.h"
#include "tools/std_output.h"

namespace qcp::entries {

namespace {

constexpr std::u16string_view kDeskGuardHelp[] = {
    u"    DeskGuard.exe",
    u"",
    u"    Locks the current Windows Workstation.",
};

constexpr std::u16string_view kSessionEndHelp[] = {
    u"    SessionEnd.exe",
    u"",
    u"    Logs the current user off of Windows.",
};

// Both take no arguments and act at once; the tail is not read.
template <void (*kAct)()>
Status SessionMain(std::u16string_view, IPrintTarget&) {
  kAct();
  return Status::kDone;
}

}  // namespace

// DeskGuard, as the build reads it (cmake/tool_declarations.cmake):
//   Platform: session
//   Description: Locks the workstation
//   About: Locks the workstation.
//   Example: DeskGuard
//   Batch example: DeskGuard.exe
//   Pack page: Asks
//     .BR systemd-logind (8)
//     to lock the caller's session
//     .RB ( $XDG_SESSION_ID ,
//     else the user's display session).
extern const ToolEntry kDeskGuard{u"DeskGuard", kDeskGuardHelp, HelpRule::kHelpSwitchOrDash, true,
                                  &SessionMain<&platform::LockSession>};
// SessionEnd, as the build reads it (cmake/tool_declarations.cmake):
//   Platform: session
//   Description: Logs the current user off
//   About: Logs the user off at once, without asking programs to save.
//   Example: SessionEnd
//   Batch example: SessionEnd.exe
//   Pack page: Ends the caller's session at once through logind, closing every program
//     in it without asking.
extern const ToolEntry kSessionEnd{u"SessionEnd", kSessionEndHelp, HelpRule::kHelpSwitchOrDash, true,
                                   &SessionMain<&platform::EndSession>};

}  // namespace qcp::entries
