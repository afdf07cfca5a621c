// Win32 clocks: GetTickCount and the precise system time in local time.
#include "platform/win32/win32_common.h"

#include "platform/clock.h"

namespace platform {
namespace {

using SystemTimeFunction = void(WINAPI*)(LPFILETIME);

// The precise clock exists from Windows 8 on; Windows 7 has only the one
// that moves with the scheduler's tick. Importing it directly would stop the
// loader from starting the program on Windows 7 at all.
SystemTimeFunction SystemTimeClock() {
  const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  const FARPROC precise = kernel == nullptr ? nullptr : ::GetProcAddress(kernel, "GetSystemTimePreciseAsFileTime");
  if (precise == nullptr) return &::GetSystemTimeAsFileTime;
  return reinterpret_cast<SystemTimeFunction>(reinterpret_cast<void*>(precise));
}

}  // namespace

std::int32_t TickCount() { return static_cast<std::int32_t>(::GetTickCount()); }

std::uint64_t TimeOfDayNanoseconds() {
  FILETIME utc{};
  FILETIME local{};
  SystemTimeClock()(&utc);
  ::FileTimeToLocalFileTime(&utc, &local);
  const std::uint64_t ticks = (static_cast<std::uint64_t>(local.dwHighDateTime) << 32) | local.dwLowDateTime;
  constexpr std::uint64_t kTicksPerDay = 864000000000ull;  // 100 ns ticks
  return (ticks % kTicksPerDay) * 100u;
}

std::uint32_t ProcessId() { return ::GetCurrentProcessId(); }

}  // namespace platform
