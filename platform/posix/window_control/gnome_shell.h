// Windows under GNOME Shell on Wayland, which lets no other program at them
// but through an extension: the pack's own, window-control, lists them and
// acts on them over the session bus. GIO is loaded on the first request.
#pragma once

#include <string>

#include "platform/posix/window_control/backend.h"
#include "platform/window_control.h"

namespace platform::gnome {

// The extension in its two shapes, as `gnome-extensions enable` names them:
// GNOME loads the legacy one up to 44 and the ES-module one from 45 on.
inline constexpr char kLegacyUuid[] = "window-control@quorvex-command-pack";
inline constexpr char kModuleUuid[] = "window-control-gnome45@quorvex-command-pack";
inline constexpr int kFirstModuleShell = 45;

// Where it answers.
inline constexpr char kBusName[] = "org.quorvex.CommandPack.Windows";
inline constexpr char kObjectPath[] = "/org/quorvex/CommandPack/Windows";

// GNOME Shell cuts the titles of X11 windows to this many characters.
inline constexpr std::size_t kTitleCut = 512;

// Whether GNOME Shell is on the session bus right now.
bool ShellAnswers();

// Whether a session bus is set for this run (by DBUS_SESSION_BUS_ADDRESS
// or $XDG_RUNTIME_DIR/bus) and could not be reached.
bool SessionBusLost();

// The table. Its handles number the windows it has handed out, from 1.
const WindowBackend& Backend();

// After a window was not found: why the extension could not help, as a
// line for standard error without the program's name, from the state the
// shell gives for it; empty when it answered.
std::u16string UnreachableNote();

}  // namespace platform::gnome
