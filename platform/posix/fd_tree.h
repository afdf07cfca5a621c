// Removing a directory tree through directory descriptors: no symlink is
// followed, no other mount is entered, a tree of any depth takes a bounded
// number of descriptors, and nothing is removed in a directory that has been
// moved out of the tree meanwhile.
#pragma once

#include <fcntl.h>
#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace platform {

class Fd {
 public:
  Fd() = default;
  explicit Fd(int fd) : fd_(fd) {}
  Fd(Fd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  Fd& operator=(Fd&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  ~Fd();
  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

inline constexpr int kOpenDirectory = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

struct Entry {
  mode_t mode = 0;
  uid_t owner = 0;
  dev_t device = 0;
  ino_t inode = 0;
  bool mount_root = false;
  unsigned long long mount_id = 0;  // 0 when the kernel does not tell
  long long modified = 0;  // seconds since the epoch
};

// What `name` under `parent` is, without following a symlink.
bool Inspect(int parent, const char* name, Entry& entry);
bool InspectOpen(int fd, Entry& entry);

// The names in a directory, "." and ".." left out.
std::vector<std::string> ListNames(int directory);

// Renames without replacing what may be at `to`; where the file system
// cannot promise that, only when nothing is there a moment before. 0 or -1
// with errno, as renameat.
int RenameNoReplace(int from_directory, const char* from, int to_directory, const char* to);

// Removes the directory `name` under `parent` with everything in it, on
// `device` only. Whatever is left (another mount, a directory moved out of
// the tree while it was emptied, something that could not be removed) stays
// where it was, and so do the directories above it: false then. With an
// `inode`, only the directory of that inode is removed; with an `anchor`,
// `parent` counts as out of the tree once it no longer hangs in `anchor`.
bool RemoveTree(int parent, const std::string& name, dev_t device, ino_t inode = 0, int anchor = -1);

}  // namespace platform
