#include "platform/win32/win32_common.h"

#include "console/failure.h"

namespace platform {
namespace {

bool IsFolder(const std::u16string& name) {
  const DWORD attributes = ::GetFileAttributesW(Wide(name));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

void RaiseOpenFailure(const std::u16string& name, DWORD error) {
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

std::vector<char> AnsiFromUtf16(std::u16string_view text) {
  if (text.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  // No best fit: a look-alike (A for the macron A, a quote for a full-width
  // quote) would be a different text, and sometimes a different command.
  // UTF-8 as the ANSI code page (a user's choice from Windows 10 on)
  // represents everything and refuses the flag.
  const DWORD flags = ::GetACP() == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const int size = ::WideCharToMultiByte(CP_ACP, flags, wide, length, nullptr, 0, nullptr, nullptr);
  std::vector<char> bytes(static_cast<std::size_t>(size > 0 ? size : 0));
  if (size > 0) ::WideCharToMultiByte(CP_ACP, flags, wide, length, bytes.data(), size, nullptr, nullptr);
  return bytes;
}

}  // namespace platform
