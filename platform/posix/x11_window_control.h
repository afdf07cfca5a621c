// The window intents on an X server (or XWayland), for the POSIX window
// backend to call; the same contract as platform/window_control.h.
#pragma once

#include <cstddef>
#include <string>

#include "platform/window_control.h"

namespace platform::x11 {

WindowHandle FindWindow(const std::u16string& caption);
WindowHandle ActiveWindow();
std::u16string WindowCaption(WindowHandle window, std::size_t max_length);
bool CloseWindow(WindowHandle window);
bool RestoreWindow(WindowHandle window);
bool MinimizeWindow(WindowHandle window);
bool MaximizeWindow(WindowHandle window);
bool SetTopmost(WindowHandle window, bool topmost);

}  // namespace platform::x11
