// The window intents on an X server (or XWayland) as a window backend.
#pragma once

#include "platform/posix/window_control/backend.h"

namespace platform::x11 {

// Whether an X server answers at DISPLAY; the connection is kept for the run.
bool DisplayReachable();

extern const WindowBackend kWindowBackend;

}  // namespace platform::x11
