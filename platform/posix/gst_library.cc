#include "platform/posix/gst_library.h"

#include "platform/posix/dynamic_library.h"


namespace platform {
namespace {

bool Load(GstLibrary& gst) {
  void* gstreamer = ::dlopen("libgstreamer-1.0.so.0", RTLD_NOW | RTLD_GLOBAL);
  void* gobject = ::dlopen("libgobject-2.0.so.0", RTLD_NOW | RTLD_GLOBAL);
  if (gstreamer == nullptr || gobject == nullptr) return false;
  return Resolve(gstreamer, "gst_init_check", gst.init_check) &&
         Resolve(gstreamer, "gst_pipeline_new", gst.pipeline_new) &&
         Resolve(gstreamer, "gst_element_factory_make", gst.element_factory_make) &&
         Resolve(gstreamer, "gst_bin_add", gst.bin_add) &&
         Resolve(gstreamer, "gst_bin_get_by_name", gst.bin_get_by_name) &&
         Resolve(gstreamer, "gst_element_link", gst.element_link) &&
         Resolve(gstreamer, "gst_element_class_get_pad_template", gst.element_class_get_pad_template) &&
         Resolve(gstreamer, "gst_element_get_static_pad", gst.element_get_static_pad) &&
         Resolve(gstreamer, "gst_pad_is_linked", gst.pad_is_linked) &&
         Resolve(gstreamer, "gst_pad_link", gst.pad_link) &&
         Resolve(gstreamer, "gst_object_unref", gst.object_unref) &&
         Resolve(gstreamer, "gst_caps_new_simple", gst.caps_new_simple) &&
         Resolve(gstreamer, "gst_mini_object_unref", gst.mini_object_unref) &&
         Resolve(gstreamer, "gst_element_set_state", gst.element_set_state) &&
         Resolve(gstreamer, "gst_element_get_bus", gst.element_get_bus) &&
         Resolve(gstreamer, "gst_bus_timed_pop_filtered", gst.bus_timed_pop_filtered) &&
         Resolve(gobject, "g_object_set", gst.object_set) &&
         Resolve(gobject, "g_signal_connect_data", gst.signal_connect_data) &&
         // GLib comes in as GObject's own dependency.
         Resolve(gobject, "g_filename_to_uri", gst.filename_to_uri) && Resolve(gobject, "g_free", gst.free) &&
         gst.init_check(nullptr, nullptr, nullptr);
}

}  // namespace

const GstLibrary* LoadGStreamer() {
  static GstLibrary gst;
  static const bool loaded = Load(gst);
  return loaded ? &gst : nullptr;
}

}  // namespace platform
