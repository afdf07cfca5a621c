// The GNOME backend: each request is one call to the extension (List, then
// Close, Minimize, Maximize, Restore or SetAbove by the window's id), with
// a time limit on the connection and on every call.
#include "platform/posix/gnome_windows.h"

#include <gio/gio.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "console/case_fold.h"
#include "console/failure.h"
#include "console/utf.h"
#include "platform/posix/dynamic_library.h"

namespace platform::gnome {
namespace {

// The bus and the shell answer within milliseconds; this long (D-Bus's own
// default) only a hung one waits out.
constexpr int kTimeoutMs = 25000;
constexpr std::u16string_view kBusSilent = u"The session bus did not answer";
constexpr std::u16string_view kShellSilent = u"GNOME Shell did not answer";
constexpr char kInterface[] = "org.quorvex.CommandPack.Windows";

// GIO, loaded on the first GNOME request rather than at start-up: the
// window tools start as fast without it.
struct GioLibrary {
  decltype(&::g_bus_get) bus_get;
  decltype(&::g_bus_get_finish) bus_get_finish;
  decltype(&::g_cancellable_new) cancellable_new;
  decltype(&::g_cancellable_cancel) cancellable_cancel;
  decltype(&::g_dbus_connection_call_sync) dbus_connection_call_sync;
  decltype(&::g_dbus_error_get_remote_error) dbus_error_get_remote_error;
  decltype(&::g_error_matches) error_matches;
  decltype(&::g_error_free) error_free;
  decltype(&::g_free) free;
  decltype(&::g_io_error_quark) io_error_quark;
  decltype(&::g_main_context_new) main_context_new;
  decltype(&::g_main_context_push_thread_default) main_context_push_thread_default;
  decltype(&::g_main_context_pop_thread_default) main_context_pop_thread_default;
  decltype(&::g_main_context_iteration) main_context_iteration;
  decltype(&::g_main_context_unref) main_context_unref;
  decltype(&::g_object_ref) object_ref;
  decltype(&::g_object_unref) object_unref;
  decltype(&::g_source_attach) source_attach;
  decltype(&::g_source_destroy) source_destroy;
  decltype(&::g_source_set_callback) source_set_callback;
  decltype(&::g_source_unref) source_unref;
  decltype(&::g_timeout_source_new) timeout_source_new;
  decltype(&::g_variant_get) variant_get;
  decltype(&::g_variant_iter_free) variant_iter_free;
  decltype(&::g_variant_iter_loop) variant_iter_loop;
  decltype(&::g_variant_new) variant_new;
  decltype(&::g_variant_unref) variant_unref;
};

bool Load(GioLibrary& gio) {
  void* library = ::dlopen("libgio-2.0.so.0", RTLD_NOW | RTLD_GLOBAL);
  if (library == nullptr) return false;
  return Resolve(library, "g_bus_get", gio.bus_get) && Resolve(library, "g_bus_get_finish", gio.bus_get_finish) &&
         Resolve(library, "g_cancellable_new", gio.cancellable_new) &&
         Resolve(library, "g_cancellable_cancel", gio.cancellable_cancel) &&
         Resolve(library, "g_dbus_connection_call_sync", gio.dbus_connection_call_sync) &&
         Resolve(library, "g_dbus_error_get_remote_error", gio.dbus_error_get_remote_error) &&
         Resolve(library, "g_error_matches", gio.error_matches) && Resolve(library, "g_error_free", gio.error_free) &&
         Resolve(library, "g_free", gio.free) && Resolve(library, "g_io_error_quark", gio.io_error_quark) &&
         Resolve(library, "g_main_context_new", gio.main_context_new) &&
         Resolve(library, "g_main_context_push_thread_default", gio.main_context_push_thread_default) &&
         Resolve(library, "g_main_context_pop_thread_default", gio.main_context_pop_thread_default) &&
         Resolve(library, "g_main_context_iteration", gio.main_context_iteration) &&
         Resolve(library, "g_main_context_unref", gio.main_context_unref) &&
         Resolve(library, "g_object_ref", gio.object_ref) && Resolve(library, "g_object_unref", gio.object_unref) &&
         Resolve(library, "g_source_attach", gio.source_attach) &&
         Resolve(library, "g_source_destroy", gio.source_destroy) &&
         Resolve(library, "g_source_set_callback", gio.source_set_callback) &&
         Resolve(library, "g_source_unref", gio.source_unref) &&
         Resolve(library, "g_timeout_source_new", gio.timeout_source_new) &&
         Resolve(library, "g_variant_get", gio.variant_get) &&
         Resolve(library, "g_variant_iter_free", gio.variant_iter_free) &&
         Resolve(library, "g_variant_iter_loop", gio.variant_iter_loop) &&
         Resolve(library, "g_variant_new", gio.variant_new) && Resolve(library, "g_variant_unref", gio.variant_unref);
}

const GioLibrary* LoadGio() {
  static GioLibrary gio;
  static const bool loaded = Load(gio);
  return loaded ? &gio : nullptr;
}

// GLib would otherwise try to start a bus through dbus-launch.
bool SessionBusConfigured() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address != nullptr && *address != '\0') return true;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  return runtime != nullptr && *runtime != '\0' && ::access((std::string(runtime) + "/bus").c_str(), F_OK) == 0;
}

// The session bus within the time limit (g_bus_get_sync would wait for ever
// on a bus that accepts the connection and then says nothing); null when
// there is none. One connection serves the whole run.
GDBusConnection* Connect(const GioLibrary& gio) {
  struct Wait {
    GAsyncResult* result = nullptr;
    bool expired = false;
    const GioLibrary* gio;
  } wait;
  wait.gio = &gio;
  GMainContext* context = gio.main_context_new();
  gio.main_context_push_thread_default(context);
  GCancellable* cancellable = gio.cancellable_new();
  gio.bus_get(
      G_BUS_TYPE_SESSION, cancellable,
      [](GObject*, GAsyncResult* result, gpointer data) {
        auto* wait = static_cast<Wait*>(data);
        wait->result = static_cast<GAsyncResult*>(wait->gio->object_ref(result));
      },
      &wait);
  GSource* timer = gio.timeout_source_new(kTimeoutMs);
  gio.source_set_callback(
      timer,
      [](gpointer data) -> gboolean {
        static_cast<Wait*>(data)->expired = true;
        return G_SOURCE_REMOVE;
      },
      &wait, nullptr);
  gio.source_attach(timer, context);
  while (wait.result == nullptr && !wait.expired) gio.main_context_iteration(context, TRUE);
  gio.source_destroy(timer);
  gio.source_unref(timer);
  GDBusConnection* bus = nullptr;
  if (wait.result != nullptr) {
    bus = gio.bus_get_finish(wait.result, nullptr);
    gio.object_unref(wait.result);
  } else {
    gio.cancellable_cancel(cancellable);
  }
  gio.object_unref(cancellable);
  gio.main_context_pop_thread_default(context);
  gio.main_context_unref(context);
  if (wait.expired && bus == nullptr) qcp::Raise(kBusSilent);
  return bus;
}

GDBusConnection* Bus(const GioLibrary*& gio) {
  static const GioLibrary* const loaded = SessionBusConfigured() ? LoadGio() : nullptr;
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
