#include <string>

#include "platform/fake/fake_platform.h"
#include "platform/session.h"

namespace platform {
namespace {

constexpr Handle kProcess = static_cast<Handle>(-1);  // the pseudo-handle
constexpr Handle kToken = 0x7001;
constexpr Luid kShutdownLuid = {0x13, 0};
}  // namespace

void LockWorkStation() { fake::Record("LockWorkStation"); }

Handle GetCurrentProcess() {
  fake::Record("GetCurrentProcess");
  return kProcess;
}

bool OpenProcessToken(Handle process, std::uint32_t desired_access, Handle& token) {
  fake::Record("OpenProcessToken(" + fake::Hex(process) + ", " + fake::Hex(desired_access) + ")");
  token = kToken;
  return true;
}

bool LookupPrivilegeValue(const std::u16string& system_name, const std::u16string& name, Luid& luid) {
  fake::Record("LookupPrivilegeValue(\"" + fake::Narrow(system_name) + "\", \"" + fake::Narrow(name) + "\")");
  luid = kShutdownLuid;
  return true;
}

bool AdjustTokenPrivileges(Handle token, bool disable_all, const TokenPrivileges& new_state,
                           std::uint32_t buffer_length, TokenPrivileges& previous_state,
                           std::uint32_t& return_length) {
  fake::Record("AdjustTokenPrivileges(" + fake::Hex(token) + ", " + (disable_all ? "true" : "false") + ", count " +
               std::to_string(new_state.privilege_count) + ", luid " + fake::Hex(new_state.luid.low_part) + ":" +
               fake::Hex(static_cast<std::uint32_t>(new_state.luid.high_part)) + ", attributes " +
               std::to_string(new_state.attributes) + ", length " + std::to_string(buffer_length) + ")");
  previous_state = {};
  return_length = 0;
  return true;
}

bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) {
  fake::Record("ExitWindowsEx(" + std::to_string(flags) + ", " + std::to_string(reserved) + ")");
  return true;
}
}  // namespace platform
