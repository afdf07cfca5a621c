// Win32 clocks: GetTickCount and the precise system time in local time.
#include "platform/win32/win32_common.h"

#include "platform/clock.h"

namespace platform {

std::int32_t TickCount() { return static_cast<std::int32_t>(::GetTickCount()); }

std::uint64_t TimeOfDayNanoseconds() {
  FILETIME utc{};
  FILETIME local{};
  ::GetSystemTimePreciseAsFileTime(&utc);
  ::FileTimeToLocalFileTime(&utc, &local);
  const std::uint64_t ticks = (static_cast<std::uint64_t>(local.dwHighDateTime) << 32) | local.dwLowDateTime;
  constexpr std::uint64_t kTicksPerDay = 864000000000ull;  // 100 ns ticks
  return (ticks % kTicksPerDay) * 100u;
}

std::uint32_t ProcessId() { return ::GetCurrentProcessId(); }

}  // namespace platform
