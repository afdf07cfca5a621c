// The session through systemd-logind on the system bus (GDBus). There is no
// privilege to enable here: polkit decides whether the caller may end its
// session. A bus that never answers is a run-time failure, so that the tool
// never waits for ever; no bus, no logind or a refusal is unfulfilled.
#include <gio/gio.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "console/failure.h"
#include "console/utf.h"
#include "platform/session.h"

namespace platform {
namespace {

// The connection and each call get this long (D-Bus's own default).
constexpr int kTimeoutMs = 25000;
constexpr std::u16string_view kNoAnswer = u"The system bus did not answer";

// The system bus connection, within the time limit: g_bus_get_sync would
// wait for ever on a bus that accepts the connection and then says nothing.
// Null when there is no bus; raises when it does not answer in time.
GDBusConnection* ConnectSystemBus() {
  struct Wait {
    GAsyncResult* result = nullptr;
    bool expired = false;
  } wait;
  GMainContext* context = g_main_context_new();
  g_main_context_push_thread_default(context);
  GCancellable* cancellable = g_cancellable_new();
  g_bus_get(G_BUS_TYPE_SYSTEM, cancellable,
            [](GObject*, GAsyncResult* result, gpointer data) {
              static_cast<Wait*>(data)->result = G_ASYNC_RESULT(g_object_ref(result));
            },
            &wait);
  GSource* timer = g_timeout_source_new(kTimeoutMs);
  g_source_set_callback(
      timer,
      [](gpointer data) -> gboolean {
        static_cast<Wait*>(data)->expired = true;
        return G_SOURCE_REMOVE;
      },
      &wait, nullptr);
  g_source_attach(timer, context);
  while (wait.result == nullptr && !wait.expired) g_main_context_iteration(context, TRUE);
  g_source_destroy(timer);
  g_source_unref(timer);
  GDBusConnection* bus = nullptr;
  if (wait.result != nullptr) {
    bus = g_bus_get_finish(wait.result, nullptr);
    g_object_unref(wait.result);
  } else {
    g_cancellable_cancel(cancellable);
  }
  g_object_unref(cancellable);
  g_main_context_pop_thread_default(context);
  g_main_context_unref(context);
  if (wait.expired && bus == nullptr) qcp::Raise(kNoAnswer);
  return bus;
}

// The caller's session: $XDG_SESSION_ID, else logind's "auto" session (the
// caller's own, or its user's display session).
const char* SessionName() {
  const char* id = std::getenv("XDG_SESSION_ID");
  return id != nullptr && *id != '\0' ? id : "auto";
}

// The remote error's D-Bus name, which is plain ASCII, or GLib's own text.
std::u16string ErrorName(const GError* error) {
  gchar* remote = g_dbus_error_get_remote_error(error);
  const std::string name = remote != nullptr ? remote : error->message;
  g_free(remote);
  return qcp::Utf16FromUtf8(name);
}

void CallManager(const char* method, std::u16string_view action) {
  GDBusConnection* bus = ConnectSystemBus();
  if (bus == nullptr) {
    qcp::RaiseUnfulfilled(u"cannot reach the system bus to " + std::u16string(action) +
                          u": check that D-Bus is running");
  }
  GError* error = nullptr;
  GVariant* reply = g_dbus_connection_call_sync(
      bus, "org.freedesktop.login1", "/org/freedesktop/login1", "org.freedesktop.login1.Manager", method,
      g_variant_new("(s)", SessionName()), nullptr, G_DBUS_CALL_FLAGS_NONE, kTimeoutMs, nullptr, &error);
  g_object_unref(bus);
  if (reply != nullptr) {
    g_variant_unref(reply);
    return;
  }
  const bool timed_out = g_error_matches(error, G_IO_ERROR, G_IO_ERROR_TIMED_OUT);
  const bool no_logind = g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_SERVICE_UNKNOWN) ||
                         g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_NAME_HAS_NO_OWNER);
  const std::u16string name = ErrorName(error);
  g_error_free(error);
  if (timed_out) qcp::Raise(kNoAnswer);
  if (no_logind) {
    qcp::RaiseUnfulfilled(u"cannot reach systemd-logind to " + std::u16string(action) +
                          u": check that it is running");
  }
  qcp::RaiseUnfulfilled(u"systemd-logind refused to " + std::u16string(action) + u" (" + name +
                        u"): check that this is a logind session and that polkit allows it");
}

}  // namespace

void LockSession() { CallManager("LockSession", u"lock the session"); }

// TerminateSession ends every process of the session, which is the forced form.
void EndSession() { CallManager("TerminateSession", u"end the session"); }

}  // namespace platform
