// GIO, loaded when first needed, and the session bus reached within a time
// limit: the GNOME and KWin window backends both speak D-Bus through it.
#pragma once

#include <gio/gio.h>

namespace platform::gio {

// The GIO functions the window backends call, looked up at run time: the
// window tools start as fast without GIO, and a machine without it has no
// GNOME Shell or KWin to ask.
struct Library {
  decltype(&::g_bus_get) bus_get;
  decltype(&::g_bus_get_finish) bus_get_finish;
  decltype(&::g_cancellable_new) cancellable_new;
  decltype(&::g_cancellable_cancel) cancellable_cancel;
  decltype(&::g_dbus_connection_call_sync) dbus_connection_call_sync;
  decltype(&::g_dbus_connection_flush) dbus_connection_flush;
  decltype(&::g_dbus_connection_get_unique_name) dbus_connection_get_unique_name;
  decltype(&::g_dbus_connection_register_object) dbus_connection_register_object;
  decltype(&::g_dbus_connection_unregister_object) dbus_connection_unregister_object;
  decltype(&::g_dbus_error_get_remote_error) dbus_error_get_remote_error;
  decltype(&::g_dbus_method_invocation_return_value) dbus_method_invocation_return_value;
  decltype(&::g_dbus_node_info_new_for_xml) dbus_node_info_new_for_xml;
  decltype(&::g_dbus_node_info_unref) dbus_node_info_unref;
  decltype(&::g_error_free) error_free;
  decltype(&::g_error_matches) error_matches;
  decltype(&::g_free) free;
  decltype(&::g_get_user_runtime_dir) get_user_runtime_dir;
  decltype(&::g_io_error_quark) io_error_quark;
  decltype(&::g_main_context_iteration) main_context_iteration;
  decltype(&::g_main_context_new) main_context_new;
  decltype(&::g_main_context_pop_thread_default) main_context_pop_thread_default;
  decltype(&::g_main_context_push_thread_default) main_context_push_thread_default;
  decltype(&::g_main_context_unref) main_context_unref;
  decltype(&::g_object_ref) object_ref;
  decltype(&::g_object_unref) object_unref;
  decltype(&::g_source_attach) source_attach;
  decltype(&::g_source_destroy) source_destroy;
  decltype(&::g_source_set_callback) source_set_callback;
  decltype(&::g_source_unref) source_unref;
  decltype(&::g_strcmp0) strcmp0;
  decltype(&::g_strdup_printf) strdup_printf;
  decltype(&::g_timeout_source_new) timeout_source_new;
  decltype(&::g_variant_get) variant_get;
  decltype(&::g_variant_is_of_type) variant_is_of_type;
  decltype(&::g_variant_iter_free) variant_iter_free;
  decltype(&::g_variant_iter_loop) variant_iter_loop;
  decltype(&::g_variant_lookup) variant_lookup;
  decltype(&::g_variant_new) variant_new;
  decltype(&::g_variant_unref) variant_unref;
};

// GIO, loaded on the first call; null when it cannot be loaded.
const Library* Load();

// Runs `context` until `done` or for `timeout_ms`; whether `done` came.
bool Await(const Library& gio, GMainContext* context, guint timeout_ms, const bool& done);

// The session bus, reached on `context` (the thread's default context) within
// `timeout_ms`: g_bus_get_sync would wait for ever on a bus that accepts the
// connection and then says nothing. Null when there is none; `silent` is set
// when it did not answer in time.
GDBusConnection* ConnectSessionBus(const Library& gio, GMainContext* context, guint timeout_ms, bool& silent);

}  // namespace platform::gio
