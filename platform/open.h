// Opening an item with the application its type belongs to, as a
// double-click would.
#pragma once

#include <string>

namespace platform {

// An item to open with the verb "open", in a normal window.
struct OpenRequest {
  std::u16string item;
  std::u16string parameters;
  std::u16string directory;  // empty: none
  bool wait = false;  // return only once the program started for it has ended
};

// Opens the item; false when it could not be opened. Waiting needs a program
// the system hands over: none is when an application that is already running
// takes the item over. After a wait, the window messages that came meanwhile
// are handled once.
bool OpenItem(const OpenRequest& request);

}  // namespace platform
