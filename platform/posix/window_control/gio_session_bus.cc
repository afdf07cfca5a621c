// GIO looked up at run time, and the session bus reached within a time limit.
#include "platform/posix/window_control/gio_session_bus.h"

#include "platform/posix/dynamic_library.h"

namespace platform::gio {
namespace {

// GLib and GObject come in as GIO's own dependencies, so the one handle
// finds their functions too.
bool Resolved(Library& gio) {
  void* library = ::dlopen("libgio-2.0.so.0", RTLD_NOW | RTLD_GLOBAL);
  if (library == nullptr) return false;
  return Resolve(library, "g_bus_get", gio.bus_get) && Resolve(library, "g_bus_get_finish", gio.bus_get_finish) &&
         Resolve(library, "g_cancellable_new", gio.cancellable_new) &&
         Resolve(library, "g_cancellable_cancel", gio.cancellable_cancel) &&
         Resolve(library, "g_dbus_connection_call_sync", gio.dbus_connection_call_sync) &&
         Resolve(library, "g_dbus_connection_flush", gio.dbus_connection_flush) &&
         Resolve(library, "g_dbus_connection_get_unique_name", gio.dbus_connection_get_unique_name) &&
         Resolve(library, "g_dbus_connection_register_object", gio.dbus_connection_register_object) &&
         Resolve(library, "g_dbus_connection_unregister_object", gio.dbus_connection_unregister_object) &&
         Resolve(library, "g_dbus_error_get_remote_error", gio.dbus_error_get_remote_error) &&
         Resolve(library, "g_dbus_method_invocation_return_value", gio.dbus_method_invocation_return_value) &&
         Resolve(library, "g_dbus_node_info_new_for_xml", gio.dbus_node_info_new_for_xml) &&
         Resolve(library, "g_dbus_node_info_unref", gio.dbus_node_info_unref) &&
         Resolve(library, "g_error_free", gio.error_free) && Resolve(library, "g_error_matches", gio.error_matches) &&
         Resolve(library, "g_free", gio.free) && Resolve(library, "g_get_user_runtime_dir", gio.get_user_runtime_dir) &&
         Resolve(library, "g_io_error_quark", gio.io_error_quark) &&
         Resolve(library, "g_main_context_iteration", gio.main_context_iteration) &&
         Resolve(library, "g_main_context_new", gio.main_context_new) &&
         Resolve(library, "g_main_context_pop_thread_default", gio.main_context_pop_thread_default) &&
         Resolve(library, "g_main_context_push_thread_default", gio.main_context_push_thread_default) &&
         Resolve(library, "g_main_context_unref", gio.main_context_unref) &&
         Resolve(library, "g_object_ref", gio.object_ref) && Resolve(library, "g_object_unref", gio.object_unref) &&
         Resolve(library, "g_source_attach", gio.source_attach) &&
         Resolve(library, "g_source_destroy", gio.source_destroy) &&
         Resolve(library, "g_source_set_callback", gio.source_set_callback) &&
         Resolve(library, "g_source_unref", gio.source_unref) && Resolve(library, "g_strcmp0", gio.strcmp0) &&
         Resolve(library, "g_strdup_printf", gio.strdup_printf) &&
         Resolve(library, "g_timeout_source_new", gio.timeout_source_new) &&
         Resolve(library, "g_variant_get", gio.variant_get) &&
         Resolve(library, "g_variant_is_of_type", gio.variant_is_of_type) &&
         Resolve(library, "g_variant_iter_free", gio.variant_iter_free) &&
         Resolve(library, "g_variant_iter_loop", gio.variant_iter_loop) &&
         Resolve(library, "g_variant_lookup", gio.variant_lookup) &&
         Resolve(library, "g_variant_new", gio.variant_new) && Resolve(library, "g_variant_unref", gio.variant_unref);
}

gboolean OnTimeout(gpointer data) {
  *static_cast<bool*>(data) = true;
  return G_SOURCE_REMOVE;
}

}  // namespace

const Library* Load() {
  static Library gio;
  static const bool loaded = Resolved(gio);
  return loaded ? &gio : nullptr;
}

bool Await(const Library& gio, GMainContext* context, guint timeout_ms, const bool& done) {
  bool expired = false;
  GSource* timer = gio.timeout_source_new(timeout_ms);
  gio.source_set_callback(timer, OnTimeout, &expired, nullptr);
  gio.source_attach(timer, context);
  while (!done && !expired) gio.main_context_iteration(context, TRUE);
  gio.source_destroy(timer);
  gio.source_unref(timer);
  return done;
}

GDBusConnection* ConnectSessionBus(const Library& gio, GMainContext* context, guint timeout_ms, bool& silent) {
  struct Wait {
    const Library* gio;
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
  Await(gio, context, timeout_ms, wait.came);
  GDBusConnection* bus = nullptr;
  if (wait.result != nullptr) {
    bus = gio.bus_get_finish(wait.result, nullptr);
    gio.object_unref(wait.result);
  } else {
    gio.cancellable_cancel(cancellable);
    silent = true;
  }
  gio.object_unref(cancellable);
  return bus;
}

}  // namespace platform::gio
