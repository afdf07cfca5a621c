// The standard message box.
#pragma once

#include <string>

namespace platform {

// The picture beside the text; the box always has one OK button.
enum class MessageIcon { kNone, kInformation, kQuestion, kWarning, kError };

// Shows the box with no owner window and returns when the user has closed
// it. Raises unfulfilled when no box can be shown at all (no display).
void ShowMessageBox(const std::u16string& text, const std::u16string& title, MessageIcon icon);

}  // namespace platform
