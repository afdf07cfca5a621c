// GTK and GStreamer media window: playbin draws through gtksink into a
// full-screen GTK 3 window. Media events come from playbin's own state
// changes and end of stream; key presses from the window; any bus error is a
// failed media, and a failure of the run once the loop has ended.
#include <gst/gst.h>
#include <gtk/gtk.h>

#include "console/failure.h"
#include "console/utf.h"
#include "platform/media_window.h"
#include "platform/posix/gtk_event_loop.h"
#include "platform/posix/held_std_err.h"

namespace platform {
namespace {

struct MediaWindow {
  GtkWidget* window = nullptr;
  GstElement* playbin = nullptr;
  guint bus_watch = 0;
  MediaWindowEvents events{};
  std::u16string url;
  bool shown = false;
};

MediaWindow* media = nullptr;

// What the player's error means to the user, and what to do about it.
std::u16string WhyNotPlayed(GstMessage* message, const std::u16string& url) {
  GError* error = nullptr;
  gst_message_parse_error(message, &error, nullptr);
  std::u16string what;
  std::u16string reason;
  if (error != nullptr) {
    std::string text = error->message != nullptr ? error->message : "";
    while (!text.empty() && (text.back() == '.' || text.back() == ' ')) text.pop_back();
    reason = qcp::Utf16FromUtf8(text);
  }
  const std::u16string name = u"\"" + url + u"\"";
  if (error != nullptr && g_error_matches(error, GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_NOT_FOUND)) {
    what = u"cannot find " + name + u": check the file name";
  } else if (error != nullptr && error->domain == GST_RESOURCE_ERROR) {
    what = u"cannot read " + name + u" (" + reason + u"): check the file name and its permissions";
  } else {
    what = u"cannot play " + name + u" (" + reason +
           u"): install the GStreamer plug-ins for its format, or convert the file";
  }
  if (error != nullptr) g_error_free(error);
  return what;
}

gboolean OnBusMessage(GstBus*, GstMessage* message, gpointer) {
  if (media == nullptr) return G_SOURCE_REMOVE;
  // Copied: a handler may unload the window, and `media` with it.
  const MediaWindowEvents events = media->events;
  switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_STATE_CHANGED: {
      if (GST_MESSAGE_SRC(message) != GST_OBJECT_CAST(media->playbin)) break;
      GstState old_state, new_state;
      gst_message_parse_state_changed(message, &old_state, &new_state, nullptr);
      if (new_state == GST_STATE_PLAYING) {
        events.media_event(MediaEvent::kPlaying);
      } else if (new_state == GST_STATE_PAUSED && old_state == GST_STATE_PLAYING) {
        events.media_event(MediaEvent::kPaused);
      } else if (new_state == GST_STATE_PAUSED && old_state == GST_STATE_READY) {
        events.media_event(MediaEvent::kOpened);
      }
      break;
    }
    case GST_MESSAGE_EOS:
      events.media_event(MediaEvent::kEnded);
      break;
    case GST_MESSAGE_ERROR:
      FailAfterLoop(WhyNotPlayed(message, media->url));
      events.media_event(MediaEvent::kFailed);
      break;
    default:
      break;
  }
  return G_SOURCE_CONTINUE;
}

gboolean OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer) {
  // Keys that type something, as the keyboard types them: Esc, Space, or
  // another; a bare Shift or Ctrl types nothing.
  const guint key = event->keyval;
  if (media == nullptr || gdk_keyval_to_unicode(key) == 0) return TRUE;
  media->events.key_press(key == GDK_KEY_Escape  ? MediaKey::kEscape
                          : key == GDK_KEY_space ? MediaKey::kSpace
                                                 : MediaKey::kOther);
  return TRUE;
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer) {
  UnloadMediaWindow();
  return TRUE;
}

// A file name, relative or absolute, or a URI as it stands.
std::string UriOf(const std::u16string& url) {
  const std::string text = qcp::Utf8FromUtf16(url);
  if (gst_uri_is_valid(text.c_str())) return text;
  gchar* uri = gst_filename_to_uri(text.c_str(), nullptr);
  if (uri == nullptr) return text;
  std::string result(uri);
  g_free(uri);
  return result;
}

void SetState(GstState state) {
  // A failure shows on the bus as an error, which ends the window.
  if (media != nullptr) gst_element_set_state(media->playbin, state);
}

// The primary monitor's area, else the first monitor's, else the screen.
GdkRectangle MonitorArea() {
  GdkRectangle area = {0, 0, 0, 0};
  GdkDisplay* display = gdk_display_get_default();
  GdkMonitor* monitor = display == nullptr ? nullptr : gdk_display_get_primary_monitor(display);
  if (monitor == nullptr && display != nullptr && gdk_display_get_n_monitors(display) > 0) {
    monitor = gdk_display_get_monitor(display, 0);
  }
  if (monitor != nullptr) {
    gdk_monitor_get_geometry(monitor, &area);
  } else if (GdkScreen* screen = gdk_screen_get_default()) {
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    area.width = gdk_screen_get_width(screen);
    area.height = gdk_screen_get_height(screen);
    G_GNUC_END_IGNORE_DEPRECATIONS
  }
  return area;
}

void CoverMonitor(GtkWindow* window) {
  const GdkRectangle area = MonitorArea();
  if (area.width <= 0 || area.height <= 0) return;
  gtk_window_move(window, area.x, area.y);
  gtk_window_set_default_size(window, area.width, area.height);
  gtk_window_resize(window, area.width, area.height);
}

}  // namespace

void LoadMediaWindow(const MediaWindowEvents& events) {
  if (media != nullptr) return;
  {
    // Xlib's own account of a refused display goes nowhere: the tool says it.
    HeldStdErr xlib_says;
    if (!gtk_init_check(nullptr, nullptr)) {
      xlib_says.Drop();
      qcp::RaiseUnfulfilled(qcp::kNoDisplay);
    }
  }
  GError* error = nullptr;
  if (!gst_init_check(nullptr, nullptr, &error)) {
    g_clear_error(&error);
    qcp::Raise(u"Cannot start the media player");
  }
  GstElement* playbin = gst_element_factory_make("playbin", nullptr);
  GstElement* sink = gst_element_factory_make("gtksink", nullptr);
  if (playbin == nullptr || sink == nullptr) {
    if (playbin != nullptr) gst_object_unref(playbin);
    if (sink != nullptr) gst_object_unref(sink);
    qcp::Raise(u"Cannot start the media player");
  }
  GtkWidget* video = nullptr;
  g_object_get(sink, "widget", &video, nullptr);
  g_object_set(playbin, "video-sink", sink, nullptr);

  media = new MediaWindow;
  media->events = events;
  media->playbin = playbin;
  media->window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  GtkWindow* window = GTK_WINDOW(media->window);
  gtk_window_set_title(window, "MovieShow");
  gtk_window_set_decorated(window, FALSE);
  gtk_window_fullscreen(window);
  // Without a window manager nobody honours the request above: the window
  // then covers the monitor by its own place and size, as on Windows.
  CoverMonitor(window);
  // Black around the picture, wherever it doesn't fill the screen.
  GtkCssProvider* css = gtk_css_provider_new();
  gtk_css_provider_load_from_data(css, "window { background-color: black; }", -1, nullptr);
  gtk_style_context_add_provider(gtk_widget_get_style_context(media->window), GTK_STYLE_PROVIDER(css),
                                 GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(css);
  gtk_container_add(GTK_CONTAINER(media->window), video);
  g_object_unref(video);
  gtk_widget_add_events(media->window, GDK_KEY_PRESS_MASK);
  g_signal_connect(media->window, "key-press-event", G_CALLBACK(OnKeyPress), nullptr);
  g_signal_connect(media->window, "delete-event", G_CALLBACK(OnDelete), nullptr);

  GstBus* bus = gst_element_get_bus(playbin);
  media->bus_watch = gst_bus_add_watch(bus, &OnBusMessage, nullptr);
  gst_object_unref(bus);
  WindowOpened();
}

void SetPlayerVolume(std::int32_t volume) {
  // The player's scale is 0 to 100; playbin's 1.0 is full volume.
  if (media != nullptr) g_object_set(media->playbin, "volume", CLAMP(volume, 0, 100) / 100.0, nullptr);
}

void SetPlayerPlayCount(std::int32_t) {
  // playbin plays the media once, which is all the tools ask for.
}

void SetPlayerUrl(const std::u16string& url) {
  if (media == nullptr) return;
  gst_element_set_state(media->playbin, GST_STATE_NULL);
  media->url = url;
  g_object_set(media->playbin, "uri", UriOf(url).c_str(), nullptr);
  SetState(GST_STATE_PLAYING);  // playback starts as soon as the URL is set
}

void PlayerPlay() { SetState(GST_STATE_PLAYING); }

void PlayerPause() { SetState(GST_STATE_PAUSED); }

void ShowMediaWindow() {
  if (media == nullptr || media->shown) return;
  media->shown = true;
  gtk_widget_show_all(media->window);
  gtk_window_present(GTK_WINDOW(media->window));
}

void UnloadMediaWindow() {
  if (media == nullptr) return;
  MediaWindow* gone = media;
  media = nullptr;
  g_source_remove(gone->bus_watch);
  gst_element_set_state(gone->playbin, GST_STATE_NULL);
  gst_object_unref(gone->playbin);
  gtk_widget_destroy(gone->window);
  delete gone;
  WindowClosed();
}

}  // namespace platform
