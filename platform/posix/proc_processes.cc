// Processes from /proc. The list walks the directory as it is read; a
// process that ends before its turn is left out. Each row comes from
// /proc/PID/stat (threads, nice value, scheduling policy, and the short name
// when the executable cannot be read) and the /proc/PID/exe link.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <errno.h>
#include <string.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "console/failure.h"
#include "console/utf.h"
#include "platform/processes.h"

namespace platform {
namespace {

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

// The longest name Windows shows (its 260-character field less the zero), so
// both systems cut a long name alike.
constexpr std::size_t kMaxNameLength = 259;

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
// shown raw would start a forged row, send escapes to the terminal of whoever
// lists the processes or reverse the row, so each one shows as '?'.
std::u16string ShownName(std::string_view name) {
  std::u16string text = qcp::Utf16FromUtf8(name);
  if (text.size() > kMaxNameLength) text.resize(kMaxNameLength);
  qcp::MaskTerminalControls(text);
  return text;
}

// Fills `row` for the process `id`; false when it has gone.
bool ReadProcess(int proc, const char* id, ProcessRow& row) {
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

  row.id = static_cast<std::uint32_t>(ToLong(id));
  row.threads = static_cast<std::uint32_t>(fields[20]);
  row.base_priority = BasePriority(fields[41], fields[19]);

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
    row.name = ShownName(slash == exe.npos ? exe : exe.substr(slash + 1));
  } else {
    row.name = ShownName(comm);
  }
  return true;
}

}  // namespace

std::vector<ProcessRow> ListProcesses() {
  std::vector<ProcessRow> rows;
  DIR* directory = ::opendir("/proc");
  if (directory == nullptr) {
    qcp::RaiseUnfulfilled(u"cannot read /proc (" + qcp::Utf16FromUtf8(::strerror(errno)) +
                          u"); mount the proc file system there");
  }
  const int proc = ::dirfd(directory);
  while (const dirent* item = ::readdir(directory)) {
    ProcessRow row;
    if (IsProcessId(item->d_name) && ReadProcess(proc, item->d_name, row)) rows.push_back(std::move(row));
  }
  ::closedir(directory);
  // This process at least is running: an empty list is a /proc that shows none.
  if (rows.empty()) qcp::RaiseUnfulfilled(u"/proc shows no processes; mount the proc file system there");
  return rows;
}

}  // namespace platform
