// GStreamer, loaded when a sound is first played rather than at start-up:
// the console tools that can play sounds start as fast as the others, and
// a machine without GStreamer cannot play them.
#pragma once

#include <gst/gst.h>

namespace platform {

struct GstLibrary {
  decltype(&::gst_init_check) init_check;
  decltype(&::gst_pipeline_new) pipeline_new;
  decltype(&::gst_element_factory_make) element_factory_make;
  decltype(&::gst_bin_add) bin_add;
  decltype(&::gst_bin_get_by_name) bin_get_by_name;
  decltype(&::gst_element_link) element_link;
  decltype(&::gst_element_class_get_pad_template) element_class_get_pad_template;
  decltype(&::gst_element_get_static_pad) element_get_static_pad;
  decltype(&::gst_pad_is_linked) pad_is_linked;
  decltype(&::gst_pad_link) pad_link;
  decltype(&::gst_object_unref) object_unref;
  decltype(&::gst_caps_new_simple) caps_new_simple;
  decltype(&::gst_mini_object_unref) mini_object_unref;
  decltype(&::gst_element_set_state) element_set_state;
  decltype(&::gst_element_get_bus) element_get_bus;
  decltype(&::gst_bus_timed_pop_filtered) bus_timed_pop_filtered;
  decltype(&::g_object_set) object_set;
  decltype(&::g_signal_connect_data) signal_connect_data;
  decltype(&::g_filename_to_uri) filename_to_uri;
  decltype(&::g_free) free;
};

// The library, initialised; null when it cannot be loaded or initialised.
const GstLibrary* LoadGStreamer();

}  // namespace platform
