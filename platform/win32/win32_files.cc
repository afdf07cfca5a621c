// Win32 files: CreateFileW by the Unicode name, ReadFile in blocks.
#include "platform/win32/win32_common.h"

#include "console/failure.h"
#include "platform/files.h"

namespace platform {
namespace {

HANDLE ToHandle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

bool IsFolder(const std::u16string& name) {
  const DWORD attributes = ::GetFileAttributesW(Wide(name));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

[[noreturn]] void RaiseOpenFailure(const std::u16string& name, DWORD error) {
  namespace f = qcp::failures;
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
      qcp::Raise(f::kFileNotFound);
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      qcp::Raise(f::kPathNotFound);
    case ERROR_ACCESS_DENIED:
      // A folder opened as a file is refused as access denied.
      qcp::Raise(IsFolder(name) ? f::kPathIsFolder : f::kPermissionDenied);
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      qcp::Raise(f::kPermissionDenied);
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_INVALID_PARAMETER:
      qcp::Raise(f::kBadFileName);
    default:
      qcp::Raise(f::kDeviceError);
  }
}

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
