// The recycle bin as the freedesktop.org trash. The trash directories of a
// file system are $XDG_DATA_HOME/Trash (when the home trash lies on it),
// TOP/.Trash/$UID (inside a shared directory with the sticky bit) and
// TOP/.Trash-$UID. Emptying removes every item of files/ with its
// description in info/, then the directory size cache.
//
// Everything is removed relative to directory descriptors opened without
// following symlinks and without crossing into other mounts, so nothing
// outside the trash directories is ever touched: a symlink in the trash is
// removed, never its target. The question, the progress window and the
// sound are in gtk_trash_dialogs.cc and trash_sound.cc.
#include <dirent.h>
#include <fcntl.h>
#include <mntent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "console/utf.h"
#include "platform/posix/gtk_trash_dialogs.h"
#include "platform/posix/trash_sound.h"
#include "platform/shell.h"

#ifndef STATX_ATTR_MOUNT_ROOT
#define STATX_ATTR_MOUNT_ROOT 0x00002000
#endif

namespace platform {
namespace {

constexpr int kOpenDirectory = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

class Fd {
 public:
  Fd() = default;
  explicit Fd(int fd) : fd_(fd) {}
  Fd(Fd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  Fd& operator=(Fd&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

struct Entry {
  mode_t mode = 0;
  uid_t owner = 0;
  dev_t device = 0;
  ino_t inode = 0;
  bool mount_root = false;
};

// What `name` under `parent` is, without following a symlink.
bool Inspect(int parent, const char* name, Entry& entry) {
  struct statx info;
  if (::statx(parent, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_TYPE | STATX_MODE | STATX_UID | STATX_INO,
              &info) != 0) {
    return false;
  }
  entry.mode = info.stx_mode;
  entry.owner = info.stx_uid;
  entry.device = makedev(info.stx_dev_major, info.stx_dev_minor);
  entry.inode = info.stx_ino;
  entry.mount_root = (info.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0 &&
                     (info.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
  return true;
}

bool InspectOpen(int fd, Entry& entry) {
  struct statx info;
  if (::statx(fd, "", AT_EMPTY_PATH, STATX_TYPE | STATX_MODE | STATX_UID | STATX_INO, &info) != 0) return false;
  entry.mode = info.stx_mode;
  entry.owner = info.stx_uid;
  entry.device = makedev(info.stx_dev_major, info.stx_dev_minor);
  entry.inode = info.stx_ino;
  entry.mount_root = false;
  return true;
}

// The names in a directory, "." and ".." left out.
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

// ---- Finding the trash directories ------------------------------------------

struct Trash {
  Fd directory;
  Fd files;
  Fd info;  // may be missing: items without a description are removed all the same
  dev_t device = 0;
  ino_t inode = 0;
  std::vector<std::string> items;
};

// `name` under `parent` when it is a real directory of the user's, on `device`.
Fd OpenTrashDirectory(int parent, const char* name, dev_t device) {
  Fd fd(::openat(parent, name, kOpenDirectory));
  Entry entry;
  if (!fd || !InspectOpen(fd.get(), entry) || entry.owner != ::getuid() || entry.device != device) return Fd();
  return fd;
}

void AddTrash(std::vector<Trash>& found, Fd directory) {
  if (!directory) return;
  Entry entry;
  if (!InspectOpen(directory.get(), entry)) return;
  for (const Trash& known : found) {
    if (known.device == entry.device && known.inode == entry.inode) return;
  }
  Trash trash;
  trash.files = Fd(::openat(directory.get(), "files", kOpenDirectory));
  if (!trash.files) return;
  Entry files;
  if (!InspectOpen(trash.files.get(), files) || files.device != entry.device) return;
  trash.info = Fd(::openat(directory.get(), "info", kOpenDirectory));
  trash.directory = std::move(directory);
  trash.device = entry.device;
  trash.inode = entry.inode;
  trash.items = ListNames(trash.files.get());
  found.push_back(std::move(trash));
}

std::string HomeTrashParent() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data != nullptr && data[0] == '/') return data;
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] != '/') {
    const passwd* user = ::getpwuid(::getuid());
    if (user == nullptr || user->pw_dir == nullptr) return {};
    home = user->pw_dir;
  }
  return std::string(home) + "/.local/share";
}

// The home trash, when it lies on `device` (any device when null).
void AddHomeTrash(std::vector<Trash>& found, const dev_t* device) {
  const std::string parent_path = HomeTrashParent();
  if (parent_path.empty()) return;
  const Fd parent(::open(parent_path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!parent) return;
  Entry trash;
  if (!Inspect(parent.get(), "Trash", trash)) return;
  if (device != nullptr && trash.device != *device) return;
  AddTrash(found, OpenTrashDirectory(parent.get(), "Trash", trash.device));
}

// The two trash directories at the top of a file system.
void AddTopTrashes(std::vector<Trash>& found, const std::string& top) {
  const Fd top_directory(::open(top.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  Entry entry;
  if (!top_directory || !InspectOpen(top_directory.get(), entry)) return;
  const std::string uid = std::to_string(::getuid());

  // The shared directory must be a real one with the sticky bit, so that no
  // other user can have replaced the user's directory in it.
  const Fd shared(::openat(top_directory.get(), ".Trash", kOpenDirectory));
  Entry shared_entry;
  if (shared && InspectOpen(shared.get(), shared_entry) && (shared_entry.mode & S_ISVTX) != 0 &&
      shared_entry.device == entry.device) {
    AddTrash(found, OpenTrashDirectory(shared.get(), uid.c_str(), entry.device));
  }
  AddTrash(found, OpenTrashDirectory(top_directory.get(), (".Trash-" + uid).c_str(), entry.device));
}

// The top directory of the file system that holds `path`; empty when there is no such path.
std::string TopDirectoryOf(const std::string& path, dev_t& device) {
  char* real = ::realpath(path.c_str(), nullptr);
  if (real == nullptr) return {};
  std::string top = real;
  std::free(real);
  struct stat info;
  if (::stat(top.c_str(), &info) != 0) return {};
  device = info.st_dev;
  while (top != "/") {
    const std::size_t slash = top.rfind('/');
    const std::string parent = slash == 0 ? "/" : top.substr(0, slash);
    if (::stat(parent.c_str(), &info) != 0 || info.st_dev != device) break;
    top = parent;
  }
  return top;
}

std::vector<Trash> TrashesOf(const std::string& root) {
  std::vector<Trash> found;
  if (root.empty()) {
    // Every trash of the user: the home trash and those of every mount.
    AddHomeTrash(found, nullptr);
    FILE* mounts = ::setmntent("/proc/self/mounts", "re");
    if (mounts == nullptr) return found;
    std::vector<std::string> tops;
    while (const mntent* mount = ::getmntent(mounts)) {
      if (std::string_view(mount->mnt_type) == "autofs") continue;  // opening would mount it
      tops.emplace_back(mount->mnt_dir);
    }
    ::endmntent(mounts);
    for (const std::string& top : tops) AddTopTrashes(found, top);
    return found;
  }
  dev_t device = 0;
  const std::string top = TopDirectoryOf(root, device);
  if (top.empty()) return found;
  AddHomeTrash(found, &device);
  AddTopTrashes(found, top);
  return found;
}

// ---- Removing ----------------------------------------------------------------

// Opens a directory inside the trash for emptying, giving the user the
// rights on it that removing its contents needs (items of the user's own
// may have come to the trash read-only).
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

// One directory on the way down a tree being removed: its name in the one
// above, who it is, what is left to remove in it, and its descriptor while it
// is one of the deepest few.
struct Level {
  std::string name;
  dev_t device = 0;
  ino_t inode = 0;
  Fd fd;
  std::vector<std::string> names;
  std::size_t next = 0;
  bool all = true;  // everything in it removed so far
};

// A tree of any depth is removed with this many directory descriptors at
// most (and one more for a moment), and with its levels on the heap, not
// the stack.
constexpr std::size_t kOpenLevels = 16;

// The directory of `level` again, through the ".." of the one below it; only
// when it is still the very directory it was (no one moved the tree meanwhile).
Fd ReopenAbove(int below, const Level& level) {
  Fd fd(::openat(below, "..", kOpenDirectory));
  Entry entry;
  if (!fd || !InspectOpen(fd.get(), entry) || entry.device != level.device || entry.inode != level.inode) return Fd();
  return fd;
}

bool EnterLevel(std::vector<Level>& levels, int parent, const std::string& name, dev_t device) {
  Fd fd = OpenForEmptying(parent, name.c_str(), device);
  Entry entry;
  if (!fd || !InspectOpen(fd.get(), entry)) return false;
  Level level;
  level.name = name;
  level.device = entry.device;
  level.inode = entry.inode;
  level.names = ListNames(fd.get());
  level.fd = std::move(fd);
  levels.push_back(std::move(level));
  if (levels.size() > kOpenLevels) levels[levels.size() - 1 - kOpenLevels].fd = Fd();
  return true;
}

// Removes the directory `name` under `parent` with everything in it. Another
// file system mounted inside is left alone, and so is the directory it is
// mounted on, and the directories above what is left.
bool RemoveTree(int parent, const std::string& name, dev_t device) {
  std::vector<Level> levels;
  if (!EnterLevel(levels, parent, name, device)) return false;
  bool removed = false;
  while (!levels.empty()) {
    const std::size_t depth = levels.size() - 1;
    if (levels[depth].next < levels[depth].names.size()) {
      const std::string child = levels[depth].names[levels[depth].next++];
      const int directory = levels[depth].fd.get();
      Entry entry;
      bool gone;
      if (!Inspect(directory, child.c_str(), entry)) {
        gone = errno == ENOENT;
      } else if (!S_ISDIR(entry.mode)) {
        gone = ::unlinkat(directory, child.c_str(), 0) == 0 || errno == ENOENT;
      } else {
        gone = !entry.mount_root && entry.device == device && EnterLevel(levels, directory, child, device);
      }
      if (!gone) levels[depth].all = false;
      continue;
    }
    // Done with everything in it: remove it from the one above.
    Level done = std::move(levels.back());
    levels.pop_back();
    int above = parent;
    if (!levels.empty()) {
      Level& up = levels.back();
      if (!up.fd) up.fd = ReopenAbove(done.fd.get(), up);
      if (!up.fd) return false;  // moved meanwhile: what is left stays
      above = up.fd.get();
    }
    done.fd = Fd();
    removed = done.all && (::unlinkat(above, done.name.c_str(), AT_REMOVEDIR) == 0 || errno == ENOENT);
    if (!removed && !levels.empty()) levels.back().all = false;
  }
  return removed;
}

// Removes `name` under `parent` and, for a directory, everything in it.
bool RemoveEntry(int parent, const char* name, dev_t device) {
  Entry entry;
  if (!Inspect(parent, name, entry)) return errno == ENOENT;
  if (!S_ISDIR(entry.mode)) return ::unlinkat(parent, name, 0) == 0 || errno == ENOENT;
  if (entry.mount_root || entry.device != device) return false;
  return RemoveTree(parent, name, device);
}

// Descriptions whose item is gone, left over from an earlier emptying or a
// removal by hand; only *.trashinfo files, never anything below info/.
void RemoveStaleDescriptions(const Trash& trash) {
  if (!trash.info) return;
  constexpr std::string_view kSuffix = ".trashinfo";
  for (const std::string& name : ListNames(trash.info.get())) {
    if (name.size() <= kSuffix.size() || !name.ends_with(kSuffix)) continue;
    const std::string item = name.substr(0, name.size() - kSuffix.size());
    Entry entry;
    if (Inspect(trash.files.get(), item.c_str(), entry) || errno != ENOENT) continue;
    ::unlinkat(trash.info.get(), name.c_str(), 0);
  }
}

}  // namespace

bool EmptyTrash(const std::u16string& root, const TrashOptions& options) {
  std::vector<Trash> trashes = TrashesOf(qcp::Utf8FromUtf16(root));
  std::size_t items = 0;
  for (const Trash& trash : trashes) items += trash.items.size();
  if (items == 0) return true;

  // Nobody to ask means nobody said yes.
  if (options.confirm && (!TrashDisplayAvailable() || !ConfirmEmptying(items))) return false;

  std::optional<EmptyingProgress> progress;
  if (options.show_progress && TrashDisplayAvailable()) progress.emplace(items);
  bool cancelled = false;
  for (const Trash& trash : trashes) {
    for (const std::string& item : trash.items) {
      if (progress && progress->Cancelled()) {
        cancelled = true;
        break;
      }
      if (RemoveEntry(trash.files.get(), item.c_str(), trash.device) && trash.info) {
        ::unlinkat(trash.info.get(), (item + ".trashinfo").c_str(), 0);
      }
      if (progress) progress->Step();
    }
    if (cancelled) break;
    RemoveStaleDescriptions(trash);
    ::unlinkat(trash.directory.get(), "directorysizes", 0);
  }
  progress.reset();
  if (cancelled) return false;
  if (options.play_sound) PlayEmptyingSound();
  return true;
}

}  // namespace platform
