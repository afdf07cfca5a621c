// KWin's scripting over D-Bus: org.kde.kwin.Scripting.loadScript(path, name)
// at /Scripting gives a script number; org.kde.kwin.Script.run starts it at
// /Scripting/Script<N> (KWin 5.23 and later) or /<N> (before). The script
// speaks both the KWin 5 names (clientList, activeClient) and the KWin 6
// ones (windowList, activeWindow).
#include "platform/posix/wayland_kwin_script.h"

#include <gio/gio.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "console/utf.h"
#include "platform/posix/dynamic_library.h"
#include "platform/posix/wayland_failure.h"

namespace platform::wayland {
namespace {

constexpr char kKWinService[] = "org.kde.KWin";
// A session bus answers a new connection, and KWin a call, at once; one
// that has not after this long has hung.
constexpr guint kBusTimeoutMs = 5000;

// GIO, loaded on the first KWin request rather than at start-up: the window
// tools start as fast without it, and a machine without it has no KWin.
struct GioLibrary {
  decltype(&::g_bus_get) bus_get;
  decltype(&::g_bus_get_finish) bus_get_finish;
  decltype(&::g_cancellable_new) cancellable_new;
  decltype(&::g_cancellable_cancel) cancellable_cancel;
  decltype(&::g_object_ref) object_ref;
  decltype(&::g_dbus_connection_call_sync) dbus_connection_call_sync;
  decltype(&::g_dbus_connection_flush) dbus_connection_flush;
  decltype(&::g_dbus_connection_get_unique_name) dbus_connection_get_unique_name;
  decltype(&::g_dbus_connection_register_object) dbus_connection_register_object;
  decltype(&::g_dbus_connection_unregister_object) dbus_connection_unregister_object;
  decltype(&::g_dbus_method_invocation_return_value) dbus_method_invocation_return_value;
  decltype(&::g_dbus_node_info_new_for_xml) dbus_node_info_new_for_xml;
  decltype(&::g_dbus_node_info_unref) dbus_node_info_unref;
  decltype(&::g_object_unref) object_unref;
  decltype(&::g_error_free) error_free;
  decltype(&::g_error_matches) error_matches;
  decltype(&::g_io_error_quark) io_error_quark;
  decltype(&::g_free) free;
  decltype(&::g_strcmp0) strcmp0;
  decltype(&::g_strdup_printf) strdup_printf;
  decltype(&::g_get_user_runtime_dir) get_user_runtime_dir;
  decltype(&::g_variant_is_of_type) variant_is_of_type;
  decltype(&::g_variant_new) variant_new;
  decltype(&::g_variant_get) variant_get;
  decltype(&::g_variant_unref) variant_unref;
  decltype(&::g_main_context_new) main_context_new;
  decltype(&::g_main_context_push_thread_default) main_context_push_thread_default;
  decltype(&::g_main_context_pop_thread_default) main_context_pop_thread_default;
  decltype(&::g_main_context_iteration) main_context_iteration;
  decltype(&::g_main_context_unref) main_context_unref;
  decltype(&::g_timeout_source_new) timeout_source_new;
  decltype(&::g_source_set_callback) source_set_callback;
  decltype(&::g_source_attach) source_attach;
  decltype(&::g_source_destroy) source_destroy;
  decltype(&::g_source_unref) source_unref;
};

// GLib and GObject come in as GIO's own dependencies, so the one handle
// finds their functions too.
bool Load(GioLibrary& gio) {
  void* library = ::dlopen("libgio-2.0.so.0", RTLD_NOW | RTLD_GLOBAL);
  if (library == nullptr) return false;
  return Resolve(library, "g_bus_get", gio.bus_get) &&
         Resolve(library, "g_bus_get_finish", gio.bus_get_finish) &&
         Resolve(library, "g_cancellable_new", gio.cancellable_new) &&
         Resolve(library, "g_cancellable_cancel", gio.cancellable_cancel) &&
         Resolve(library, "g_object_ref", gio.object_ref) &&
         Resolve(library, "g_dbus_connection_call_sync", gio.dbus_connection_call_sync) &&
         Resolve(library, "g_dbus_connection_flush", gio.dbus_connection_flush) &&
         Resolve(library, "g_dbus_connection_get_unique_name", gio.dbus_connection_get_unique_name) &&
         Resolve(library, "g_dbus_connection_register_object", gio.dbus_connection_register_object) &&
         Resolve(library, "g_dbus_connection_unregister_object", gio.dbus_connection_unregister_object) &&
         Resolve(library, "g_dbus_method_invocation_return_value", gio.dbus_method_invocation_return_value) &&
         Resolve(library, "g_dbus_node_info_new_for_xml", gio.dbus_node_info_new_for_xml) &&
         Resolve(library, "g_dbus_node_info_unref", gio.dbus_node_info_unref) &&
         Resolve(library, "g_object_unref", gio.object_unref) &&
         Resolve(library, "g_error_free", gio.error_free) &&
         Resolve(library, "g_error_matches", gio.error_matches) &&
         Resolve(library, "g_io_error_quark", gio.io_error_quark) &&
         Resolve(library, "g_free", gio.free) &&
         Resolve(library, "g_strcmp0", gio.strcmp0) &&
         Resolve(library, "g_strdup_printf", gio.strdup_printf) &&
         Resolve(library, "g_get_user_runtime_dir", gio.get_user_runtime_dir) &&
         Resolve(library, "g_variant_is_of_type", gio.variant_is_of_type) &&
         Resolve(library, "g_variant_new", gio.variant_new) &&
         Resolve(library, "g_variant_get", gio.variant_get) &&
         Resolve(library, "g_variant_unref", gio.variant_unref) &&
         Resolve(library, "g_main_context_new", gio.main_context_new) &&
         Resolve(library, "g_main_context_push_thread_default", gio.main_context_push_thread_default) &&
         Resolve(library, "g_main_context_pop_thread_default", gio.main_context_pop_thread_default) &&
         Resolve(library, "g_main_context_iteration", gio.main_context_iteration) &&
         Resolve(library, "g_main_context_unref", gio.main_context_unref) &&
         Resolve(library, "g_timeout_source_new", gio.timeout_source_new) &&
         Resolve(library, "g_source_set_callback", gio.source_set_callback) &&
         Resolve(library, "g_source_attach", gio.source_attach) &&
         Resolve(library, "g_source_destroy", gio.source_destroy) &&
         Resolve(library, "g_source_unref", gio.source_unref);
}

// The library; null when it cannot be loaded.
const GioLibrary* LoadGio() {
  static GioLibrary gio;
  static const bool loaded = Load(gio);
  return loaded ? &gio : nullptr;
}

// A JavaScript string literal holding `text`, every character but plain
// ASCII letters, digits and blanks escaped as \uXXXX.
std::string JsString(std::u16string_view text) {
  std::string literal = "\"";
  for (const char16_t c : text) {
    const bool plain = (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u' ';
    if (plain) {
      literal += static_cast<char>(c);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
      literal += escaped;
    }
  }
  return literal + "\"";
}

const char* ActionCode(KWinAction action) {
  switch (action) {
    case KWinAction::kFind:
      return "";
    case KWinAction::kClose:
      return "w.closeWindow();";
    case KWinAction::kMinimize:
      return "w.minimized = true;";
    case KWinAction::kMaximize:
      return "w.setMaximize(true, true);";
    case KWinAction::kRestore:
      // A minimised window comes back as it was; an open one is unmaximised.
      return "if (w.minimized) { w.minimized = false;"
             " if (workspace.windowList) workspace.activeWindow = w; else workspace.activeClient = w; }"
             " else { w.setMaximize(false, false); }";
    case KWinAction::kPin:
      return "w.keepAbove = true;";
    case KWinAction::kUnpin:
      return "w.keepAbove = false;";
  }
  return "";
}

struct Reply {
  const GioLibrary* gio = nullptr;
  bool answered = false;
  bool found = false;
  std::string title;
};

void OnMethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method, GVariant* parameters,
                  GDBusMethodInvocation* invocation, gpointer data) {
  auto* reply = static_cast<Reply*>(data);
  const GioLibrary& gio = *reply->gio;
  // A plain cast: the checked form of G_VARIANT_TYPE calls into GLib.
  const auto* done_type = reinterpret_cast<const GVariantType*>("(sb)");
  if (gio.strcmp0(method, "Done") == 0 && gio.variant_is_of_type(parameters, done_type)) {
    const gchar* title = nullptr;
    gboolean found = FALSE;
    gio.variant_get(parameters, "(&sb)", &title, &found);
    reply->answered = true;
    reply->found = found != FALSE;
    reply->title = title;
  }
  gio.dbus_method_invocation_return_value(invocation, nullptr);
}

constexpr char kReplyIntrospection[] =
    "<node><interface name='org.quorvex.KWinReply'>"
    "<method name='Done'><arg type='s' direction='in'/><arg type='b' direction='in'/></method>"
    "</interface></node>";

// A call to KWin within the time limit; null when it fails, with `hung` set
// when KWin did not answer in time.
GVariant* Call(const GioLibrary& gio, GDBusConnection* bus, const char* path, const char* interface, const char* method,
               GVariant* parameters, bool& hung) {
  GError* error = nullptr;
  GVariant* result = gio.dbus_connection_call_sync(bus, kKWinService, path, interface, method, parameters, nullptr,
                                                   G_DBUS_CALL_FLAGS_NO_AUTO_START, kBusTimeoutMs, nullptr, &error);
  if (error != nullptr) {
    if (gio.error_matches(error, gio.io_error_quark(), G_IO_ERROR_TIMED_OUT)) hung = true;
    gio.error_free(error);
  }
  return result;
}

// Starts script number `id` at whichever path this KWin uses.
bool RunScript(const GioLibrary& gio, GDBusConnection* bus, gint32 id, bool& hung) {
  for (const char* format : {"/Scripting/Script%d", "/%d"}) {
    gchar* path = gio.strdup_printf(format, id);
    GVariant* result = Call(gio, bus, path, "org.kde.kwin.Script", "run", nullptr, hung);
    gio.free(path);
    if (result != nullptr) {
      gio.variant_unref(result);
      return true;
    }
    if (hung) return false;
  }
  return false;
}

gboolean OnTimeout(gpointer data) {
  *static_cast<bool*>(data) = true;
  return G_SOURCE_REMOVE;
}

// Runs `context` until `done` or for `timeout_ms`; whether `done` came.
bool Await(const GioLibrary& gio, GMainContext* context, guint timeout_ms, const bool& done) {
  bool expired = false;
  GSource* timer = gio.timeout_source_new(timeout_ms);
  gio.source_set_callback(timer, OnTimeout, &expired, nullptr);
  gio.source_attach(timer, context);
  while (!done && !expired) gio.main_context_iteration(context, TRUE);
  gio.source_destroy(timer);
  gio.source_unref(timer);
  return done;
}

// The script for a request; it reports back to `reply_service`.
std::string KWinScript(std::u16string_view caption, bool active, KWinAction action, std::string_view reply_service) {
  std::string script;
  script += "(function () {\n";
  script += "var target = " + JsString(caption) + ";\n";
  script += std::string("var useActive = ") + (active ? "true" : "false") + ";\n";
  // Captions compare regardless of case: each character folded through its
  // upper case to its lower case, so that 'ς', 'σ' and 'Σ' are one.
  script +=
      "function fold(text) { var out = ''; for (var i = 0; i < text.length; ++i) {"
      " var c = text.charAt(i); var f = c.toUpperCase().toLowerCase(); out += f.length === 1 ? f : c.toLowerCase(); }"
      " return out; }\n"
      "var windows = workspace.windowList ? workspace.windowList() : workspace.clientList();\n"
      "var current = workspace.windowList ? workspace.activeWindow : workspace.activeClient;\n"
      "var w = null;\n"
      "if (useActive) { w = current; } else {\n"
      "  var wanted = fold(target);\n"
      "  for (var i = 0; i < windows.length; ++i) {\n"
      "    var c = windows[i];\n"
      "    if (c.desktopWindow || c.dock || fold(c.caption) !== wanted) continue;\n"
      "    w = c;\n"
      "    if (c === current) break;\n"
      "  }\n"
      "}\n";
  script += std::string("if (w) { ") + ActionCode(action) + " }\n";
  script += "callDBus(" + JsString(qcp::Utf16FromUtf8(reply_service)) + ", " +
            JsString(qcp::Utf16FromUtf8(kKWinReplyPath)) + ", " + JsString(qcp::Utf16FromUtf8(kKWinReplyInterface)) +
            ", \"Done\", w ? w.caption : \"\", w ? true : false);\n";
  script += "})();\n";
  return script;
}

// Writes the script to a new file of the user's runtime folder, readable by
// the user alone (it holds the caption searched for); its path, or "".
std::string WriteScript(const GioLibrary& gio, std::string_view script) {
  std::string path = gio.get_user_runtime_dir();
  path += "/qcp-kwin-XXXXXX.js";
  const int fd = ::mkstemps(path.data(), 3);
  if (fd < 0) return {};
  bool written = true;
  for (std::size_t done = 0; written && done < script.size();) {
    const ssize_t count = ::write(fd, script.data() + done, script.size() - done);
    written = count > 0;
    if (written) done += static_cast<std::size_t>(count);
  }
  ::close(fd);
  if (written) return path;
  ::unlink(path.c_str());
  return {};
}

// The session bus within the time limit, on the thread's current context:
// g_bus_get_sync would wait for ever on a bus that accepts the connection
// and then says nothing. Null when there is none; one that does not answer
// in time is a failure kept.
GDBusConnection* ConnectSessionBus(const GioLibrary& gio, GMainContext* context) {
  struct Wait {
    const GioLibrary* gio;
    GAsyncResult* result = nullptr;
    bool came = false;
  } wait{&gio};
  GCancellable* cancellable = gio.cancellable_new();
  gio.bus_get(
      G_BUS_TYPE_SESSION, cancellable,
      [](GObject*, GAsyncResult* result, gpointer data) {
        auto* wait = static_cast<Wait*>(data);
        wait->result = static_cast<GAsyncResult*>(wait->gio->object_ref(result));
        wait->came = true;
      },
      &wait);
  Await(gio, context, kBusTimeoutMs, wait.came);
  GDBusConnection* bus = nullptr;
  if (wait.result != nullptr) {
    bus = gio.bus_get_finish(wait.result, nullptr);
    gio.object_unref(wait.result);
  } else {
    gio.cancellable_cancel(cancellable);
    Fail(u"The session bus did not answer");
  }
  gio.object_unref(cancellable);
  return bus;
}

}  // namespace

KWinOutcome KWinAct(std::u16string_view caption, bool active, KWinAction action, std::u16string* title,
                    unsigned reply_timeout_ms) {
  const GioLibrary* const loaded_gio = LoadGio();
  if (loaded_gio == nullptr) return KWinOutcome::kNoKWin;
  const GioLibrary& gio = *loaded_gio;
  // Everything below runs on a context of its own, so a caller's main loop
  // is left alone.
  GMainContext* context = gio.main_context_new();
  gio.main_context_push_thread_default(context);
  GDBusConnection* bus = ConnectSessionBus(gio, context);
  if (bus == nullptr) {
    gio.main_context_pop_thread_default(context);
    gio.main_context_unref(context);
    return KWinOutcome::kNoKWin;
  }
  Reply reply;
  reply.gio = &gio;
  // Set once a failure is kept, so that the first one is what is said.
  bool failed = false;
  GDBusNodeInfo* node = gio.dbus_node_info_new_for_xml(kReplyIntrospection, nullptr);
  const GDBusInterfaceVTable vtable = {OnMethodCall, nullptr, nullptr, {}};
  const guint registration =
      gio.dbus_connection_register_object(bus, kKWinReplyPath, node->interfaces[0], &vtable, &reply, nullptr, nullptr);
  const std::string script_path =
      registration != 0
          ? WriteScript(gio, KWinScript(caption, active, action, gio.dbus_connection_get_unique_name(bus)))
          : std::string();
  if (!script_path.empty()) {
    const std::string plugin = script_path.substr(script_path.rfind('/') + 1);
    // No KWin on the bus leaves the X11 windows to be looked for; a KWin
    // that hangs, or loads the script and then fails it, does not.
    const auto keep = [&failed](std::u16string_view description) {
      if (!failed) Fail(description);
      failed = true;
    };
    bool hung = false;
    GVariant* loaded = Call(gio, bus, "/Scripting", "org.kde.kwin.Scripting", "loadScript",
                            gio.variant_new("(ss)", script_path.c_str(), plugin.c_str()), hung);
    if (hung) keep(u"KWin did not answer");
    if (loaded != nullptr) {
      gint32 id = -1;
      gio.variant_get(loaded, "(i)", &id);
      gio.variant_unref(loaded);
      if (id < 0) {
        keep(u"KWin did not load its script");
      } else if (!RunScript(gio, bus, id, hung)) {
        keep(hung ? u"KWin did not answer" : u"KWin did not run its script");
      } else if (!Await(gio, context, reply_timeout_ms, reply.answered)) {
        keep(u"KWin's script did not answer");
      }
      GVariant* unloaded = Call(gio, bus, "/Scripting", "org.kde.kwin.Scripting", "unloadScript",
                                gio.variant_new("(s)", plugin.c_str()), hung);
      if (unloaded != nullptr) gio.variant_unref(unloaded);
      if (hung) keep(u"KWin did not answer");
    }
    ::unlink(script_path.c_str());
  }
  KWinOutcome outcome = KWinOutcome::kNoKWin;
  if (reply.answered && !failed) {
    outcome = reply.found ? KWinOutcome::kDone : KWinOutcome::kNotFound;
    if (title != nullptr) *title = qcp::Utf16FromUtf8(reply.title);
  }
  if (registration != 0) gio.dbus_connection_unregister_object(bus, registration);
  gio.dbus_node_info_unref(node);
  // The answer to the script's call goes out before the connection is let go.
  bool flushed = false;
  gio.dbus_connection_flush(
      bus, nullptr,
      [](GObject*, GAsyncResult*, gpointer data) { *static_cast<bool*>(data) = true; }, &flushed);
  if (!Await(gio, context, kBusTimeoutMs, flushed) && !failed) {
    outcome = KWinOutcome::kNoKWin;
    Fail(u"The session bus did not answer");
  }
  gio.main_context_pop_thread_default(context);
  gio.main_context_unref(context);
  gio.object_unref(bus);
  return outcome;
}

namespace {

// KWin finds its windows by caption: a handle numbers, from 1, the captions
// it has answered with.
std::vector<std::u16string>& Captions() {
  static std::vector<std::u16string> captions;
  return captions;
}

const std::u16string* CaptionOf(WindowHandle window) {
  if (window == 0 || window > Captions().size()) return nullptr;
  return &Captions()[window - 1];
}

WindowHandle Found(std::u16string_view caption, bool active) {
  std::u16string title;
  if (KWinAct(caption, active, KWinAction::kFind, &title) != KWinOutcome::kDone) return 0;
  Captions().push_back(std::move(title));
  return Captions().size();
}

WindowHandle FindWindow(const std::u16string& caption) { return Found(caption, false); }
WindowHandle ActiveWindow() { return Found(u"", true); }

std::u16string WindowCaption(WindowHandle window, std::size_t max_length) {
  const std::u16string* caption = CaptionOf(window);
  if (caption == nullptr) return {};
  return caption->substr(0, max_length);
}

bool ActOn(WindowHandle window, KWinAction action) {
  const std::u16string* caption = CaptionOf(window);
  return caption != nullptr && KWinAct(*caption, false, action) == KWinOutcome::kDone;
}

bool CloseWindow(WindowHandle window) { return ActOn(window, KWinAction::kClose); }
bool RestoreWindow(WindowHandle window) { return ActOn(window, KWinAction::kRestore); }
bool MinimizeWindow(WindowHandle window) { return ActOn(window, KWinAction::kMinimize); }
bool MaximizeWindow(WindowHandle window) { return ActOn(window, KWinAction::kMaximize); }

bool SetTopmost(WindowHandle window, bool topmost) {
  return ActOn(window, topmost ? KWinAction::kPin : KWinAction::kUnpin);
}

}  // namespace

const WindowBackend kKWinBackend = {
    .name = "KWin",
    .find = &FindWindow,
    .active = &ActiveWindow,
    .caption = &WindowCaption,
    .close = &CloseWindow,
    .restore = &RestoreWindow,
    .minimize = &MinimizeWindow,
    .maximize = &MaximizeWindow,
    .set_topmost = &SetTopmost,
};

}  // namespace platform::wayland
