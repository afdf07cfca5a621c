#include "platform/posix/file_failure.h"

#include <sys/stat.h>

#include <cerrno>

#include "console/failure.h"

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

}  // namespace

std::u16string_view OpenFailure(const std::string& path, int error) {
  namespace f = qcp::failures;
  switch (error) {
    case ENOENT: return FolderExists(path) ? f::kFileNotFound : f::kPathNotFound;
    case ENOTDIR: return f::kPathNotFound;
    case EACCES:
    case EPERM: return f::kPermissionDenied;
    case EISDIR: return f::kPathIsFolder;
    case ENAMETOOLONG:
    case ELOOP:
    case EILSEQ: return f::kBadFileName;
    default: return f::kDeviceError;
  }
}

void RaiseOpenFailure(const std::string& path, int error) { qcp::Raise(OpenFailure(path, error)); }

}  // namespace platform
