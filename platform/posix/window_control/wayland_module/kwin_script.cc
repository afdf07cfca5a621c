// KWin's scripting over D-Bus: org.kde.kwin.Scripting.loadScript(path, name)
// at /Scripting gives a script number; org.kde.kwin.Script.run starts it at
// /Scripting/Script<N> (KWin 5.23 and later) or /<N> (before). The script
// speaks both the KWin 5 names (clientList, activeClient) and the KWin 6
// ones (windowList, activeWindow).
#include "platform/posix/window_control/wayland_module/kwin_script.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "console/utf.h"
#include "platform/posix/window_control/gio_session_bus.h"
#include "platform/posix/window_control/wayland_module/pending_failure.h"

namespace platform::wayland {
namespace {

constexpr char kKWinService[] = "org.kde.KWin";
// A session bus answers a new connection, and KWin a call, at once; one
// that has not after this long has hung.
constexpr guint kBusTimeoutMs = 5000;

using GioLibrary = gio::Library;
using gio::Await;

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
    case KWinAction::kList:
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

// The script for a request; it reports back to `reply_service`.
std::string KWinScript(std::u16string_view caption, bool active, KWinAction action, std::string_view reply_service) {
  const std::string done = "callDBus(" + JsString(qcp::Utf16FromUtf8(reply_service)) + ", " +
                           JsString(qcp::Utf16FromUtf8(kKWinReplyPath)) + ", " +
                           JsString(qcp::Utf16FromUtf8(kKWinReplyInterface)) + ", \"Done\", ";
  std::string script;
  script += "(function () {\n";
  if (action == KWinAction::kList) {
    // Every caption, one a line, each without the suffix KWin adds to tell
    // windows of one title apart; one that holds a line end is left out.
    script +=
        "var windows = workspace.windowList ? workspace.windowList() : workspace.clientList();\n"
        "var captions = [];\n"
        "for (var i = 0; i < windows.length; ++i) {\n"
        "  var c = windows[i];\n"
        "  if (c.desktopWindow || c.dock || c.caption === '' || /[\\r\\n]/.test(c.caption)) continue;\n"
        "  captions.push(c.caption.replace(/ <[0-9]+>$/, ''));\n"
        "}\n";
    script += done + "captions.join('\\n'), true);\n";
    script += "})();\n";
    return script;
  }
  script += "var target = " + JsString(caption) + ";\n";
  script += std::string("var useActive = ") + (active ? "true" : "false") + ";\n";
  // Captions compare regardless of case: each character folded through its
  // upper case to its lower case, so that 'ς', 'σ' and 'Σ' are one.
  script +=
      "function fold(text) { var out = ''; for (var i = 0; i < text.length; ++i) {"
      " var c = text.charAt(i); var f = c.toUpperCase().toLowerCase(); out += f.length === 1 ? f : c.toLowerCase(); }"
      " return out; }\n"
      // KWin tells windows of one title apart by a suffix of its own, " <2>",
      // that their programs never set: the title is matched without it too.
      "function matches(caption) { if (fold(caption) === wanted) return true;"
      " var m = /^(.*) <[0-9]+>$/.exec(caption); return m !== null && fold(m[1]) === wanted; }\n"
      "var windows = workspace.windowList ? workspace.windowList() : workspace.clientList();\n"
      "var current = workspace.windowList ? workspace.activeWindow : workspace.activeClient;\n"
      "var w = null;\n"
      "var title = '';\n"
      "var wanted = fold(target);\n"
      // A window that closes meanwhile may make KWin throw, or leave its
      // caption undefined: the script still answers, with a string, and with
      // the window not found, rather than leave the tool waiting it out.
      "try {\n"
      "  if (useActive) { w = current; } else {\n"
      "    for (var i = 0; i < windows.length; ++i) {\n"
      "      var c = windows[i];\n"
      "      if (c.desktopWindow || c.dock || !matches(c.caption)) continue;\n"
      "      w = c;\n"
      "      if (c === current) break;\n"
      "    }\n"
      "  }\n"
      "  if (w) { title = String(w.caption); ";
  script += ActionCode(action);
  script += " }\n} catch (e) { w = null; }\n";
  script += done + "w ? title : '', w ? true : false);\n";
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

}  // namespace

KWinOutcome KWinAct(std::u16string_view caption, bool active, KWinAction action, std::u16string* title,
                    unsigned reply_timeout_ms) {
  const GioLibrary* const loaded_gio = gio::Load();
  if (loaded_gio == nullptr) return KWinOutcome::kNoKWin;
  const GioLibrary& gio = *loaded_gio;
  // Everything below runs on a context of its own, so a caller's main loop
  // is left alone.
  GMainContext* context = gio.main_context_new();
  gio.main_context_push_thread_default(context);
  bool silent = false;
  GDBusConnection* bus = gio::ConnectSessionBus(gio, context, kBusTimeoutMs, silent);
  if (silent) Fail(u"The session bus did not answer");
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

std::vector<std::u16string> ListCaptions() {
  std::vector<std::u16string> captions;
  std::u16string listed;
  if (KWinAct(u"", false, KWinAction::kList, &listed) != KWinOutcome::kDone || listed.empty()) return captions;
  for (std::size_t from = 0;;) {
    const std::size_t end = listed.find(u'\n', from);
    captions.push_back(listed.substr(from, end - from));
    if (end == std::u16string::npos) break;
    from = end + 1;
  }
  return captions;
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
    .captions = &ListCaptions,
};

}  // namespace platform::wayland
