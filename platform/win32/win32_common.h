// Shared by the Win32 backend files: <windows.h>, and text conversion between
// the tools' UTF-16 strings and the API.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace platform {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t");

// The W functions take the tools' strings as they are.
inline const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

inline std::u16string FromWide(const wchar_t* text) {
  return text == nullptr ? std::u16string() : std::u16string(reinterpret_cast<const char16_t*>(text));
}

inline std::u16string FromWide(const wchar_t* text, std::size_t length) {
  return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

// Raises the pack's failure for a file that CreateFileW could not open
// ("File not found", "Path not found", "Path is a folder", ...).
[[noreturn]] void RaiseOpenFailure(const std::u16string& name, DWORD error);

// The system ANSI code page; characters it lacks become its default character
// (no best-fit look-alikes).
// (A byte vector: std::string would link libstdc++'s whole narrow string.)
std::vector<char> AnsiFromUtf16(std::u16string_view text);

}  // namespace platform
