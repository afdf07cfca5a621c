// Win32 console: the tail comes from GetCommandLineW; text goes out in the
// ANSI code page with one WriteFile per write.
#include "platform/win32/win32_common.h"

#include <string>
#include <vector>

#include "console/command_line.h"
#include "platform/console.h"

namespace platform {
namespace {

void WriteHandle(DWORD which, std::string_view bytes) {
  if (bytes.empty()) return;
  const HANDLE handle = ::GetStdHandle(which);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  ::WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace

void StartProcess(int, char**) {}

std::u16string CommandTail() { return qcp::TailAfterProgramName(FromWide(::GetCommandLineW())); }

void WriteStdOut(std::u16string_view text) {
  const std::vector<char> bytes = AnsiFromUtf16(text);
  WriteHandle(STD_OUTPUT_HANDLE, {bytes.data(), bytes.size()});
}

void WriteStdOutBytes(std::string_view bytes, std::string_view more) {
  if (more.empty()) {
    WriteHandle(STD_OUTPUT_HANDLE, bytes);
    return;
  }
  std::vector<char> joined(bytes.begin(), bytes.end());
  joined.insert(joined.end(), more.begin(), more.end());
  WriteHandle(STD_OUTPUT_HANDLE, {joined.data(), joined.size()});
}

void WriteStdErrLine(std::u16string_view text) {
  std::vector<char> line = AnsiFromUtf16(text);
  line.insert(line.end(), LineEnd().begin(), LineEnd().end());
  WriteHandle(STD_ERROR_HANDLE, {line.data(), line.size()});
}

std::string_view LineEnd() { return "\r\n"; }
bool LoneLfEndsLine() { return false; }
std::u16string_view ProgramNameSuffix() { return u".exe"; }

}  // namespace platform
