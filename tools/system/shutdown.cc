#include "tools/system/shutdown.h"

#include "platform/session.h"

namespace session_end {

namespace {
// The one-entry TOKEN_PRIVILEGES record: count, LUID, attributes.
constexpr std::uint32_t kNewStateLength = 16;
}  // namespace

void EnableShutdownPrivilege() {
  const platform::Handle process = platform::GetCurrentProcess();
  platform::Handle token = 0;
  platform::OpenProcessToken(process, platform::kTokenAdjustPrivileges | platform::kTokenQuery, token);

  platform::Luid luid;
  platform::LookupPrivilegeValue(u"", u"SeShutdownPrivilege", luid);

  platform::TokenPrivileges new_state;
  new_state.privilege_count = 1;
  new_state.luid = luid;
  new_state.attributes = platform::kSePrivilegeEnabled;
  platform::TokenPrivileges previous_state;
  std::uint32_t return_length = 0;
  platform::AdjustTokenPrivileges(token, false, new_state, kNewStateLength, previous_state, return_length);
}

void ShutdownWindows(std::int32_t flags) {
  EnableShutdownPrivilege();
  platform::ExitWindowsEx(static_cast<std::uint32_t>(flags), 0);
}

void LogUserOff() { ShutdownWindows(static_cast<std::int32_t>(platform::kEwxLogoff | platform::kEwxForce)); }

}  // namespace session_end
