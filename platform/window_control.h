// Top-level windows: find one by caption or take the active one, read its
// caption, and ask it to close, restore, minimise, maximise or stay above
// the others.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// A top-level window as a plain integer; 0 is no window.
using WindowHandle = std::uintptr_t;

// Natively, where there is no display at all, finding a window (by caption
// or the active one) raises qcp::Unfulfilled with qcp::kNoDisplay.

// A top-level window of any kind whose caption is `caption`, or 0. Where
// several match, the one highest in the Z-order.
WindowHandle FindWindowByCaption(const std::u16string& caption);

// The window the user is working in, or 0.
WindowHandle ActiveWindow();

// The window's caption, cut to at most `max_length` characters; "" for no
// window, no caption or no display.
std::u16string WindowCaption(WindowHandle window, std::size_t max_length);

// Natively: the captions of the top-level windows the tools can reach now
// (the compositor's first, then X11's), each once, for shell completion. On
// Windows: none.
std::vector<std::u16string> WindowCaptions();

// Each request is queued for the window, which carries it out in its own
// time; false when it could not be sent.
bool CloseWindow(WindowHandle window);
bool RestoreWindow(WindowHandle window);
bool MinimizeWindow(WindowHandle window);
bool MaximizeWindow(WindowHandle window);

// Keeps the window above all others that are not, or lets it go back among them.
bool SetTopmost(WindowHandle window, bool topmost);

}  // namespace platform
