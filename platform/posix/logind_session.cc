// The session through systemd-logind on the system bus (GDBus). There is no
// privilege to enable here: polkit decides whether the caller may end its
// session. Every failure stays silent.
#include <gio/gio.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/session.h"

namespace platform {
namespace {

constexpr int kCallTimeoutMs = 10000;

// The caller's session: $XDG_SESSION_ID, else logind's "auto" session (the
// caller's own, or its user's display session).
const char* SessionName() {
  const char* id = std::getenv("XDG_SESSION_ID");
  return id != nullptr && *id != '\0' ? id : "auto";
}

void CallManager(const char* method) {
  GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SYSTEM, nullptr, nullptr);
  if (bus == nullptr) return;
  GVariant* reply = g_dbus_connection_call_sync(
      bus, "org.freedesktop.login1", "/org/freedesktop/login1", "org.freedesktop.login1.Manager", method,
      g_variant_new("(s)", SessionName()), nullptr, G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, nullptr);
  if (reply != nullptr) g_variant_unref(reply);
  g_object_unref(bus);
}

}  // namespace

void LockWorkStation() { CallManager("LockSession"); }

Handle GetCurrentProcess() { return static_cast<Handle>(::getpid()); }

bool OpenProcessToken(Handle, std::uint32_t, Handle& token) {
  token = 0;
  return true;
}

bool LookupPrivilegeValue(const std::u16string&, const std::u16string&, Luid& luid) {
  luid = {};
  return true;
}

bool AdjustTokenPrivileges(Handle, bool, const TokenPrivileges&, std::uint32_t, TokenPrivileges& previous_state,
                           std::uint32_t& return_length) {
  previous_state = {};
  return_length = 0;
  return true;
}

bool ExitWindowsEx(std::uint32_t flags, std::uint32_t) {
  // Only the log-off action has a session equivalent; logind's TerminateSession
  // ends every process of the session, which is the forced form.
  constexpr std::uint32_t kShutdownRebootPowerOff = 0x1 | 0x2 | 0x8;
  if ((flags & kShutdownRebootPowerOff) != kEwxLogoff) return false;
  CallManager("TerminateSession");
  return true;
}

}  // namespace platform
