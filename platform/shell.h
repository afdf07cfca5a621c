// The shell: emptying the recycle bin, and opening an item with the
// application its type belongs to, as a double-click would.
#pragma once

#include <cstdint>
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

// An item to open with the verb "open", in a normal window.
struct OpenRequest {
  std::u16string item;
  std::u16string parameters;
  std::u16string directory;  // empty: none
  std::intptr_t owner_window = 0;
  bool wait = false;  // return only once the program started for it has ended
};

// Opens the item; false when it could not be opened. Waiting needs a program
// the shell hands over: none is when an application that is already running
// takes the item over. After a wait, the window messages that came meanwhile
// are handled once.
bool OpenItem(const OpenRequest& request);

}  // namespace platform
