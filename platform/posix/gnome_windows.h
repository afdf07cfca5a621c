// Windows under GNOME Shell on Wayland, which lets no other program at them
// but through an extension: the pack's own, window-control, lists them and
// acts on them over the session bus. GIO is loaded on the first request.
#pragma once

#include <string>

#include "platform/posix/window_backend.h"
#include "platform/window_control.h"

namespace platform::gnome {

// The extension, as `gnome-extensions enable` names it.
inline constexpr char kExtensionUuid[] = "window-control@quorvex-command-pack";

// Where it answers.
inline constexpr char kBusName[] = "org.quorvex.CommandPack.Windows";
inline constexpr char kObjectPath[] = "/org/quorvex/CommandPack/Windows";

// Whether the session bus has the extension on it right now.
bool ExtensionPresent();

// The table. Its handles number the windows it has handed out, from 1.
const WindowBackend& Backend();

// After a window was not found: why the extension could not help, as a
// line for standard error without the program's name (the enable command
// where it is missing); empty when it answered.
std::u16string UnreachableNote();

}  // namespace platform::gnome
