// The pseudo-random generator behind the dice and the quotes: xoshiro256**
// seeded through SplitMix64, drawing single-precision fractions in [0, 1).
#pragma once

#include <cstdint>

namespace qcp {

class RandomGenerator {
 public:
  void Seed(std::uint64_t a, std::uint64_t b);
  float NextFraction();

 private:
  std::uint64_t Next();
  std::uint64_t state_[4] = {1, 2, 3, 4};
};

}  // namespace qcp
