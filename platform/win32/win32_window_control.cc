// Win32 windows: the W forms of the user32 calls, so captions outside the
// ANSI code page are found as they are.
#include "platform/win32/win32_common.h"

#include "platform/window_control.h"

namespace platform {
namespace {

HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }

}  // namespace

WindowHandle FindWindow(const std::u16string& window_name) {
  return reinterpret_cast<WindowHandle>(::FindWindowW(nullptr, Wide(window_name)));
}

WindowHandle GetForegroundWindow() { return reinterpret_cast<WindowHandle>(::GetForegroundWindow()); }

std::int32_t GetWindowText(WindowHandle window, char16_t* buffer, std::int32_t max_count) {
  if (max_count < 1) return 0;
  return ::GetWindowTextW(ToHwnd(window), reinterpret_cast<wchar_t*>(buffer), max_count);
}

bool PostMessage(WindowHandle window, std::uint32_t message, std::uintptr_t w_param, std::intptr_t l_param) {
  return ::PostMessageW(ToHwnd(window), message, w_param, l_param) != FALSE;
}

bool SetWindowPos(WindowHandle window, WindowHandle insert_after, std::int32_t x, std::int32_t y, std::int32_t cx,
                  std::int32_t cy, std::uint32_t flags) {
  return ::SetWindowPos(ToHwnd(window), ToHwnd(insert_after), x, y, cx, cy, flags) != FALSE;
}

}  // namespace platform
