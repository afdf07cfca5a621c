#include "platform/posix/fd_tree.h"

#include <dirent.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#ifndef STATX_ATTR_MOUNT_ROOT
#define STATX_ATTR_MOUNT_ROOT 0x00002000
#endif

namespace platform {

Fd::~Fd() {
  if (fd_ >= 0) ::close(fd_);
}

namespace {

constexpr unsigned kWanted = STATX_TYPE | STATX_MODE | STATX_UID | STATX_INO | STATX_MTIME | STATX_MNT_ID;

void Fill(const struct statx& info, Entry& entry) {
  entry.mode = info.stx_mode;
  entry.owner = info.stx_uid;
  entry.device = makedev(info.stx_dev_major, info.stx_dev_minor);
  entry.inode = info.stx_ino;
  entry.mount_root = (info.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0 &&
                     (info.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
  entry.modified = info.stx_mtime.tv_sec;
  entry.mount_id = (info.stx_mask & STATX_MNT_ID) != 0 ? info.stx_mnt_id : 0;
}

}  // namespace

bool Inspect(int parent, const char* name, Entry& entry) {
  struct statx info;
  if (::statx(parent, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kWanted, &info) != 0) return false;
  Fill(info, entry);
  return true;
}

bool InspectOpen(int fd, Entry& entry) {
  struct statx info;
  if (::statx(fd, "", AT_EMPTY_PATH, kWanted, &info) != 0) return false;
  Fill(info, entry);
  return true;
}

std::vector<std::string> ListNames(int directory) {
  std::vector<std::string> names;
  const int copy = ::fcntl(directory, F_DUPFD_CLOEXEC, 3);
  if (copy < 0) return names;
  DIR* stream = ::fdopendir(copy);
  if (stream == nullptr) {
    ::close(copy);
    return names;
  }
  ::rewinddir(stream);
  while (const dirent* item = ::readdir(stream)) {
    const std::string_view name = item->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  ::closedir(stream);
  return names;
}

int RenameNoReplace(int from_directory, const char* from, int to_directory, const char* to) {
  if (::renameat2(from_directory, from, to_directory, to, RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return -1;
  Entry there;
  if (Inspect(to_directory, to, there)) {
    errno = EEXIST;
    return -1;
  }
  if (errno != ENOENT) return -1;
  return ::renameat(from_directory, from, to_directory, to);
}

namespace {

// Opens a directory of the tree for emptying, giving the user the rights on
// it that removing its contents needs (items of the user's own may be
// read-only).
Fd OpenForEmptying(int parent, const char* name, dev_t device) {
  Fd fd(::openat(parent, name, kOpenDirectory));
  if (!fd && errno == EACCES) {
    const Fd path(::openat(parent, name, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    Entry entry;
    if (!path || !InspectOpen(path.get(), entry) || entry.owner != ::geteuid()) return Fd();
    const std::string self = "/proc/self/fd/" + std::to_string(path.get());
    if (::chmod(self.c_str(), (entry.mode & 07777) | S_IRWXU) != 0) return Fd();
    fd = Fd(::openat(parent, name, kOpenDirectory));
  }
  Entry entry;
  if (!fd || !InspectOpen(fd.get(), entry) || !S_ISDIR(entry.mode) || entry.device != device) return Fd();
  if ((entry.mode & S_IRWXU) != S_IRWXU && entry.owner == ::geteuid()) {
    ::fchmod(fd.get(), (entry.mode & 07777) | S_IRWXU);
  }
  return fd;
}

// One directory on the way down: where it hangs, who it is, what is left to
// remove in it, and its descriptor while it is one of the deepest few.
struct Level {
  std::string name;      // in the directory it hangs in
  std::string original;  // in the level above, when it was moved to the top
  bool moved = false;    // hangs directly in the top directory of the tree
  dev_t device = 0;
  ino_t inode = 0;
  Fd fd;
  std::vector<std::string> names;
  std::size_t next = 0;
  std::size_t unchecked = 0;  // changes left before it is checked again to hang in the tree
  bool all = true;            // everything in it removed so far
  bool left = false;          // moved out of the tree: nothing more is done in it
};

// Descriptors kept open besides the top directory's.
constexpr std::size_t kOpenLevels = 16;
// A directory this far below the top one (or below one moved there) is moved
// to the top too, so that checking a directory walks up a few levels only.
constexpr std::size_t kChainLength = 16;
// Removals in one directory between two checks that it is still in the tree.
constexpr std::size_t kBatch = 64;

bool SameAs(const Entry& entry, const Level& level) {
  return entry.device == level.device && entry.inode == level.inode;
}

bool OpenSameAs(const Fd& fd, const Level& level) {
  Entry entry;
  return fd && InspectOpen(fd.get(), entry) && SameAs(entry, level);
}

class TreeRemover {
 public:
  TreeRemover(int parent, dev_t device, ino_t inode, int anchor)
      : parent_(parent), device_(device), inode_(inode), anchor_(anchor) {}
  bool Remove(const std::string& name);

 private:
  bool Hangs(std::size_t index);
  bool MayChange(std::size_t index);
  bool Reopen(std::size_t index);
  bool ReopenAbove(const Level& below);
  bool Enter(std::size_t above, const std::string& child);
  void Finish(Level done);

  const int parent_;
  const dev_t device_;
  const ino_t inode_;
  const int anchor_;
  Entry parent_entry_;
  Entry anchor_entry_;
  std::vector<Level> levels_;
  unsigned serial_ = 0;
};

// Whether the directory of `index` still hangs in the tree, and the tree in
// the directory it was in: walks up device and inode through "..".
bool TreeRemover::Hangs(std::size_t index) {
  Fd walker;
  int current = levels_[index].fd.get();
  for (std::size_t at = index;;) {
    Fd above(::openat(current, "..", O_PATH | O_DIRECTORY | O_CLOEXEC));
    Entry entry;
    if (!above || !InspectOpen(above.get(), entry)) return false;
    if (at == 0) {
      if (entry.device != parent_entry_.device || entry.inode != parent_entry_.inode) return false;
      if (anchor_ < 0) return true;
      const Fd anchor(::openat(above.get(), "..", O_PATH | O_DIRECTORY | O_CLOEXEC));
      return anchor && InspectOpen(anchor.get(), entry) && entry.device == anchor_entry_.device &&
             entry.inode == anchor_entry_.inode;
    }
    const std::size_t up = levels_[at].moved ? 0 : at - 1;
    if (!SameAs(entry, levels_[up])) return false;
    walker = std::move(above);
    current = walker.get();
    at = up;
  }
}

bool TreeRemover::MayChange(std::size_t index) {
  Level& level = levels_[index];
  if (level.left) return false;
  if (level.unchecked == 0) {
    if (!Reopen(index) || !Hangs(index)) {
      level.left = true;
      return false;
    }
    level.unchecked = kBatch;
  }
  --level.unchecked;
  return true;
}

// The descriptor of `index` again, down from the nearest open level above it
// (the top one is always open), each step checked to be the same directory.
bool TreeRemover::Reopen(std::size_t index) {
  if (levels_[index].fd) return true;
  std::size_t from = index;
  while (!levels_[from].fd && from > 0 && !levels_[from].moved) --from;
  Fd fd;
  int current = levels_[from].fd.get();
  if (!levels_[from].fd) {
    fd = Fd(::openat(levels_[0].fd.get(), levels_[from].name.c_str(), kOpenDirectory));
    if (!OpenSameAs(fd, levels_[from])) return false;
    current = fd.get();
  }
  for (std::size_t at = from + 1; at <= index; ++at) {
    Fd next(::openat(current, levels_[at].name.c_str(), kOpenDirectory));
    if (!OpenSameAs(next, levels_[at])) return false;
    fd = std::move(next);
    current = fd.get();
  }
  levels_[index].fd = std::move(fd);
  return true;
}

// The level above `below` (which hung in it), through its "..".
bool TreeRemover::ReopenAbove(const Level& below) {
  Level& up = levels_.back();
  if (up.fd) return true;
  if (!below.moved && below.fd) {
    Fd fd(::openat(below.fd.get(), "..", kOpenDirectory));
    if (OpenSameAs(fd, up)) {
      up.fd = std::move(fd);
      return true;
    }
  }
  return Reopen(levels_.size() - 1);
}

bool TreeRemover::Enter(std::size_t above, const std::string& child) {
  Fd fd = OpenForEmptying(levels_[above].fd.get(), child.c_str(), device_);
  Entry entry;
  if (!fd || !InspectOpen(fd.get(), entry)) return false;
  Level level;
  level.name = child;
  level.device = entry.device;
  level.inode = entry.inode;
  std::size_t chain = 0;
  for (std::size_t at = above; at > 0 && !levels_[at].moved; --at) ++chain;
  if (chain + 1 >= kChainLength) {
    const int top = levels_[0].fd.get();
    const int from = levels_[above].fd.get();
    std::string name;
    int status = -1;
    do {
      name = ".qcp-emptying-" + std::to_string(++serial_);
      status = RenameNoReplace(from, child.c_str(), top, name.c_str());
    } while (status != 0 && errno == EEXIST);
    if (status == 0) {
      Entry moved;
      // Taken out of a directory that had itself left the tree meanwhile: put back, untouched.
      if (!Inspect(top, name.c_str(), moved) || !SameAs(moved, level) || !Hangs(above)) {
        RenameNoReplace(top, name.c_str(), from, child.c_str());
        levels_[above].left = true;
        return false;
      }
      level.moved = true;
      level.original = child;
      level.name = name;
    }
  }
  level.names = ListNames(fd.get());
  level.fd = std::move(fd);
  levels_.push_back(std::move(level));
  if (levels_.size() > kOpenLevels + 1) levels_[levels_.size() - 1 - kOpenLevels].fd = Fd();
  return true;
}

// Removes a level emptied as far as it could be from where it hangs, or puts
// one moved to the top back in its own place when something stayed in it.
void TreeRemover::Finish(Level done) {
  const std::size_t up = levels_.size() - 1;
  const bool reachable = done.moved ? Reopen(up) : ReopenAbove(done);
  done.fd = Fd();
  if (!reachable) levels_[up].left = true;
  const std::size_t hung_in = done.moved ? 0 : up;
  // Time has passed below: what is checked before the next removal is where they are now.
  levels_[up].unchecked = 0;
  levels_[hung_in].unchecked = 0;
  if (done.all && MayChange(hung_in) &&
      (::unlinkat(levels_[hung_in].fd.get(), done.name.c_str(), AT_REMOVEDIR) == 0 || errno == ENOENT)) {
    return;
  }
  levels_[up].all = false;
  if (done.moved) {
    if (!reachable ||
        RenameNoReplace(levels_[0].fd.get(), done.name.c_str(), levels_[up].fd.get(), done.original.c_str()) != 0) {
      levels_[0].all = false;
    }
  }
}

bool TreeRemover::Remove(const std::string& name) {
  if (!InspectOpen(parent_, parent_entry_)) return false;
  if (anchor_ >= 0 && !InspectOpen(anchor_, anchor_entry_)) return false;
  Fd fd = OpenForEmptying(parent_, name.c_str(), device_);
  Entry entry;
  if (!fd || !InspectOpen(fd.get(), entry) || (inode_ != 0 && entry.inode != inode_)) return false;
  Level top;
  top.name = name;
  top.device = entry.device;
  top.inode = entry.inode;
  top.names = ListNames(fd.get());
  top.fd = std::move(fd);
  levels_.push_back(std::move(top));
  while (true) {
    const std::size_t depth = levels_.size() - 1;
    Level& level = levels_[depth];
    if (!level.left && level.next < level.names.size()) {
      const std::string child = level.names[level.next++];
      Entry item;
      bool gone;
      if (!Inspect(level.fd.get(), child.c_str(), item)) {
        gone = errno == ENOENT;
      } else if (!S_ISDIR(item.mode)) {
        gone = MayChange(depth) && (::unlinkat(levels_[depth].fd.get(), child.c_str(), 0) == 0 || errno == ENOENT);
      } else {
        gone = !item.mount_root && item.device == device_ && MayChange(depth) && Enter(depth, child);
      }
      if (!gone) levels_[depth].all = false;
      continue;
    }
    if (level.left) level.all = false;
    Level done = std::move(levels_.back());
    levels_.pop_back();
    if (levels_.empty()) {
      done.fd = Fd();
      return done.all && (::unlinkat(parent_, name.c_str(), AT_REMOVEDIR) == 0 || errno == ENOENT);
    }
    Finish(std::move(done));
  }
}

}  // namespace

bool RemoveTree(int parent, const std::string& name, dev_t device, ino_t inode, int anchor) {
  return TreeRemover(parent, device, inode, anchor).Remove(name);
}

}  // namespace platform
