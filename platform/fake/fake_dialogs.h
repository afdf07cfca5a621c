// Scripting of the message box.
#pragma once

#include <cstdint>

namespace fake {

// The answer the next message boxes return (IDOK, 1, unless set).
void SetMessageBoxAnswer(std::int32_t answer);

// Runs `action` while each following box is shown, before it returns: what
// the program has done by the time the user sees the box.
void WhileMessageBoxShown(void (*action)());

}  // namespace fake
