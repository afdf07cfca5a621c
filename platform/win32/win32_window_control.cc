// Win32 windows: the W forms of the user32 calls, so captions outside the
// ANSI code page are found as they are. The requests are the system menu's
// own commands, posted; pinning is the topmost band of the Z-order.
#include "platform/win32/win32_common.h"

#include <algorithm>
#include <vector>

#include "platform/window_control.h"

namespace platform {
namespace {

HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }

bool PostSystemCommand(WindowHandle window, WPARAM command) {
  return ::PostMessageW(ToHwnd(window), WM_SYSCOMMAND, command, 0) != FALSE;
}

}  // namespace

WindowHandle FindWindowByCaption(const std::u16string& caption) {
  return reinterpret_cast<WindowHandle>(::FindWindowW(nullptr, Wide(caption)));
}

// Listing is a native convention only (--list-captions).
std::vector<std::u16string> WindowCaptions() { return {}; }

WindowHandle ActiveWindow() { return reinterpret_cast<WindowHandle>(::GetForegroundWindow()); }

std::u16string WindowCaption(WindowHandle window, std::size_t max_length) {
  // Room for the caption and its terminating zero.
  const int buffer_length = static_cast<int>(std::min<std::size_t>(max_length, 0x7ffffffe)) + 1;
  std::vector<wchar_t> buffer(static_cast<std::size_t>(buffer_length), L' ');
  const int count = ::GetWindowTextW(ToHwnd(window), buffer.data(), buffer_length);
  if (count <= 0) return {};
  std::u16string caption(buffer.begin(), buffer.begin() + std::min(count, buffer_length));
  // The zero ends the caption even where the count claims more: a count in
  // bytes of a multi-byte code page would keep the blanks behind it.
  caption.resize(std::min(caption.find(u'\0'), caption.size()));
  return caption;
}

bool CloseWindow(WindowHandle window) { return PostSystemCommand(window, SC_CLOSE); }
bool RestoreWindow(WindowHandle window) { return PostSystemCommand(window, SC_RESTORE); }
bool MinimizeWindow(WindowHandle window) { return PostSystemCommand(window, SC_MINIMIZE); }
bool MaximizeWindow(WindowHandle window) { return PostSystemCommand(window, SC_MAXIMIZE); }

bool SetTopmost(WindowHandle window, bool topmost) {
  return ::SetWindowPos(ToHwnd(window), topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                        SWP_NOMOVE | SWP_NOSIZE) != FALSE;
}

}  // namespace platform
