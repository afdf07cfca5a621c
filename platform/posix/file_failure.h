// Why a file could not be opened, in the pack's words: one map from errno
// for every backend that opens a file by name.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// As on Windows, a missing folder on the way is "Path not found"; a cause
// without a word of its own is "Device I/O error".
std::u16string_view OpenFailure(const std::string& path, int error);

[[noreturn]] void RaiseOpenFailure(const std::string& path, int error);

}  // namespace platform
