// Top-level windows: find one by caption or take the active one, read its
// caption, and ask it to close, restore, minimise, maximise or change its
// place in the Z-order.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// A top-level window as a plain integer; 0 is no window.
using WindowHandle = std::uintptr_t;

// Published Windows values of the requests. Other backends map them.
inline constexpr std::uint32_t kWmSysCommand = 0x0112;
inline constexpr std::uintptr_t kScClose = 0xF060;
inline constexpr std::uintptr_t kScMinimize = 0xF020;
inline constexpr std::uintptr_t kScMaximize = 0xF030;
inline constexpr std::uintptr_t kScRestore = 0xF120;
inline constexpr WindowHandle kHwndTopmost = static_cast<WindowHandle>(-1);
inline constexpr WindowHandle kHwndNoTopmost = static_cast<WindowHandle>(-2);
inline constexpr std::uint32_t kSwpNoSize = 1;
inline constexpr std::uint32_t kSwpNoMove = 2;

// A top-level window of any class whose caption is exactly `window_name`,
// or 0. Where several match, the one highest in the Z-order.
WindowHandle FindWindow(const std::u16string& window_name);

// The window the user is working in, or 0.
WindowHandle GetForegroundWindow();

// Copies at most max_count - 1 characters of the window's caption into
// `buffer`, followed by a zero, and returns the number copied (0 for no
// window, no caption or no display). Nothing is written when max_count < 1.
std::int32_t GetWindowText(WindowHandle window, char16_t* buffer, std::int32_t max_count);

// Queues `message` for the window and returns at once; false when it could
// not be queued. Beyond Windows only WM_SYSCOMMAND with the four SC_ values
// above is understood.
bool PostMessage(WindowHandle window, std::uint32_t message, std::uintptr_t w_param, std::intptr_t l_param);

// Moves the window in the Z-order (and, unless the flags say otherwise, in
// place and size). Beyond Windows only HWND_TOPMOST and HWND_NOTOPMOST with
// SWP_NOMOVE | SWP_NOSIZE are understood.
bool SetWindowPos(WindowHandle window, WindowHandle insert_after, std::int32_t x, std::int32_t y, std::int32_t cx,
                  std::int32_t cy, std::uint32_t flags);

}  // namespace platform
