// Win32 shell: SHEmptyRecycleBinW, and ShellExecuteExW in the native record layout.
#include "platform/win32/win32_common.h"

#include <objbase.h>
#include <shellapi.h>

#undef SHEmptyRecycleBin

#include "platform/shell.h"

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

HANDLE Native(ProcessHandle handle) { return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(handle)); }

}  // namespace

std::int32_t SHEmptyRecycleBin(Handle owner, const std::u16string& root, std::uint32_t flags) {
  return ::SHEmptyRecycleBinW(reinterpret_cast<HWND>(owner), Wide(root), flags);
}

bool ShellExecuteEx(ShellExecuteInfo& info) {
  InitializeCom();
  SHELLEXECUTEINFOW record{};
  record.cbSize = sizeof(record);
  record.fMask = info.mask;
  record.hwnd = reinterpret_cast<HWND>(info.hwnd);
  record.lpVerb = Wide(info.verb);
  record.lpFile = Wide(info.file);
  record.lpParameters = Wide(info.parameters);
  record.lpDirectory = info.directory ? Wide(*info.directory) : nullptr;
  record.nShow = info.show;
  const BOOL ok = ::ShellExecuteExW(&record);
  info.inst_app = reinterpret_cast<Handle>(record.hInstApp);
  info.process = static_cast<ProcessHandle>(reinterpret_cast<std::uintptr_t>(record.hProcess));
  return ok != FALSE;
}

std::uint32_t WaitForSingleObject(ProcessHandle handle, std::uint32_t milliseconds) {
  return ::WaitForSingleObject(Native(handle), milliseconds);
}

bool CloseHandle(ProcessHandle handle) { return ::CloseHandle(Native(handle)) != FALSE; }

void DoEvents() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

}  // namespace platform
