// Scripting of the clocks and the random generator.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace fake {

void SetTickCount(std::int32_t ticks);
// Fractions the generator hands out next, in order; 0 once they run out.
void QueueRandomFractions(std::initializer_list<float> fractions);

}  // namespace fake
