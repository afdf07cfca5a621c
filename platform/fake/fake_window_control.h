// Scripting of the top-level windows.
#pragma once

#include <cstdint>
#include <string>

#include "platform/window_control.h"

namespace fake {

// A top-level window with `caption`. FindWindow returns the first window
// added with a caption, as the topmost of its name.
void AddWindow(platform::WindowHandle window, std::u16string caption);

// The window GetForegroundWindow returns (0 unless set).
void SetForegroundWindow(platform::WindowHandle window);

// Makes GetWindowText of `window` copy `text` as it stands (zeros included)
// and return `count`, as a platform that misreports its count would.
void SetWindowTextResult(platform::WindowHandle window, std::u16string text, std::int32_t count);

}  // namespace fake
