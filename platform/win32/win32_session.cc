// Win32 session: LockWorkStation, and the shutdown privilege and log-off.
#include "platform/win32/win32_common.h"

#include "platform/session.h"

namespace platform {

void LockWorkStation() { ::LockWorkStation(); }

Handle GetCurrentProcess() { return reinterpret_cast<Handle>(::GetCurrentProcess()); }

bool OpenProcessToken(Handle process, std::uint32_t desired_access, Handle& token) {
  HANDLE opened = nullptr;
  const BOOL ok = ::OpenProcessToken(reinterpret_cast<HANDLE>(process), desired_access, &opened);
  token = reinterpret_cast<Handle>(opened);
  return ok != FALSE;
}

bool LookupPrivilegeValue(const std::u16string& system_name, const std::u16string& name, Luid& luid) {
  // An empty system name is the local system.
  LUID found{};
  const BOOL ok = ::LookupPrivilegeValueW(system_name.empty() ? nullptr : Wide(system_name), Wide(name), &found);
  luid.low_part = found.LowPart;
  luid.high_part = found.HighPart;
  return ok != FALSE;
}

bool AdjustTokenPrivileges(Handle token, bool disable_all, const TokenPrivileges& new_state,
                           std::uint32_t buffer_length, TokenPrivileges& previous_state,
                           std::uint32_t& return_length) {
  TOKEN_PRIVILEGES next{};
  next.PrivilegeCount = new_state.privilege_count;
  next.Privileges[0].Luid.LowPart = new_state.luid.low_part;
  next.Privileges[0].Luid.HighPart = new_state.luid.high_part;
  next.Privileges[0].Attributes = new_state.attributes;
  TOKEN_PRIVILEGES previous{};
  DWORD length = 0;
  static_assert(sizeof(TOKEN_PRIVILEGES) == 16, "one-entry record of 16 bytes");
  const BOOL ok = ::AdjustTokenPrivileges(reinterpret_cast<HANDLE>(token), disable_all ? TRUE : FALSE, &next,
                                          buffer_length, &previous, &length);
  previous_state.privilege_count = previous.PrivilegeCount;
  previous_state.luid = {previous.Privileges[0].Luid.LowPart, previous.Privileges[0].Luid.HighPart};
  previous_state.attributes = previous.Privileges[0].Attributes;
  return_length = length;
  return ok != FALSE;
}

bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) {
  return ::ExitWindowsEx(flags, reserved) != FALSE;
}

}  // namespace platform
