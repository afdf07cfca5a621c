// Opening an item through the shell, optionally waiting for the program it starts.
#pragma once

#include <string>

namespace start {

// How the started program's window is shown; a normal window is the only way there is.
enum class WindowShow { kNormal };

// Opens `file` with the verb "open" and `parameters`, shown as `show` says,
// in `directory` (none when empty).
// With `wait`, returns once the started process has ended.
void ExecuteFile(const std::u16string& file, const std::u16string& parameters, WindowShow show,
                 const std::u16string& directory, bool wait);

}  // namespace start
