// Scripting of the random generator.
#pragma once

#include <initializer_list>

namespace fake {

// Fractions the generator hands out next, in order; 0 once they run out.
void QueueRandomFractions(std::initializer_list<float> fractions);

}  // namespace fake
