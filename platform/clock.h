// Clocks and the process identity.
#pragma once

#include <cstdint>

namespace platform {

// Milliseconds since the system started, wrapping at 2^32, read as signed.
std::int32_t TickCount();

// Local time of day in nanoseconds since midnight, at the clock's full resolution.
std::uint64_t TimeOfDayNanoseconds();

std::uint32_t ProcessId();

}  // namespace platform
