// The recycle bin: emptying it with as much of the system's own user
// interface as asked for.
#pragma once

#include <string>

namespace platform {

// What emptying the recycle bin shows the user besides emptying it.
struct TrashOptions {
  bool confirm = true;        // asks before anything is removed
  bool show_progress = true;  // a progress window while it empties
  bool play_sound = true;     // the emptying sound once it is empty
};

// Empties the recycle bin of the drive (file system) at `root`, every bin of
// the user when `root` is empty. Returns when the bin is empty or the user
// has declined: true when it was emptied (or had nothing in it).
bool EmptyTrash(const std::u16string& root, const TrashOptions& options);

}  // namespace platform
