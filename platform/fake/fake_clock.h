// Scripting of the clocks.
#pragma once

#include <cstdint>

namespace fake {

void SetTickCount(std::int32_t ticks);

}  // namespace fake
