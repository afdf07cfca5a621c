// The process's pseudo-random generator, seeded from the time of day.
#pragma once

namespace platform {

void Randomize();
// The next fraction r, 0 <= r < 1, in single precision.
float NextRandomFraction();

}  // namespace platform
