// RandomInRange: a random whole number from lowest to highest, both included,
// from one single-precision fraction of the process's generator. Shared by
// DiceRoll and QuipMaker.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "console/failure.h"
#include "platform/random.h"

namespace qcp {

// Bounds given the wrong way round are swapped. Raises Overflow when the
// span highest - lowest + 1 leaves the signed 32-bit range.
inline std::int32_t RandomInRange(std::int32_t lowest, std::int32_t highest) {
  const float r = platform::NextRandomFraction();  // drawn first, whatever follows
  if (lowest > highest) std::swap(lowest, highest);
  const std::int64_t span = static_cast<std::int64_t>(highest) - lowest + 1;
  if (span > std::numeric_limits<std::int32_t>::max()) Raise(failures::kOverflow);
  // floor(r * span + lowest), with lowest added after the floor: the sum in
  // double precision can round up to highest + 1 near the 32-bit limits,
  // while r * span stays below span for every r < 1.
  const auto offset = static_cast<std::int64_t>(std::floor(static_cast<double>(r) * static_cast<double>(span)));
  return static_cast<std::int32_t>(lowest + offset);
}

}  // namespace qcp
