// Processes from /proc. A snapshot walks the directory as it is read; a
// process that ends before its turn is left out. Each record comes from
// /proc/PID/stat (threads, nice value, scheduling policy, and the short name
// when the executable cannot be read) and the /proc/PID/exe link.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string_view>

#include "console/utf.h"
#include "platform/processes.h"

namespace platform {
namespace {

struct Snapshot {
  DIR* directory;
};

// Windows base priorities, so scripts read the same numbers on both systems.
constexpr std::int32_t kRealtimePriority = 24;
constexpr std::int32_t kHighPriority = 13;
constexpr std::int32_t kAboveNormalPriority = 10;
constexpr std::int32_t kNormalPriority = 8;
constexpr std::int32_t kBelowNormalPriority = 6;
constexpr std::int32_t kIdlePriority = 4;

constexpr long kSchedFifo = 1;
constexpr long kSchedRr = 2;
constexpr long kSchedDeadline = 6;

Snapshot* ToSnapshot(SnapshotHandle handle) {
  return handle == 0 || handle == kInvalidHandleValue ? nullptr : reinterpret_cast<Snapshot*>(handle);
}

bool IsProcessId(const char* name) {
  if (*name == '\0') return false;
  for (; *name != '\0'; ++name) {
    if (*name < '0' || *name > '9') return false;
  }
  return true;
}

// Reads a whole small /proc file; the count, or -1.
ssize_t ReadAt(int directory, const char* path, char* buffer, std::size_t size) {
  const int fd = ::openat(directory, path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  std::size_t total = 0;
  while (total < size) {
    const ssize_t got = ::read(fd, buffer + total, size - total);
    if (got < 0) {
      ::close(fd);
      return -1;
    }
    if (got == 0) break;
    total += static_cast<std::size_t>(got);
  }
  ::close(fd);
  return static_cast<ssize_t>(total);
}

// A decimal field; values beyond long (such as an unlimited rsslim, 2^64 - 1)
// stop at its limit.
long ToLong(std::string_view word) {
  bool negative = !word.empty() && word.front() == '-';
  if (negative) word.remove_prefix(1);
  constexpr long kLimit = std::numeric_limits<long>::max();
  long value = 0;
  for (char c : word) {
    if (c < '0' || c > '9') break;
    const long digit = c - '0';
    value = value > (kLimit - digit) / 10 ? kLimit : value * 10 + digit;
  }
  return negative ? -value : value;
}

std::int32_t BasePriority(long policy, long nice) {
  if (policy == kSchedFifo || policy == kSchedRr || policy == kSchedDeadline) return kRealtimePriority;
  if (nice <= -11) return kHighPriority;
  if (nice <= -1) return kAboveNormalPriority;
  if (nice == 0) return kNormalPriority;
  if (nice <= 10) return kBelowNormalPriority;
  return kIdlePriority;
}

// Any process names itself (prctl, or its file's name): a control character
// shown raw would start a forged row or send escapes to the terminal of
// whoever lists the processes, so each one shows as '?'.
void SetName(ProcessEntry& entry, std::string_view name) {
  const std::u16string text = qcp::Utf16FromUtf8(name);
  const std::size_t length = std::min(text.size(), kMaxPath - 1);
  for (std::size_t i = 0; i < length; ++i) {
    const char16_t c = text[i];
    entry.szExeFile[i] = c < 32 || c == 127 ? u'?' : c;
  }
  entry.szExeFile[length] = u'\0';
}

// Fills `entry` for the process `id`; false when it has gone.
bool ReadProcess(int proc, const char* id, ProcessEntry& entry) {
  char path[48];
  char stat[4096];
  std::snprintf(path, sizeof path, "%s/stat", id);
  const ssize_t length = ReadAt(proc, path, stat, sizeof stat);
  if (length <= 0) return false;
  // "pid (comm) state ppid ...": the name may hold blanks and parentheses.
  const std::string_view line(stat, static_cast<std::size_t>(length));
  const std::size_t open = line.find('(');
  const std::size_t close = line.rfind(')');
  if (open == line.npos || close == line.npos || close < open) return false;
  const std::string_view comm = line.substr(open + 1, close - open - 1);

  // Fields from the state on, numbered as in proc(5) from 3.
  long fields[42] = {};
  std::size_t at = close + 1;
  for (int number = 3; number <= 41 && at < line.size(); ++number) {
    while (at < line.size() && line[at] == ' ') ++at;
    const std::size_t end = std::min(line.find(' ', at), line.size());
    fields[number] = ToLong(line.substr(at, end - at));
    at = end;
  }

  entry.cntUsage = 0;
  entry.th32ProcessID = static_cast<std::uint32_t>(ToLong(id));
  entry.th32DefaultHeapID = 0;
  entry.th32ModuleID = 0;
  entry.cntThreads = static_cast<std::uint32_t>(fields[20]);
  entry.th32ParentProcessID = static_cast<std::uint32_t>(fields[4]);
  entry.pcPriClassBase = BasePriority(fields[41], fields[19]);
  entry.dwFlags = 0;

  char target[4096];
  std::snprintf(path, sizeof path, "%s/exe", id);
  const ssize_t target_length = ::readlinkat(proc, path, target, sizeof target);
  if (target_length > 0 && static_cast<std::size_t>(target_length) < sizeof target) {
    std::string_view exe(target, static_cast<std::size_t>(target_length));
    constexpr std::string_view kDeleted = " (deleted)";  // the file was replaced or removed while running
    if (exe.size() > kDeleted.size() && exe.substr(exe.size() - kDeleted.size()) == kDeleted) {
      exe.remove_suffix(kDeleted.size());
    }
    const std::size_t slash = exe.rfind('/');
    SetName(entry, slash == exe.npos ? exe : exe.substr(slash + 1));
  } else {
    SetName(entry, comm);
  }
  return true;
}

bool NextProcess(Snapshot& snapshot, ProcessEntry& entry) {
  const int proc = ::dirfd(snapshot.directory);
  while (const dirent* item = ::readdir(snapshot.directory)) {
    if (IsProcessId(item->d_name) && ReadProcess(proc, item->d_name, entry)) return true;
  }
  return false;
}

}  // namespace

SnapshotHandle CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t process_id) {
  DIR* directory = ::opendir("/proc");
  if (directory == nullptr) return kInvalidHandleValue;
  return reinterpret_cast<SnapshotHandle>(new Snapshot{directory});
}

bool Process32First(SnapshotHandle handle, ProcessEntry& entry) {
  Snapshot* snapshot = ToSnapshot(handle);
  if (snapshot == nullptr || entry.dwSize != sizeof(ProcessEntry)) return false;
  ::rewinddir(snapshot->directory);
  return NextProcess(*snapshot, entry);
}

bool Process32Next(SnapshotHandle handle, ProcessEntry& entry) {
  Snapshot* snapshot = ToSnapshot(handle);
  if (snapshot == nullptr || entry.dwSize != sizeof(ProcessEntry)) return false;
  return NextProcess(*snapshot, entry);
}

bool CloseHandle(SnapshotHandle handle) {
  Snapshot* snapshot = ToSnapshot(handle);
  if (snapshot == nullptr) return false;
  ::closedir(snapshot->directory);
  delete snapshot;
  return true;
}

}  // namespace platform
