#include "platform/win32/win32_common.h"

namespace platform {

std::vector<char> AnsiFromUtf16(std::u16string_view text) {
  if (text.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  const int size = ::WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
  std::vector<char> bytes(static_cast<std::size_t>(size > 0 ? size : 0));
  if (size > 0) ::WideCharToMultiByte(CP_ACP, 0, wide, length, bytes.data(), size, nullptr, nullptr);
  return bytes;
}

}  // namespace platform
