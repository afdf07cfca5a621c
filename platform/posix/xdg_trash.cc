// The recycle bin as the freedesktop.org trash. The trash directories of a
// file system are $XDG_DATA_HOME/Trash (when the home trash lies on it),
// TOP/.Trash/$UID (inside a shared directory with the sticky bit) and
// TOP/.Trash-$UID. Emptying removes every item of files/ with its
// description in info/, then the directory size cache.
//
// Everything is removed relative to directory descriptors opened without
// following symlinks and without crossing into other mounts, so nothing
// outside the trash directories is ever touched: a symlink in the trash is
// removed, never its target (fd_tree.cc). One run at a time empties a trash
// (a lock on its folder), each item claimed under its own name first, so
// that whatever is not removed keeps its name and its description. The
// question, the progress window and the sound are in gtk_trash_dialogs.cc and
// trash_sound.cc.
#include <mntent.h>
#include <pwd.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <set>
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

// An item as it was listed: only that very file or folder is ever removed.
struct Item {
  std::string name;
  Entry entry;
};

struct Trash {
  std::string path;  // for messages
  Fd directory;
  Fd files;
  Fd info;  // may be missing: items without a description are removed all the same
  dev_t device = 0;
  ino_t inode = 0;
  std::vector<Item> items;
  std::set<std::string> held;  // names whose item is still in a claim: their descriptions stay
  std::size_t stuck = 0;       // items of earlier claims that could not go back under their names
};

// `name` under `parent` when it is a real directory of the user's, on `device`.
Fd OpenTrashDirectory(int parent, const char* name, dev_t device) {
  Fd fd(::openat(parent, name, kOpenDirectory));
  Entry entry;
  if (!fd || !InspectOpen(fd.get(), entry) || entry.owner != ::getuid() || entry.device != device) return Fd();
  return fd;
}

// A files/ or info/ mounted over the trash's own (a bind mount of a folder
// elsewhere, even on the same file system) is not the trash's: refused.
void RefuseAnotherMount(const Trash& trash, const Fd& folder, const Entry& directory, const char* name) {
  Entry entry;
  if (!InspectOpen(folder.get(), entry)) return;
  const bool other = entry.mount_root || entry.device != directory.device ||
                     (entry.mount_id != 0 && directory.mount_id != 0 && entry.mount_id != directory.mount_id);
  if (!other) return;
  qcp::RaiseUnfulfilled(qcp::Utf16FromUtf8(trash.path + "/" + name) +
                        u" is on another mount than its trash folder; that trash is left as it is");
}

void AddTrash(std::vector<Trash>& found, Fd directory, const std::string& path) {
  if (!directory) return;
  Entry entry;
  if (!InspectOpen(directory.get(), entry)) return;
  for (const Trash& known : found) {
    if (known.device == entry.device && known.inode == entry.inode) return;
  }
  Trash trash;
  trash.path = path;
  trash.files = Fd(::openat(directory.get(), "files", kOpenDirectory));
  if (!trash.files) return;
  RefuseAnotherMount(trash, trash.files, entry, "files");
  trash.info = Fd(::openat(directory.get(), "info", kOpenDirectory));
  if (trash.info) RefuseAnotherMount(trash, trash.info, entry, "info");
  trash.directory = std::move(directory);
  trash.device = entry.device;
  trash.inode = entry.inode;
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
  AddTrash(found, OpenTrashDirectory(parent.get(), "Trash", trash.device), parent_path + "/Trash");
}

std::string Under(const std::string& top, const std::string& name) {
  return top == "/" ? "/" + name : top + "/" + name;
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
    AddTrash(found, OpenTrashDirectory(shared.get(), uid.c_str(), entry.device), Under(top, ".Trash/" + uid));
  }
  AddTrash(found, OpenTrashDirectory(top_directory.get(), (".Trash-" + uid).c_str(), entry.device),
           Under(top, ".Trash-" + uid));
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

// ---- Taking a trash for this run -------------------------------------------

// How long a second run waits for the first to finish with a trash.
constexpr int kLockWaitMilliseconds = 5000;
constexpr int kLockPollMilliseconds = 50;

// Only one run empties a trash at a time; the lock on its folder goes with
// the process, however it ends. Where the file system has no such locks the
// run goes on without one.
void LockTrash(const Trash& trash) {
  for (int waited = 0;; waited += kLockPollMilliseconds) {
    if (::flock(trash.directory.get(), LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK) return;
    if (waited >= kLockWaitMilliseconds) {
      qcp::RaiseUnfulfilled(u"the trash " + qcp::Utf16FromUtf8(trash.path) +
                            u" is being emptied by another run; try again once it has finished");
    }
    ::usleep(kLockPollMilliseconds * 1000);
  }
}

// An item is claimed by moving it, under its own name, into a folder of the
// run's own in files/ named .qcp-claim-N. The name is kept whole, so a claim
// left by a run that was killed can always go back, description or not.
constexpr std::string_view kClaimPrefix = ".qcp-claim-";

bool IsClaimName(std::string_view name) {
  if (!name.starts_with(kClaimPrefix) || name.size() == kClaimPrefix.size()) return false;
  return std::all_of(name.begin() + kClaimPrefix.size(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool SameItem(const Entry& a, const Entry& b) { return a.device == b.device && a.inode == b.inode; }

// A claim folder left behind: the user's own real folder with a claim's name
// and no description (an item trashed under such a name has one).
bool IsLeftoverClaim(const Trash& trash, const std::string& name, Entry& entry) {
  if (!IsClaimName(name) || !Inspect(trash.files.get(), name.c_str(), entry)) return false;
  if (!S_ISDIR(entry.mode) || entry.owner != ::getuid() || entry.device != trash.device || entry.mount_root) {
    return false;
  }
  Entry description;
  return !trash.info || (!Inspect(trash.info.get(), (name + ".trashinfo").c_str(), description) && errno == ENOENT);
}

// Puts what earlier runs left in their claims back under its own names.
void RestoreLeftoverClaims(Trash& trash) {
  const int files = trash.files.get();
  for (const std::string& name : ListNames(files)) {
    Entry entry;
    if (!IsLeftoverClaim(trash, name, entry)) continue;
    const Fd claim(::openat(files, name.c_str(), kOpenDirectory));
    Entry opened;
    if (!claim || !InspectOpen(claim.get(), opened) || !SameItem(opened, entry)) continue;
    for (const std::string& item : ListNames(claim.get())) {
      if (RenameNoReplace(claim.get(), item.c_str(), files, item.c_str()) != 0 && errno != ENOENT) {
        trash.held.insert(item);
        ++trash.stuck;
      }
    }
    ::unlinkat(files, name.c_str(), AT_REMOVEDIR);
  }
}

// What is in files/ now, each with what it is; claims left standing are not items.
void ListItems(Trash& trash) {
  for (std::string& name : ListNames(trash.files.get())) {
    Entry entry;
    if (IsLeftoverClaim(trash, name, entry) || !Inspect(trash.files.get(), name.c_str(), entry)) continue;
    trash.items.push_back({std::move(name), entry});
  }
}

// ---- Removing ----------------------------------------------------------------

// This run's claim folder in one trash, made when the first item is claimed.
class Claim {
 public:
  explicit Claim(Trash& trash) : trash_(trash) {}
  ~Claim() { Close(); }

  int Open() {
    if (fd_) return fd_.get();
    for (unsigned serial = 1; serial < 1000000; ++serial) {
      const std::string name = std::string(kClaimPrefix) + std::to_string(serial);
      if (::mkdirat(trash_.files.get(), name.c_str(), 0700) != 0) {
        if (errno == EEXIST) continue;
        return -1;
      }
      fd_ = Fd(::openat(trash_.files.get(), name.c_str(), kOpenDirectory));
      if (!fd_ || !InspectOpen(fd_.get(), entry_)) {
        fd_ = Fd();
        return -1;
      }
      name_ = name;
      return fd_.get();
    }
    return -1;
  }

  // Whether the claim folder still hangs in files/ under its name.
  bool InPlace() const {
    Entry entry;
    return fd_ && Inspect(trash_.files.get(), name_.c_str(), entry) && SameItem(entry, entry_);
  }

  // Removes the folder when it is empty; one taken out of files/ is this run's no more.
  void Close() {
    if (!fd_) return;
    if (InPlace()) ::unlinkat(trash_.files.get(), name_.c_str(), AT_REMOVEDIR);
    fd_ = Fd();
  }

 private:
  Trash& trash_;
  Fd fd_;
  Entry entry_;
  std::string name_;
};

enum class Outcome { kRemoved, kNotThere, kLeft };

// Moves an item the run holds in its claim back under its own name. Nothing
// is moved back once the claim has left files/ or the item has left the claim.
Outcome PutBack(Trash& trash, Claim& claim, int held, const std::string& name) {
  Entry entry;
  if (!claim.InPlace()) {
    claim.Close();
    return Outcome::kNotThere;
  }
  if (!Inspect(held, name.c_str(), entry)) return Outcome::kNotThere;
  if (RenameNoReplace(held, name.c_str(), trash.files.get(), name.c_str()) != 0) trash.held.insert(name);
  return Outcome::kLeft;
}

// Removes the listed item and its description. It is first claimed, so that
// a restore meanwhile fails instead of racing with the removal, and then
// checked to be the very file or folder listed; anything else claimed goes
// back untouched. What could not be removed goes back under its own name,
// its description kept.
Outcome RemoveItem(Trash& trash, Claim& claim, const Item& item) {
  const int files = trash.files.get();
  const char* name = item.name.c_str();
  const int held = claim.Open();
  if (held < 0) return Outcome::kLeft;
  if (RenameNoReplace(files, name, held, name) != 0) return errno == ENOENT ? Outcome::kNotThere : Outcome::kLeft;
  Entry claimed;
  if (!Inspect(held, name, claimed)) return Outcome::kNotThere;
  if (!SameItem(claimed, item.entry)) {
    // Not the item listed: another one trashed since under the same name.
    return PutBack(trash, claim, held, item.name) == Outcome::kLeft && trash.held.contains(item.name)
               ? Outcome::kLeft
               : Outcome::kNotThere;
  }
  bool removed;
  if (!S_ISDIR(claimed.mode)) {
    removed = ::unlinkat(held, name, 0) == 0 || errno == ENOENT;
  } else if (claimed.mount_root || claimed.device != trash.device) {
    removed = false;
  } else {
    removed = RemoveTree(held, item.name, trash.device, item.entry.inode, files);
  }
  if (!removed) return PutBack(trash, claim, held, item.name);
  // The description goes unless another item has come under the name meanwhile.
  Entry now;
  if (trash.info && !Inspect(files, name, now) && errno == ENOENT) {
    ::unlinkat(trash.info.get(), (item.name + ".trashinfo").c_str(), 0);
  }
  return Outcome::kRemoved;
}

// Descriptions whose item is gone, left over from an earlier emptying or a
// removal by hand; only *.trashinfo files, never anything below info/. One
// written since `start`, or a moment ago, may be one whose item another
// program is about to move in; one whose item is still held in a claim stays.
void RemoveStaleDescriptions(const Trash& trash, std::time_t start) {
  constexpr std::time_t kSettling = 10;
  const std::time_t recent = std::min(start, std::time(nullptr) - kSettling);
  if (!trash.info) return;
  constexpr std::string_view kSuffix = ".trashinfo";
  for (const std::string& name : ListNames(trash.info.get())) {
    if (name.size() <= kSuffix.size() || !name.ends_with(kSuffix)) continue;
    const std::string item = name.substr(0, name.size() - kSuffix.size());
    if (trash.held.contains(item)) continue;
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
  std::size_t left = 0;
  for (Trash& trash : trashes) {
    LockTrash(trash);
    RestoreLeftoverClaims(trash);
    ListItems(trash);
    items += trash.items.size();
    left += trash.stuck;
  }
  if (items == 0 && left == 0) return true;

  // Nobody to ask must not leave the trash full without a word.
  if (options.confirm && !TrashDisplayAvailable()) qcp::RaiseUnfulfilled(qcp::kNoDisplay);
  if (options.confirm && items != 0 && !ConfirmEmptying(items)) return false;

  std::optional<EmptyingProgress> progress;
  if (options.show_progress && items != 0 && TrashDisplayAvailable()) progress.emplace(items);
  bool cancelled = false;
  for (Trash& trash : trashes) {
    Claim claim(trash);
    for (const Item& item : trash.items) {
      if (progress && progress->Cancelled()) {
        cancelled = true;
        break;
      }
      if (RemoveItem(trash, claim, item) == Outcome::kLeft) ++left;
      if (progress) progress->Step();
    }
    claim.Close();
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
