// The GNOME backend: each request is one call to the extension (List, then
// Close, Minimize, Maximize, Restore or SetAbove by the window's id), with
// a time limit on the connection and on every call.
#include "platform/posix/gnome_windows.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "console/case_fold.h"
#include "console/failure.h"
#include "console/utf.h"
#include "platform/posix/gio_session_bus.h"

namespace platform::gnome {
namespace {

// The bus and the shell answer within milliseconds; this long (D-Bus's own
// default) only a hung one waits out.
constexpr int kTimeoutMs = 25000;
constexpr std::u16string_view kBusSilent = u"The session bus did not answer";
constexpr std::u16string_view kShellSilent = u"GNOME Shell did not answer";
constexpr char kInterface[] = "org.quorvex.CommandPack.Windows";

using GioLibrary = gio::Library;

// GLib would otherwise try to start a bus through dbus-launch.
bool SessionBusConfigured() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address != nullptr && *address != '\0') return true;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  return runtime != nullptr && *runtime != '\0' && ::access((std::string(runtime) + "/bus").c_str(), F_OK) == 0;
}

// The session bus within the time limit, on a context of its own; null when
// there is none. One connection serves the whole run.
GDBusConnection* Connect(const GioLibrary& gio) {
  GMainContext* context = gio.main_context_new();
  gio.main_context_push_thread_default(context);
  bool silent = false;
  GDBusConnection* bus = gio::ConnectSessionBus(gio, context, kTimeoutMs, silent);
  gio.main_context_pop_thread_default(context);
  gio.main_context_unref(context);
  if (silent) qcp::Raise(kBusSilent);
  return bus;
}

GDBusConnection* Bus(const GioLibrary*& gio) {
  static const GioLibrary* const loaded = SessionBusConfigured() ? gio::Load() : nullptr;
  static GDBusConnection* const bus = loaded != nullptr ? Connect(*loaded) : nullptr;
  gio = loaded;
  return bus;
}

// What became of the last request to the extension.
enum class Reach { kUnasked, kAnswered, kMissing, kRefused };
Reach reach = Reach::kUnasked;

// One call; null when it failed, after noting why (an answer is noted by
// the caller). A call that runs out of time is a run-time failure.
GVariant* Call(const char* destination, const char* path, const char* interface, const char* method,
               GVariant* parameters, const char* reply_type) {
  const GioLibrary* gio = nullptr;
  GDBusConnection* bus = Bus(gio);
  if (bus == nullptr) {
    reach = Reach::kMissing;
    return nullptr;
  }
  GError* error = nullptr;
  GVariant* reply = gio->dbus_connection_call_sync(bus, destination, path, interface, method, parameters,
                                                   reinterpret_cast<const GVariantType*>(reply_type),
                                                   G_DBUS_CALL_FLAGS_NO_AUTO_START, kTimeoutMs, nullptr, &error);
  if (reply != nullptr) return reply;
  const bool timed_out = gio->error_matches(error, gio->io_error_quark(), G_IO_ERROR_TIMED_OUT);
  gchar* remote = gio->dbus_error_get_remote_error(error);
  const std::string name = remote != nullptr ? remote : "";
  gio->free(remote);
  gio->error_free(error);
  if (timed_out) qcp::Raise(kShellSilent);
  reach = name == "org.freedesktop.DBus.Error.AccessDenied" ? Reach::kRefused : Reach::kMissing;
  return nullptr;
}

struct Listed {
  std::uint64_t id;
  std::u16string title;
  bool focused;
};

// The extension's windows, topmost first; empty when it did not answer.
std::vector<Listed> List() {
  std::vector<Listed> windows;
  GVariant* reply = Call(kBusName, kObjectPath, kInterface, "List", nullptr, "(a(tssbbbb))");
  if (reply == nullptr) return windows;
  reach = Reach::kAnswered;
  const GioLibrary* gio = nullptr;
  Bus(gio);
  GVariantIter* iter = nullptr;
  gio->variant_get(reply, "(a(tssbbbb))", &iter);
  guint64 id = 0;
  const gchar* title = nullptr;
  gboolean focused = FALSE;
  while (gio->variant_iter_loop(iter, "(t&s&sbbbb)", &id, &title, nullptr, &focused, nullptr, nullptr, nullptr)) {
    windows.push_back({id, qcp::Utf16FromUtf8(title), focused != FALSE});
  }
  gio->variant_iter_free(iter);
  gio->variant_unref(reply);
  return windows;
}

// A handle is the place of the window's id and title in this list: the
// extension's ids are 64 bits wide, handles may be narrower.
std::vector<Listed>& Found() {
  static std::vector<Listed> found;
  return found;
}

WindowHandle HandleOf(const Listed& window) {
  Found().push_back(window);
  return Found().size();
}

const Listed* Window(WindowHandle handle) {
  if (handle == 0 || handle > Found().size()) return nullptr;
  return &Found()[handle - 1];
}

WindowHandle Find(const std::u16string& caption) {
  for (const Listed& window : List()) {
    if (qcp::EqualIgnoringCase(window.title, caption)) return HandleOf(window);
  }
  return 0;
}

WindowHandle Active() {
  for (const Listed& window : List()) {
    if (window.focused) return HandleOf(window);
  }
  return 0;
}

std::u16string Caption(WindowHandle handle, std::size_t max_length) {
  const Listed* window = Window(handle);
  if (window == nullptr) return {};
  return window->title.substr(0, max_length);
}

// False when the window has gone meanwhile.
bool Act(WindowHandle handle, const char* method, GVariant* parameters) {
  const Listed* window = Window(handle);
  if (window == nullptr) return false;
  GVariant* reply = Call(kBusName, kObjectPath, kInterface, method, parameters, "(b)");
  if (reply == nullptr) return false;
  const GioLibrary* gio = nullptr;
  Bus(gio);
  gboolean found = FALSE;
  gio->variant_get(reply, "(b)", &found);
  gio->variant_unref(reply);
  return found != FALSE;
}

GVariant* IdOf(WindowHandle handle) {
  const GioLibrary* gio = nullptr;
  Bus(gio);
  const Listed* window = Window(handle);
  return gio != nullptr && window != nullptr ? gio->variant_new("(t)", static_cast<guint64>(window->id)) : nullptr;
}

bool Close(WindowHandle window) { return Act(window, "Close", IdOf(window)); }
bool Restore(WindowHandle window) { return Act(window, "Restore", IdOf(window)); }
bool Minimize(WindowHandle window) { return Act(window, "Minimize", IdOf(window)); }
bool Maximize(WindowHandle window) { return Act(window, "Maximize", IdOf(window)); }

bool SetAbove(WindowHandle handle, bool above) {
  const GioLibrary* gio = nullptr;
  Bus(gio);
  const Listed* window = Window(handle);
  if (gio == nullptr || window == nullptr) return false;
  return Act(handle, "SetAbove", gio->variant_new("(tb)", static_cast<guint64>(window->id), above ? TRUE : FALSE));
}

}  // namespace

bool ExtensionPresent() {
  const GioLibrary* gio = nullptr;
  if (Bus(gio) == nullptr) return false;
  GVariant* reply = Call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
                         gio->variant_new("(s)", kBusName), "(b)");
  if (reply == nullptr) return false;
  gboolean owned = FALSE;
  gio->variant_get(reply, "(b)", &owned);
  gio->variant_unref(reply);
  return owned != FALSE;
}

const WindowBackend& Backend() {
  static const WindowBackend backend{"gnome", Find, Active, Caption, Close, Restore, Minimize, Maximize, SetAbove};
  return backend;
}

std::u16string UnreachableNote() {
  switch (reach) {
    case Reach::kMissing:
      return u"GNOME's Wayland windows are reached through the pack's GNOME Shell extension; enable it with "
             u"\"gnome-extensions enable " +
             qcp::Utf16FromUtf8(kExtensionUuid) + u"\", then log out and back in";
    case Reach::kRefused:
      return u"the GNOME Shell extension answers only the user of its own session";
    case Reach::kUnasked:
    case Reach::kAnswered:
      break;
  }
  return {};
}

}  // namespace platform::gnome
