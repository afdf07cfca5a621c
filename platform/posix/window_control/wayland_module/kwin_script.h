// Windows under KWin (KDE Plasma), which offers no protocol for other
// programs to act on windows: a small KWin script, loaded and run over
// D-Bus, finds the window and acts on it, then calls back with the outcome.
#pragma once

#include <string>
#include <string_view>

#include "platform/posix/window_control/backend.h"

namespace platform::wayland {

// kList finds nothing: its title is every window's caption, one a line.
enum class KWinAction { kFind, kClose, kMinimize, kMaximize, kRestore, kPin, kUnpin, kList };

enum class KWinOutcome {
  kNoKWin,    // no session bus or no KWin on it, or a failure kept
  kDone,      // the window was found and the request made
  kNotFound,  // KWin has no such window
};

// How long the script may take to answer; KWin runs it at once, so only a
// KWin that cannot call back (or has hung) waits this out.
inline constexpr unsigned kKWinReplyTimeoutMs = 10000;

// Acts on the window titled `caption` regardless of case (or, with
// `active`, on the active window). `title`, if given, receives the title of
// the window acted on. A bus or KWin that does not answer in time, or a
// KWin that fails the script, is a failure kept (see pending_failure.h).
KWinOutcome KWinAct(std::u16string_view caption, bool active, KWinAction action, std::u16string* title = nullptr,
                    unsigned reply_timeout_ms = kKWinReplyTimeoutMs);

// The script reports back by calling Done(s title, b found) on the caller's
// connection at the object and interface below.

inline constexpr char kKWinReplyPath[] = "/org/quorvex/KWinReply";
inline constexpr char kKWinReplyInterface[] = "org.quorvex.KWinReply";

// KWin's windows as a window backend, each request a script.
extern const WindowBackend kKWinBackend;

}  // namespace platform::wayland
