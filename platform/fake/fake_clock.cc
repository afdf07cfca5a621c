#include "platform/fake/fake_clock.h"

#include "platform/clock.h"
#include "platform/fake/fake_platform.h"

namespace fake {
namespace {

std::int32_t ticks = 0;
const Resetter reset_clock([] { ticks = 0; });

}  // namespace

void SetTickCount(std::int32_t new_ticks) { ticks = new_ticks; }

}  // namespace fake

namespace platform {

std::int32_t TickCount() {
  fake::Record(fake::TickCountCall{});
  return fake::ticks;
}

std::uint64_t TimeOfDayNanoseconds() { return 0; }
std::uint32_t ProcessId() { return 1; }

}  // namespace platform
