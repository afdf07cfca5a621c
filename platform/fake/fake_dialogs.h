// Scripting of the message box.
#pragma once

namespace fake {

// Runs `action` while each following box is shown, before it returns: what
// the program has done by the time the user sees the box.
void WhileMessageBoxShown(void (*action)());

}  // namespace fake
