#include "platform/fake/fake_random.h"

#include <deque>

#include "platform/fake/fake_platform.h"
#include "platform/random.h"

namespace fake {
namespace {

std::deque<float> fractions;
const Resetter reset_random([] { fractions.clear(); });

}  // namespace

void QueueRandomFractions(std::initializer_list<float> more) { fractions.insert(fractions.end(), more); }

}  // namespace fake

namespace platform {

void Randomize() { fake::Record(fake::RandomizeCall{}); }

float NextRandomFraction() {
  if (fake::fractions.empty()) return 0.0f;
  const float next = fake::fractions.front();
  fake::fractions.pop_front();
  return next;
}

}  // namespace platform
