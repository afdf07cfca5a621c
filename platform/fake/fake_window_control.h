// Scripting of the top-level windows.
#pragma once

#include <string>

#include "platform/window_control.h"

namespace fake {

// A top-level window with `caption`. FindWindowByCaption returns the first window
// added with a caption, as the topmost of its name.
void AddWindow(platform::WindowHandle window, std::u16string caption);

// The window ActiveWindow returns (0 unless set).
void SetActiveWindow(platform::WindowHandle window);

}  // namespace fake
