// The user's session: lock it, and end it with the shutdown privilege.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Starts the lock of the workstation and returns at once.
void LockWorkStation();

// Handles of the session calls, as plain integers.
using Handle = std::uintptr_t;

struct Luid {
  std::uint32_t low_part = 0;
  std::int32_t high_part = 0;
};

struct TokenPrivileges {  // one entry
  std::uint32_t privilege_count = 0;
  Luid luid;
  std::uint32_t attributes = 0;
};

inline constexpr std::uint32_t kTokenAdjustPrivileges = 0x20;
inline constexpr std::uint32_t kTokenQuery = 0x8;
inline constexpr std::uint32_t kSePrivilegeEnabled = 2;
inline constexpr std::uint32_t kEwxLogoff = 0;
inline constexpr std::uint32_t kEwxForce = 4;

Handle GetCurrentProcess();
bool OpenProcessToken(Handle process, std::uint32_t desired_access, Handle& token);
bool LookupPrivilegeValue(const std::u16string& system_name, const std::u16string& name, Luid& luid);
bool AdjustTokenPrivileges(Handle token, bool disable_all, const TokenPrivileges& new_state,
                           std::uint32_t buffer_length, TokenPrivileges& previous_state,
                           std::uint32_t& return_length);
bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved);

}  // namespace platform
