// The GNOME backend: each request is one call to the extension (List, then
// Close, Minimize, Maximize, Restore or SetAbove by the window's id), with
// a time limit on the connection and on every call. A bus name proves
// nothing: the extension is called only at the unique name that also owns
// org.gnome.Shell, when that connection runs as this user.
#include "platform/posix/window_control/gnome_shell.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "console/case_fold.h"
#include "console/failure.h"
#include "console/utf.h"
#include "platform/posix/window_control/gio_session_bus.h"

namespace platform::gnome {
namespace {

// The bus and the shell answer within milliseconds; this long (D-Bus's own
// default) only a hung one waits out.
constexpr int kTimeoutMs = 25000;
constexpr std::u16string_view kBusSilent = u"The session bus did not answer";
constexpr std::u16string_view kShellSilent = u"GNOME Shell did not answer";
constexpr char kInterface[] = "org.quorvex.CommandPack.Windows";
constexpr char kLockedError[] = "org.quorvex.CommandPack.Windows.Error.Locked";
constexpr char kShellName[] = "org.gnome.Shell";
constexpr char kShellPath[] = "/org/gnome/Shell";
constexpr char kBusDaemon[] = "org.freedesktop.DBus";
constexpr char kBusPath[] = "/org/freedesktop/DBus";

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

// A call's outcome: the reply, or the error's D-Bus name (empty for a local
// one, such as a reply of the wrong type) and its text.
struct Reply {
  GVariant* value = nullptr;
  std::string error;
  std::string message;
};

// One call, to `destination` (a unique name, or the bus itself). A call
// that runs out of time is a run-time failure.
Reply Call(const std::string& destination, const char* path, const char* interface, const char* method,
           GVariant* parameters, const char* reply_type) {
  Reply reply;
  const GioLibrary* gio = nullptr;
  GDBusConnection* bus = Bus(gio);
  if (bus == nullptr) {
    reply.error = "org.freedesktop.DBus.Error.NoServer";
    return reply;
  }
  GError* error = nullptr;
  reply.value = gio->dbus_connection_call_sync(bus, destination.c_str(), path, interface, method, parameters,
                                               reinterpret_cast<const GVariantType*>(reply_type),
                                               G_DBUS_CALL_FLAGS_NO_AUTO_START, kTimeoutMs, nullptr, &error);
  if (reply.value != nullptr) return reply;
  const bool timed_out = gio->error_matches(error, gio->io_error_quark(), G_IO_ERROR_TIMED_OUT);
  gchar* remote = gio->dbus_error_get_remote_error(error);
  reply.error = remote != nullptr ? remote : "";
  reply.message = error->message != nullptr ? error->message : "";
  // A remote error's text starts "GDBus.Error:<name>: ".
  if (remote != nullptr && reply.message.compare(0, 12, "GDBus.Error:") == 0) {
    const std::size_t colon = reply.message.find(": ");
    if (colon != std::string::npos) reply.message.erase(0, colon + 2);
  }
  gio->free(remote);
  gio->error_free(error);
  if (timed_out) qcp::Raise(destination == kBusDaemon ? kBusSilent : kShellSilent);
  return reply;
}

void Unref(GVariant* value) {
  const GioLibrary* gio = nullptr;
  Bus(gio);
  if (value != nullptr) gio->variant_unref(value);
}

// The unique name that owns `name`; empty when none does.
std::string OwnerOf(const char* name) {
  const GioLibrary* gio = nullptr;
  if (Bus(gio) == nullptr) return {};
  Reply reply = Call(kBusDaemon, kBusPath, kBusDaemon, "GetNameOwner", gio->variant_new("(s)", name), "(s)");
  if (reply.value == nullptr) return {};
  const gchar* owner = nullptr;
  gio->variant_get(reply.value, "(&s)", &owner);
  std::string found = owner != nullptr ? owner : "";
  Unref(reply.value);
  return found;
}

// The shell's connection, looked up once per run.
const std::string& ShellOwner() {
  static const std::string owner = OwnerOf(kShellName);
  return owner;
}

// What became of the last request to the extension.
enum class Reach { kUnasked, kAnswered, kMissing, kLocked, kFailed };
Reach reach = Reach::kUnasked;
std::string failure;  // the extension's error text, for kFailed

// Where the extension is called: the shell's own connection, once it holds
// the extension's name and runs as this user; empty while the name has no
// owner. Anything else ends the run before a call is made to it.
std::string Extension() {
  const std::string owner = OwnerOf(kBusName);
  if (owner.empty()) return {};
  if (owner != ShellOwner()) {
    qcp::RaiseUnfulfilled(u"the bus name " + qcp::Utf16FromUtf8(kBusName) +
                          u" is held by another program than GNOME Shell; nothing was sent to it");
  }
  static const bool own_user = [] {
    const GioLibrary* gio = nullptr;
    Bus(gio);
    Reply reply = Call(kBusDaemon, kBusPath, kBusDaemon, "GetConnectionUnixUser",
                       gio->variant_new("(s)", ShellOwner().c_str()), "(u)");
    if (reply.value == nullptr) return false;
    guint32 user = 0;
    gio->variant_get(reply.value, "(u)", &user);
    Unref(reply.value);
    return user == ::getuid();
  }();
  if (!own_user) qcp::RaiseUnfulfilled(u"GNOME Shell on this session bus runs as another user; nothing was sent to it");
  return owner;
}

// Notes why a call to the extension got no answer it could use.
void NoteFailure(const Reply& reply) {
  if (reply.error == "org.freedesktop.DBus.Error.ServiceUnknown" ||
      reply.error == "org.freedesktop.DBus.Error.NameHasNoOwner" ||
      reply.error == "org.freedesktop.DBus.Error.NoServer") {
    reach = Reach::kMissing;
  } else if (reply.error == kLockedError) {
    reach = Reach::kLocked;
  } else {
    reach = Reach::kFailed;
    failure = reply.message;
  }
}

struct Listed {
  std::uint64_t id;
  std::u16string title;
  bool focused;
};

// The extension's windows, topmost first; empty when it did not answer.
std::vector<Listed> List() {
  std::vector<Listed> windows;
  const std::string extension = Extension();
  if (extension.empty()) {
    reach = Reach::kMissing;
    return windows;
  }
  Reply reply = Call(extension, kObjectPath, kInterface, "List", nullptr, "(a(tssbbbb))");
  if (reply.value == nullptr) {
    NoteFailure(reply);
    return windows;
  }
  reach = Reach::kAnswered;
  const GioLibrary* gio = nullptr;
  Bus(gio);
  GVariantIter* iter = nullptr;
  gio->variant_get(reply.value, "(a(tssbbbb))", &iter);
  guint64 id = 0;
  const gchar* title = nullptr;
  gboolean focused = FALSE;
  while (gio->variant_iter_loop(iter, "(t&s&sbbbb)", &id, &title, nullptr, &focused, nullptr, nullptr, nullptr)) {
    windows.push_back({id, qcp::Utf16FromUtf8(title), focused != FALSE});
  }
  gio->variant_iter_free(iter);
  Unref(reply.value);
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

std::size_t CodePoints(std::u16string_view text) {
  std::size_t count = 0;
  for (char16_t unit : text) count += (unit & 0xFC00) != 0xDC00 ? 1 : 0;
  return count;
}

WindowHandle Find(const std::u16string& caption) {
  for (const Listed& window : List()) {
    if (!qcp::EqualIgnoringCase(window.title, caption)) continue;
    // The window's own title may go on past the cut: the caption names a
    // window only up to there, which is not enough to act on.
    if (CodePoints(window.title) == kTitleCut) {
      qcp::RaiseUnfulfilled(u"GNOME Shell cuts window titles to 512 characters, and the caption matches a window "
                            u"only up to that cut; nothing was done");
    }
    return HandleOf(window);
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

// False when the window has gone meanwhile, or the request was refused.
bool Act(WindowHandle handle, const char* method, GVariant* parameters) {
  const Listed* window = Window(handle);
  if (window == nullptr || parameters == nullptr) return false;
  const std::string extension = Extension();
  if (extension.empty()) {
    Unref(parameters);
    return false;
  }
  Reply reply = Call(extension, kObjectPath, kInterface, method, parameters, "(b)");
  if (reply.value == nullptr) return false;
  const GioLibrary* gio = nullptr;
  Bus(gio);
  gboolean found = FALSE;
  gio->variant_get(reply.value, "(b)", &found);
  Unref(reply.value);
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

// The running shell's version, as "43.9"; empty when it does not say.
std::string ShellVersion() {
  const GioLibrary* gio = nullptr;
  Bus(gio);
  Reply reply = Call(ShellOwner(), kShellPath, "org.freedesktop.DBus.Properties", "Get",
                     gio->variant_new("(ss)", kShellName, "ShellVersion"), "(v)");
  if (reply.value == nullptr) return {};
  GVariant* value = nullptr;
  gio->variant_get(reply.value, "(v)", &value);
  std::string version;
  if (gio->variant_is_of_type(value, G_VARIANT_TYPE_STRING)) {
    const gchar* text = nullptr;
    gio->variant_get(value, "&s", &text);
    version = text;
  }
  Unref(value);
  Unref(reply.value);
  return version;
}

bool Locked() {
  Reply reply = Call(ShellOwner(), "/org/gnome/ScreenSaver", "org.gnome.ScreenSaver", "GetActive", nullptr, "(b)");
  if (reply.value == nullptr) return false;
  const GioLibrary* gio = nullptr;
  Bus(gio);
  gboolean active = FALSE;
  gio->variant_get(reply.value, "(b)", &active);
  Unref(reply.value);
  return active != FALSE;
}

// The GNOME versions an extension's metadata.json in `folder` declares, as
// "43, 44"; the file is GNOME's own reading, so a plain scan of that one
// array of strings serves.
std::string DeclaredVersions(const std::string& folder) {
  std::ifstream file(folder + "/metadata.json");
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::size_t at = text.find("\"shell-version\"");
  if (at == std::string::npos || (at = text.find('[', at)) == std::string::npos) return {};
  const std::size_t end = text.find(']', at);
  std::string versions;
  while ((at = text.find('"', at)) < end) {
    const std::size_t close = text.find('"', at + 1);
    if (close > end) break;
    versions += (versions.empty() ? "" : ", ") + text.substr(at + 1, close - at - 1);
    at = close + 1;
  }
  return versions;
}

// GNOME's states for an extension, as GetExtensionInfo gives them.
enum State { kActive = 1, kInactive = 2, kError = 3, kOutOfDate = 4, kInitialized = 6, kDeactivating = 7 };

std::u16string ExtensionNote() {
  if (ShellOwner().empty()) return u"GNOME Shell does not answer on the session bus";
  const std::string version = ShellVersion();
  const char* uuid = std::atoi(version.c_str()) < kFirstModuleShell && !version.empty() ? kLegacyUuid : kModuleUuid;
  const std::u16string name = qcp::Utf16FromUtf8(uuid);
  const std::u16string enable = u"\"gnome-extensions enable " + name + u"\"";
  const GioLibrary* gio = nullptr;
  Bus(gio);
  Reply reply = Call(ShellOwner(), kShellPath, "org.gnome.Shell.Extensions", "GetExtensionInfo",
                     gio->variant_new("(s)", uuid), "(a{sv})");
  if (reply.value == nullptr) return u"GNOME Shell does not say what became of its extension " + name;
  GVariant* info = nullptr;
  gio->variant_get(reply.value, "(@a{sv})", &info);
  double state = 0;
  const gchar* error = nullptr;
  const gchar* path = nullptr;
  const bool known = gio->variant_lookup(info, "state", "d", &state) != FALSE;
  std::string error_text = gio->variant_lookup(info, "error", "&s", &error) && error != nullptr ? error : "";
  std::string folder = gio->variant_lookup(info, "path", "&s", &path) && path != nullptr ? path : "";
  Unref(info);
  Unref(reply.value);
  const std::u16string shell = u"GNOME Shell " + qcp::Utf16FromUtf8(version);
  switch (known ? static_cast<int>(state) : 0) {
    case kActive:
      return u"the pack's GNOME Shell extension " + name + u" is enabled, but does not answer on the session bus";
    case kInactive:
    case kInitialized:
    case kDeactivating:
      if (Locked()) return u"the session is locked; its windows can be reached once it is unlocked";
      return u"GNOME's Wayland windows are reached through the pack's GNOME Shell extension, which is disabled; "
             u"enable it with " + enable;
    case kError:
      return u"the pack's GNOME Shell extension " + name + u" failed in " + shell + u": " +
             (error_text.empty() ? u"GNOME gave no reason" : qcp::Utf16FromUtf8(error_text));
    case kOutOfDate:
      return u"the pack's GNOME Shell extension " + name + u" is out of date for " + shell + u": it declares " +
             qcp::Utf16FromUtf8(DeclaredVersions(folder));
    default:
      return u"the pack's GNOME Shell extension " + name + u" is not installed in " + shell +
             u"; if the pack was installed after you logged in, log out and back in, then enable it with " + enable;
  }
}

}  // namespace

bool ShellAnswers() {
  const GioLibrary* gio = nullptr;
  return Bus(gio) != nullptr && !ShellOwner().empty();
}

bool SessionBusLost() {
  const GioLibrary* gio = nullptr;
  return SessionBusConfigured() && Bus(gio) == nullptr;
}

std::vector<std::u16string> Captions() {
  std::vector<std::u16string> captions;
  for (Listed& window : List()) captions.push_back(std::move(window.title));
  return captions;
}

const WindowBackend& Backend() {
  static const WindowBackend backend{"gnome",  Find,     Active,   Caption, Close,
                                     Restore,  Minimize, Maximize, SetAbove, Captions};
  return backend;
}

std::u16string UnreachableNote() {
  switch (reach) {
    case Reach::kMissing:
      return ExtensionNote();
    case Reach::kLocked:
      return u"the session is locked; its windows can be reached once it is unlocked";
    case Reach::kFailed:
      return u"the pack's GNOME Shell extension failed: " + qcp::Utf16FromUtf8(failure);
    case Reach::kUnasked:
    case Reach::kAnswered:
      break;
  }
  return {};
}

}  // namespace platform::gnome
