// GTK picture window: GdkPixbuf decodes the file, an undecorated GTK 3
// window shows it in a GtkImage at its own size, and a GLib timeout ticks.
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <errno.h>
#include <gtk/gtk.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "console/failure.h"
#include "console/utf.h"
#include "picture_show_icon.h"
#include "platform/picture_window.h"
#include "platform/posix/file_failure.h"
#include "platform/posix/gtk_event_loop.h"
#include "platform/posix/held_std_err.h"

namespace platform {
namespace {

struct Window {
  GtkWidget* window = nullptr;
  GtkWidget* image = nullptr;
  PictureWindowEvents events{};
  guint timer = 0;
  bool button_down = false;
};

Window state;

gboolean OnButtonPress(GtkWidget*, GdkEventButton* event, gpointer) {
  if (event->button == 1 && event->type == GDK_BUTTON_PRESS) state.button_down = true;
  return TRUE;
}

gboolean OnButtonRelease(GtkWidget* widget, GdkEventButton* event, gpointer) {
  if (event->button != 1 || !state.button_down) return TRUE;
  state.button_down = false;
  // A click is a press and a release on the picture.
  const int width = gtk_widget_get_allocated_width(widget);
  const int height = gtk_widget_get_allocated_height(widget);
  const bool inside = event->x >= 0 && event->y >= 0 && event->x < width && event->y < height;
  if (inside && state.events.click != nullptr) state.events.click();
  return TRUE;
}

gboolean OnKeyRelease(GtkWidget*, GdkEventKey* event, gpointer) {
  if (state.events.key_up != nullptr) state.events.key_up(event->keyval == GDK_KEY_Escape ? PictureKey::kEscape : PictureKey::kOther);
  return TRUE;
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer) {
  if (state.events.close != nullptr) state.events.close();
  return TRUE;  // the tool decides; an unload destroys the window
}

gboolean OnTimer(gpointer) {
  const guint timer = state.timer;
  if (state.events.timer != nullptr) state.events.timer();
  // The handler may have stopped the timer, restarted it or unloaded the window.
  return state.timer == timer && timer != 0 ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
}

void RemoveTimer() {
  if (state.timer != 0) g_source_remove(state.timer);
  state.timer = 0;
}

// The pack's icon: 16 x 16 pixels, rows from the top, each 0xAARRGGBB.
constexpr int kIconSize = 16;

GdkPixbuf* IconPixbuf(const std::uint32_t* icon) {
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, kIconSize, kIconSize);
  guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
  const int stride = gdk_pixbuf_get_rowstride(pixbuf);
  for (int y = 0; y < kIconSize; ++y) {
    for (int x = 0; x < kIconSize; ++x) {
      const std::uint32_t argb = icon[y * kIconSize + x];
      guchar* pixel = pixels + y * stride + x * 4;
      pixel[0] = static_cast<guchar>(argb >> 16);
      pixel[1] = static_cast<guchar>(argb >> 8);
      pixel[2] = static_cast<guchar>(argb);
      pixel[3] = static_cast<guchar>(argb >> 24);
    }
  }
  return pixbuf;
}

// Ends the run as an uncaught failure does: one line on standard error and
// status 1. Called from inside Xlib or GLib, where nothing may be thrown.
[[noreturn]] void EndWithFailure(const char* description) {
  std::string line = program_invocation_short_name;
  line += ": run-time error: ";
  line += description;
  line += '\n';
  (void)!::write(STDERR_FILENO, line.data(), line.size());
  ::_exit(1);
}

// A display error GDK does not expect ends the process after a dump of its
// own (an X error), or with no word at all (a lost connection); both become
// the failure line. GDK's traps for errors it expects keep working, since
// its X error handler stays and only its final complaint is caught here.
void EndOnDisplayErrors() {
  g_log_set_handler("Gdk", static_cast<GLogLevelFlags>(G_LOG_LEVEL_ERROR | G_LOG_FLAG_FATAL),
                    [](const gchar*, GLogLevelFlags, const gchar*, gpointer) { EndWithFailure("Display error"); },
                    nullptr);
  // Xlib is there through GDK; its handler is looked up rather than linked.
  using IoErrorHandler = int (*)(Display*);
  using SetIoErrorHandler = IoErrorHandler (*)(IoErrorHandler);
  if (auto set = reinterpret_cast<SetIoErrorHandler>(::dlsym(RTLD_DEFAULT, "XSetIOErrorHandler"))) {
    set([](Display*) -> int { EndWithFailure("Lost the display"); });
  }
}

}  // namespace

void CreatePictureWindow(const PictureWindowEvents& events) {
  if (state.window != nullptr) return;
  {
    // Xlib's own account of a refused display goes nowhere: the tool says it.
    HeldStdErr xlib_says;
    if (!gtk_init_check(nullptr, nullptr)) {
      xlib_says.Drop();
      qcp::RaiseUnfulfilled(qcp::kNoDisplay);
    }
  }
  EndOnDisplayErrors();
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window), "PictureShow");
  // No frame and no title bar: the window is exactly the picture.
  gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
  gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
  gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
  GdkPixbuf* pixbuf = IconPixbuf(kPictureShowIcon);
  gtk_window_set_icon(GTK_WINDOW(window), pixbuf);
  g_object_unref(pixbuf);
  state.image = gtk_image_new();
  gtk_widget_set_halign(state.image, GTK_ALIGN_START);
  gtk_widget_set_valign(state.image, GTK_ALIGN_START);
  gtk_container_add(GTK_CONTAINER(window), state.image);
  gtk_widget_add_events(window, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_KEY_RELEASE_MASK);
  g_signal_connect(window, "button-press-event", G_CALLBACK(OnButtonPress), nullptr);
  g_signal_connect(window, "button-release-event", G_CALLBACK(OnButtonRelease), nullptr);
  g_signal_connect(window, "key-release-event", G_CALLBACK(OnKeyRelease), nullptr);
  g_signal_connect(window, "delete-event", G_CALLBACK(OnDelete), nullptr);
  state.window = window;
  state.events = events;
  WindowOpened();
}

PictureSize LoadPicture(const std::u16string& file_name) {
  const std::string path = qcp::Utf8FromUtf16(file_name);
  if (path.empty()) qcp::Raise(qcp::failures::kFileNotFound);
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) RaiseOpenFailure(path, errno);
  if (S_ISDIR(info.st_mode)) qcp::Raise(qcp::failures::kPathIsFolder);
  int width = 0;
  int height = 0;
  if (gdk_pixbuf_get_file_info(path.c_str(), &width, &height) != nullptr &&
      !PictureFits(width, height)) {
    qcp::Raise(qcp::failures::kInvalidPicture);
  }
  GError* error = nullptr;
  // Of an animation, the first frame.
  GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file(path.c_str(), &error);
  if (pixbuf == nullptr) {
    const bool denied = error != nullptr && error->domain == G_FILE_ERROR && error->code == G_FILE_ERROR_ACCES;
    if (error != nullptr) g_error_free(error);
    if (denied) qcp::Raise(qcp::failures::kPermissionDenied);
    qcp::Raise(qcp::failures::kInvalidPicture);
  }
  const PictureSize size = {gdk_pixbuf_get_width(pixbuf), gdk_pixbuf_get_height(pixbuf)};
  if (state.image != nullptr) gtk_image_set_from_pixbuf(GTK_IMAGE(state.image), pixbuf);
  g_object_unref(pixbuf);
  return size;
}

void SizePictureWindow(std::int32_t width, std::int32_t height) {
  if (state.window == nullptr) return;
  gtk_widget_set_size_request(state.image, width, height);
  gtk_window_resize(GTK_WINDOW(state.window), width, height);
}

void ShowPictureWindow() {
  if (state.window == nullptr) return;
  gtk_widget_show_all(state.window);
  gtk_window_present(GTK_WINDOW(state.window));
}

void StartPictureTimer(std::int32_t interval) {
  if (state.window == nullptr) return;
  RemoveTimer();
  state.timer = g_timeout_add(static_cast<guint>(interval), OnTimer, nullptr);
}

void StopPictureTimer() { RemoveTimer(); }

void UnloadPictureWindow() {
  if (state.window == nullptr) return;
  RemoveTimer();
  GtkWidget* window = state.window;
  state = Window{};
  gtk_widget_destroy(window);
  WindowClosed();
}

}  // namespace platform
