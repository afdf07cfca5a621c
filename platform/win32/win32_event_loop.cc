// Win32 message loop: GetMessageW until the last window posts WM_QUIT.
#include "platform/win32/win32_common.h"
#include "platform/event_loop.h"
#include "platform/win32/win32_event_loop.h"

namespace platform {
namespace {
int open_windows = 0;
}  // namespace

void WindowOpened() { ++open_windows; }

void WindowClosed() {
  if (open_windows > 0 && --open_windows == 0) ::PostQuitMessage(0);
}

void RunMessageLoop() {
  if (open_windows == 0) return;
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

}  // namespace platform
