// Win32 console: the tail comes from GetCommandLineW; text goes out in the
// ANSI code page with one WriteFile per write.
#include "platform/win32/win32_common.h"

#include <string>
#include <vector>

#include "console/command_line.h"
#include "platform/console.h"

namespace platform {
namespace {

bool std_out_failed = false;

// False only when the write itself failed (a closed pipe, a full disk).
bool WriteHandle(DWORD which, std::string_view bytes) {
  if (bytes.empty()) return true;
  const HANDLE handle = ::GetStdHandle(which);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return true;
  DWORD written = 0;
  return ::WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != FALSE;
}

}  // namespace

void StartProcess() {}

// The C run-time's argv has already undone the quoting: the tail comes from
// the command line as it was typed.
std::u16string CommandTail(int, char**) { return qcp::TailAfterProgramName(FromWide(::GetCommandLineW())); }

void WriteStdOut(std::u16string_view text) {
  const std::vector<char> bytes = AnsiFromUtf16(text);
  if (!WriteHandle(STD_OUTPUT_HANDLE, {bytes.data(), bytes.size()})) std_out_failed = true;
}

void WriteStdOutBytes(std::string_view bytes, std::string_view more) {
  if (more.empty()) {
    if (!WriteHandle(STD_OUTPUT_HANDLE, bytes)) std_out_failed = true;
    return;
  }
  std::vector<char> joined(bytes.begin(), bytes.end());
  joined.insert(joined.end(), more.begin(), more.end());
  if (!WriteHandle(STD_OUTPUT_HANDLE, {joined.data(), joined.size()})) std_out_failed = true;
}

bool StdOutFailed() { return std_out_failed; }

std::u16string StdOutFailure() { return {}; }

void WriteStdErrLine(std::u16string_view text) {
  std::vector<char> line = AnsiFromUtf16(text);
  line.insert(line.end(), LineEnd().begin(), LineEnd().end());
  WriteHandle(STD_ERROR_HANDLE, {line.data(), line.size()});
}

std::string_view LineEnd() { return "\r\n"; }
bool LoneLfEndsLine() { return false; }
std::u16string_view ProgramNameSuffix() { return u".exe"; }
bool UnixCommandConventions() { return false; }

}  // namespace platform
