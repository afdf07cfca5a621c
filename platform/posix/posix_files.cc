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

namespace platform {
namespace {

// ENOENT says nothing about which part is missing: look at the folder.
bool FolderExists(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return true;  // the current directory
  struct stat info {};
  const std::string folder = slash == 0 ? "/" : path.substr(0, slash);
  return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

[[noreturn]] void RaiseOpenFailure(const std::string& path, int error) {
  namespace f = qcp::failures;
  switch (error) {
    case ENOENT:
      qcp::Raise(FolderExists(path) ? f::kFileNotFound : f::kPathNotFound);
    case ENOTDIR:
      qcp::Raise(f::kPathNotFound);
    case EACCES:
    case EPERM:
      qcp::Raise(f::kPermissionDenied);
    case EISDIR:
      qcp::Raise(f::kPathIsFolder);
    case ENAMETOOLONG:
    case ELOOP:
    case EILSEQ:
      qcp::Raise(f::kBadFileName);
    default:
      qcp::Raise(f::kDeviceError);
  }
}

}  // namespace

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
