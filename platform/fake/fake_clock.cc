#include "platform/fake/fake_clock.h"

#include <deque>

#include "platform/clock.h"
#include "platform/fake/fake_platform.h"
#include "platform/random.h"

namespace fake {
namespace {

struct ClockState {
  std::int32_t ticks = 0;
  std::deque<float> fractions;
};
ClockState clock_state;
const Resetter reset_clock([] { clock_state = {}; });

}  // namespace

void SetTickCount(std::int32_t ticks) { clock_state.ticks = ticks; }
void QueueRandomFractions(std::initializer_list<float> fractions) {
  clock_state.fractions.insert(clock_state.fractions.end(), fractions);
}

}  // namespace fake

namespace platform {

std::int32_t TickCount() {
  fake::Record("TickCount");
  return fake::clock_state.ticks;
}

std::uint64_t TimeOfDayNanoseconds() { return 0; }
std::uint32_t ProcessId() { return 1; }

void Randomize() { fake::Record("Randomize"); }

float NextRandomFraction() {
  if (fake::clock_state.fractions.empty()) return 0.0f;
  const float next = fake::clock_state.fractions.front();
  fake::clock_state.fractions.pop_front();
  return next;
}

}  // namespace platform
