// The generator of the native backends: seeded from the time of day at full
// resolution mixed with the process id, so runs in a tight loop differ.
#include "console/random.h"
#include "platform/clock.h"
#include "platform/random.h"

namespace platform {
namespace {
qcp::RandomGenerator generator;
}  // namespace

void Randomize() { generator.Seed(TimeOfDayNanoseconds(), ProcessId()); }

float NextRandomFraction() { return generator.NextFraction(); }

}  // namespace platform
