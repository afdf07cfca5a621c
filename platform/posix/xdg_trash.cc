// The recycle bin as the freedesktop.org trash. The trash directories of a
// file system are $XDG_DATA_HOME/Trash (when the home trash lies on it),
// TOP/.Trash/$UID (inside a shared directory with the sticky bit) and
// TOP/.Trash-$UID. Emptying removes every item of files/ with its
// description in info/, then the directory size cache.
//
// Everything is removed relative to directory descriptors opened without
// following symlinks and without crossing into other mounts, so nothing
// outside the trash directories is ever touched: a symlink in the trash is
// removed, never its target (fd_tree.cc). The question, the progress window
// and the sound are in gtk_trash_dialogs.cc and trash_sound.cc.
#include <mntent.h>
#include <pwd.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "console/failure.h"
#include "console/utf.h"
#include "platform/posix/fd_tree.h"
#include "platform/posix/gtk_trash_dialogs.h"
#include "platform/posix/trash_sound.h"
#include "platform/trash.h"

namespace platform {
namespace {

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

// Removes the item `name` of `trash` and its description. A folder is first
// renamed to a name of this run's own in the same files/, so that a restore
// meanwhile fails instead of racing with the removal; what could not be
// removed goes back under its own name, its description kept.
bool RemoveItem(const Trash& trash, const std::string& name, unsigned serial) {
  const int files = trash.files.get();
  Entry entry;
  if (!Inspect(files, name.c_str(), entry)) return errno == ENOENT;
  bool removed;
  if (!S_ISDIR(entry.mode)) {
    removed = ::unlinkat(files, name.c_str(), 0) == 0 || errno == ENOENT;
  } else if (entry.mount_root || entry.device != trash.device) {
    removed = false;
  } else {
    const std::string claim = ".qcp-emptying-" + std::to_string(::getpid()) + "-" + std::to_string(serial);
    if (RenameNoReplace(files, name.c_str(), files, claim.c_str()) != 0) return errno == ENOENT;
    Entry claimed;
    removed = Inspect(files, claim.c_str(), claimed) && claimed.inode == entry.inode &&
              RemoveTree(files, claim, trash.device);
    if (!removed) RenameNoReplace(files, claim.c_str(), files, name.c_str());
  }
  if (removed && trash.info) ::unlinkat(trash.info.get(), (name + ".trashinfo").c_str(), 0);
  return removed;
}

// Descriptions whose item is gone, left over from an earlier emptying or a
// removal by hand; only *.trashinfo files, never anything below info/. One
// written since `start`, or a moment ago, may be one whose item another
// program is about to move in.
void RemoveStaleDescriptions(const Trash& trash, std::time_t start) {
  constexpr std::time_t kSettling = 10;
  const std::time_t recent = std::min(start, std::time(nullptr) - kSettling);
  if (!trash.info) return;
  constexpr std::string_view kSuffix = ".trashinfo";
  for (const std::string& name : ListNames(trash.info.get())) {
    if (name.size() <= kSuffix.size() || !name.ends_with(kSuffix)) continue;
    const std::string item = name.substr(0, name.size() - kSuffix.size());
    Entry entry;
    if (Inspect(trash.files.get(), item.c_str(), entry) || errno != ENOENT) continue;
    if (!Inspect(trash.info.get(), name.c_str(), entry) || entry.modified >= recent) continue;
    ::unlinkat(trash.info.get(), name.c_str(), 0);
  }
}

}  // namespace

bool EmptyTrash(const std::u16string& root, const TrashOptions& options) {
  const std::time_t start = std::time(nullptr);
  const std::string path = qcp::Utf8FromUtf16(root);
  struct stat named;
  if (!path.empty() && ::stat(path.c_str(), &named) != 0) {
    qcp::RaiseUnfulfilled(root + u" does not exist; name a folder on the drive whose trash is to be emptied");
  }
  std::vector<Trash> trashes = TrashesOf(path);
  std::size_t items = 0;
  for (const Trash& trash : trashes) items += trash.items.size();
  if (items == 0) return true;

  // Nobody to ask must not leave the trash full without a word.
  if (options.confirm && !TrashDisplayAvailable()) qcp::RaiseUnfulfilled(qcp::kNoDisplay);
  if (options.confirm && !ConfirmEmptying(items)) return false;

  std::optional<EmptyingProgress> progress;
  if (options.show_progress && TrashDisplayAvailable()) progress.emplace(items);
  bool cancelled = false;
  std::size_t left = 0;
  unsigned serial = 0;
  for (const Trash& trash : trashes) {
    for (const std::string& item : trash.items) {
      if (progress && progress->Cancelled()) {
        cancelled = true;
        break;
      }
      if (!RemoveItem(trash, item, ++serial)) ++left;
      if (progress) progress->Step();
    }
    if (cancelled) break;
    RemoveStaleDescriptions(trash, start);
    ::unlinkat(trash.directory.get(), "directorysizes", 0);
  }
  progress.reset();
  if (cancelled) return false;
  if (left != 0) {
    qcp::RaiseUnfulfilled(qcp::Utf16FromUtf8(std::to_string(left)) +
                          (left == 1 ? u" item" : u" items") +
                          u" could not be removed and stay in the trash; check their permissions and mounts");
  }
  if (options.play_sound) PlayEmptyingSound();
  return true;
}

}  // namespace platform
