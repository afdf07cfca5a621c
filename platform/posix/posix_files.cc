// POSIX files: open(2) by the UTF-8 name, read(2) in blocks.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <string>

#include "console/failure.h"
#include "console/utf.h"
#include "platform/files.h"
#include "platform/posix/file_failure.h"

namespace platform {

FileHandle OpenFileForReading(const std::u16string& name) {
  // A NUL would cut the name short and open some other file.
  if (name.find(u'\0') != name.npos) qcp::Raise(qcp::failures::kBadFileName);
  const std::string path = qcp::Utf8FromUtf16(name);
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) RaiseOpenFailure(path, errno);
  // A folder opens for reading here, but holds no lines.
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
    ::close(fd);
    qcp::Raise(qcp::failures::kPathIsFolder);
  }
  return static_cast<FileHandle>(fd);
}

std::size_t ReadFromFile(FileHandle file, char* buffer, std::size_t size) {
  const std::size_t asked = size < SSIZE_MAX ? size : SSIZE_MAX;
  for (;;) {
    const ssize_t got = ::read(static_cast<int>(file), buffer, asked);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno == EINTR) continue;
    if (errno == EISDIR) qcp::Raise(qcp::failures::kPathIsFolder);
    qcp::Raise(qcp::failures::kDeviceError);
  }
}

void CloseFile(FileHandle file) { ::close(static_cast<int>(file)); }

}  // namespace platform
