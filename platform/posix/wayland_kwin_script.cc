// KWin's scripting over D-Bus: org.kde.kwin.Scripting.loadScript(path, name)
// at /Scripting gives a script number; org.kde.kwin.Script.run starts it at
// /Scripting/Script<N> (KWin 5.23 and later) or /<N> (before). The script
// speaks both the KWin 5 names (clientList, activeClient) and the KWin 6
// ones (windowList, activeWindow).
#include "platform/posix/wayland_kwin_script.h"

#include <gio/gio.h>
#include <glib/gstdio.h>

#include <unistd.h>

#include <cstdio>

#include "console/utf.h"

namespace platform::wayland {
namespace {

constexpr char kKWinService[] = "org.kde.KWin";
// How long the script may take to answer; KWin runs it at once, so only a
// KWin that cannot call back (or has hung) waits this out.
constexpr guint kReplyTimeoutMs = 10000;

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
  bool answered = false;
  bool found = false;
  std::string title;
};

void OnMethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method, GVariant* parameters,
                  GDBusMethodInvocation* invocation, gpointer data) {
  auto* reply = static_cast<Reply*>(data);
  if (g_strcmp0(method, "Done") == 0 && g_variant_is_of_type(parameters, G_VARIANT_TYPE("(sb)"))) {
    const gchar* title = nullptr;
    gboolean found = FALSE;
    g_variant_get(parameters, "(&sb)", &title, &found);
    reply->answered = true;
    reply->found = found != FALSE;
    reply->title = title;
  }
  g_dbus_method_invocation_return_value(invocation, nullptr);
}

constexpr char kReplyIntrospection[] =
    "<node><interface name='org.quorvex.KWinReply'>"
    "<method name='Done'><arg type='s' direction='in'/><arg type='b' direction='in'/></method>"
    "</interface></node>";

GVariant* Call(GDBusConnection* bus, const char* path, const char* interface, const char* method, GVariant* parameters,
               GError** error) {
  return g_dbus_connection_call_sync(bus, kKWinService, path, interface, method, parameters, nullptr,
                                     G_DBUS_CALL_FLAGS_NO_AUTO_START, -1, nullptr, error);
}

// Starts script number `id` at whichever path this KWin uses.
bool RunScript(GDBusConnection* bus, gint32 id) {
  for (const char* format : {"/Scripting/Script%d", "/%d"}) {
    gchar* path = g_strdup_printf(format, id);
    GError* error = nullptr;
    GVariant* result = Call(bus, path, "org.kde.kwin.Script", "run", nullptr, &error);
    g_free(path);
    if (result != nullptr) {
      g_variant_unref(result);
      return true;
    }
    g_error_free(error);
  }
  return false;
}

gboolean OnTimeout(gpointer data) {
  *static_cast<bool*>(data) = true;
  return G_SOURCE_REMOVE;
}

}  // namespace

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

KWinOutcome KWinAct(std::u16string_view caption, bool active, KWinAction action, std::u16string* title) {
  GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  if (bus == nullptr) return KWinOutcome::kNoKWin;
  // Everything below runs on a context of its own, so a caller's main loop
  // is left alone.
  GMainContext* context = g_main_context_new();
  g_main_context_push_thread_default(context);
  KWinOutcome outcome = KWinOutcome::kNoKWin;
  Reply reply;
  GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kReplyIntrospection, nullptr);
  const GDBusInterfaceVTable vtable = {OnMethodCall, nullptr, nullptr, {}};
  const guint registration =
      g_dbus_connection_register_object(bus, kKWinReplyPath, node->interfaces[0], &vtable, &reply, nullptr, nullptr);
  gchar* script_path = nullptr;
  const gint fd = g_file_open_tmp("qcp-kwin-XXXXXX.js", &script_path, nullptr);
  if (fd >= 0 && registration != 0) {
    close(fd);
    const std::string script = KWinScript(caption, active, action, g_dbus_connection_get_unique_name(bus));
    gchar* plugin = g_path_get_basename(script_path);
    GError* error = nullptr;
    GVariant* loaded = nullptr;
    if (g_file_set_contents(script_path, script.data(), static_cast<gssize>(script.size()), nullptr)) {
      loaded = Call(bus, "/Scripting", "org.kde.kwin.Scripting", "loadScript",
                    g_variant_new("(ss)", script_path, plugin), &error);
    }
    if (error != nullptr) g_error_free(error);
    if (loaded != nullptr) {
      gint32 id = -1;
      g_variant_get(loaded, "(i)", &id);
      g_variant_unref(loaded);
      if (id >= 0 && RunScript(bus, id)) {
        bool timed_out = false;
        GSource* timeout = g_timeout_source_new(kReplyTimeoutMs);
        g_source_set_callback(timeout, OnTimeout, &timed_out, nullptr);
        g_source_attach(timeout, context);
        while (!reply.answered && !timed_out) g_main_context_iteration(context, TRUE);
        g_source_destroy(timeout);
        g_source_unref(timeout);
      }
      GVariant* unloaded = Call(bus, "/Scripting", "org.kde.kwin.Scripting", "unloadScript",
                                g_variant_new("(s)", plugin), nullptr);
      if (unloaded != nullptr) g_variant_unref(unloaded);
    }
    g_free(plugin);
    g_unlink(script_path);
  } else if (fd >= 0) {
    close(fd);
    g_unlink(script_path);
  }
  g_free(script_path);
  if (reply.answered) {
    outcome = reply.found ? KWinOutcome::kDone : KWinOutcome::kNotFound;
    if (title != nullptr) *title = qcp::Utf16FromUtf8(reply.title);
  }
  if (registration != 0) g_dbus_connection_unregister_object(bus, registration);
  g_dbus_node_info_unref(node);
  g_dbus_connection_flush_sync(bus, nullptr, nullptr);
  g_main_context_pop_thread_default(context);
  g_main_context_unref(context);
  g_object_unref(bus);
  return outcome;
}

}  // namespace platform::wayland
