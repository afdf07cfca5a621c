// Win32 opening: ShellExecuteExW in the native record layout.
#include "platform/win32/win32_common.h"

#include <objbase.h>
#include <shellapi.h>

#include "platform/open.h"

namespace platform {
namespace {

// Shell extensions that open an item may need COM on the calling thread.
void InitializeCom() {
  static const bool initialized = [] {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    return true;
  }();
  (void)initialized;
}

// Handles the window messages that are waiting, once, and returns.
void HandleWaitingMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

}  // namespace

bool OpenItem(const OpenRequest& request) {
  InitializeCom();
  SHELLEXECUTEINFOW record{};
  record.cbSize = sizeof(record);
  record.fMask = SEE_MASK_NOCLOSEPROCESS;
  // A console program owns no window: the shell's own boxes have no owner.
  record.hwnd = nullptr;
  record.lpVerb = L"open";
  record.lpFile = Wide(request.item);
  record.lpParameters = Wide(request.parameters);
  record.lpDirectory = request.directory.empty() ? nullptr : Wide(request.directory);
  record.nShow = SW_SHOWNORMAL;
  const bool opened = ::ShellExecuteExW(&record) != FALSE;

  // The shell hands over no process when it fails, or when an application
  // that is already running takes the item over.
  if (record.hProcess == nullptr) return opened;
  if (request.wait) {
    ::WaitForSingleObject(record.hProcess, INFINITE);
    ::CloseHandle(record.hProcess);
    HandleWaitingMessages();
    return opened;
  }
  // Nobody can use the handle once this call has returned.
  ::CloseHandle(record.hProcess);
  return opened;
}

}  // namespace platform
