#include "console/random.h"

#include <cmath>

namespace qcp {
namespace {

std::uint64_t SplitMix64(std::uint64_t& x) {
  std::uint64_t z = (x += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

std::uint64_t Rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

}  // namespace

void RandomGenerator::Seed(std::uint64_t a, std::uint64_t b) {
  std::uint64_t x = a ^ Rotl(b, 32) ^ 0x6A09E667F3BCC909ull;
  for (auto& s : state_) s = SplitMix64(x);
  x ^= b;
  state_[3] ^= SplitMix64(x);
  if ((state_[0] | state_[1] | state_[2] | state_[3]) == 0) state_[0] = 1;
}

std::uint64_t RandomGenerator::Next() {
  const std::uint64_t result = Rotl(state_[1] * 5, 7) * 9;
  const std::uint64_t t = state_[1] << 17;
  state_[2] ^= state_[0];
  state_[3] ^= state_[1];
  state_[1] ^= state_[2];
  state_[0] ^= state_[3];
  state_[2] ^= t;
  state_[3] = Rotl(state_[3], 45);
  return result;
}

float RandomGenerator::NextFraction() {
  // A uniform real in [0, 1) with 64 bits, rounded down to the float grid:
  // each float f comes out with the chance of the interval [f, next float).
  const double real = std::ldexp(static_cast<double>(Next() >> 11), -53);
  float fraction = static_cast<float>(real);
  if (static_cast<double>(fraction) > real) fraction = std::nextafter(fraction, 0.0f);
  return fraction;
}

}  // namespace qcp
