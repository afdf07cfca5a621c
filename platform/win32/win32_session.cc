// Win32 session: LockWorkStation, and a forced log-off with the shutdown
// privilege enabled in this process's token.
#include "platform/win32/win32_common.h"

#include "platform/session.h"

namespace platform {
namespace {

// Every step runs whatever the one before returned, and nothing is reported:
// where the privilege is missing, the log-off itself says no.
void EnableShutdownPrivilege() {
  HANDLE token = nullptr;
  ::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token);
  LUID luid{};
  ::LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &luid);
  TOKEN_PRIVILEGES new_state{};
  new_state.PrivilegeCount = 1;
  new_state.Privileges[0].Luid = luid;
  new_state.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  TOKEN_PRIVILEGES previous_state{};
  DWORD return_length = 0;
  static_assert(sizeof(TOKEN_PRIVILEGES) == 16, "one-entry record of 16 bytes");
  ::AdjustTokenPrivileges(token, FALSE, &new_state, sizeof new_state, &previous_state, &return_length);
}

}  // namespace

void LockSession() { ::LockWorkStation(); }

void EndSession() {
  EnableShutdownPrivilege();
  ::ExitWindowsEx(EWX_LOGOFF | EWX_FORCE, 0);
}

}  // namespace platform
