// POSIX clocks: CLOCK_BOOTTIME for the tick count, local wall time of day.
#include <time.h>
#include <unistd.h>

#include "platform/clock.h"

namespace platform {

std::int32_t TickCount() {
  timespec now{};
  ::clock_gettime(CLOCK_BOOTTIME, &now);
  const std::uint64_t ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                           static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(ms));
}

std::uint64_t TimeOfDayNanoseconds() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  ::localtime_r(&now.tv_sec, &local);
  const long long seconds = (static_cast<long long>(now.tv_sec) + local.tm_gmtoff) % 86400;
  return static_cast<std::uint64_t>((seconds + 86400) % 86400) * 1000000000ull +
         static_cast<std::uint64_t>(now.tv_nsec);
}

std::uint32_t ProcessId() { return static_cast<std::uint32_t>(::getpid()); }

}  // namespace platform
