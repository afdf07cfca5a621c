// The shell: emptying the recycle bin, and opening an item with the
// application its type belongs to, as a double-click would.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// Handles of the shell calls, as plain integers; a started process has a
// type of its own.
using Handle = std::uintptr_t;
enum class ProcessHandle : std::uintptr_t { kNone = 0 };

// What emptying the recycle bin may leave out of the user interface.
inline constexpr std::uint32_t kSherbNoConfirmation = 1;
inline constexpr std::uint32_t kSherbNoProgressUi = 2;
inline constexpr std::uint32_t kSherbNoSound = 4;

// Empties the recycle bin of the drive (file system) at `root`, every bin of
// the user when `root` is empty. Asks first, shows progress and plays the
// emptying sound unless `flags` leave them out; returns when the bin is empty
// or the user has declined: 0 when it was emptied (or had nothing in it).
std::int32_t SHEmptyRecycleBin(Handle owner, const std::u16string& root, std::uint32_t flags);

inline constexpr std::uint32_t kSeeMaskNoCloseProcess = 0x40;
inline constexpr std::int32_t kSwShowNormal = 1;
inline constexpr std::uint32_t kInfinite = 0xFFFFFFFF;
inline constexpr std::uint32_t kWaitObject0 = 0;
inline constexpr std::uint32_t kWaitTimeout = 258;
inline constexpr std::uint32_t kWaitFailed = 0xFFFFFFFF;

// The shell-execute record. The backend sets the record's size for its own
// layout; a directory that is absent is passed as null.
struct ShellExecuteInfo {
  std::uint32_t mask = 0;
  Handle hwnd = 0;
  std::u16string verb;
  std::u16string file;
  std::u16string parameters;
  std::optional<std::u16string> directory;
  std::int32_t show = 0;
  Handle inst_app = 0;  // filled in by the shell
  ProcessHandle process = ProcessHandle::kNone;  // filled in when the mask asks to keep the process and one was started
};

// Opens the record's item; false when it could not be opened.
bool ShellExecuteEx(ShellExecuteInfo& info);

// Waits for a process handle to be signalled (the process to end).
std::uint32_t WaitForSingleObject(ProcessHandle handle, std::uint32_t milliseconds);
bool CloseHandle(ProcessHandle handle);

// Handles the window messages that are waiting, once, and returns.
void DoEvents();

}  // namespace platform
