// Scripting of the message box.
#pragma once

#include <cstdint>

namespace fake {

// The answer the next message boxes return (IDOK, 1, unless set).
void SetMessageBoxAnswer(std::int32_t answer);

}  // namespace fake
