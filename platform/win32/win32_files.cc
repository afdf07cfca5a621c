// Win32 files: CreateFileW by the Unicode name, ReadFile in blocks.
#include "platform/win32/win32_common.h"

#include "console/failure.h"
#include "platform/files.h"

namespace platform {
namespace {

HANDLE ToHandle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

}  // namespace

FileHandle OpenFileForReading(const std::u16string& name) {
  // A NUL would cut the name short and open some other file.
  if (name.find(u'\0') != name.npos) qcp::Raise(qcp::failures::kBadFileName);
  const HANDLE file = ::CreateFileW(Wide(name), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) RaiseOpenFailure(name, ::GetLastError());
  return reinterpret_cast<FileHandle>(file);
}

std::size_t ReadFromFile(FileHandle file, char* buffer, std::size_t size) {
  constexpr std::size_t kMostPerCall = 1u << 30;
  DWORD got = 0;
  if (::ReadFile(ToHandle(file), buffer, static_cast<DWORD>(size < kMostPerCall ? size : kMostPerCall), &got,
                 nullptr)) {
    return got;
  }
  switch (::GetLastError()) {
    case ERROR_HANDLE_EOF:
    case ERROR_BROKEN_PIPE:  // a pipe whose writer has gone: its end
      return 0;
    case ERROR_LOCK_VIOLATION:
      qcp::Raise(qcp::failures::kPermissionDenied);
    default:
      qcp::Raise(qcp::failures::kDeviceError);
  }
}

void CloseFile(FileHandle file) { ::CloseHandle(ToHandle(file)); }

}  // namespace platform
