#include "platform/posix/gtk_trash_dialogs.h"

#include <gtk/gtk.h>

#include <string>

#include "platform/posix/held_std_err.h"

namespace platform {
namespace {

void HandlePendingEvents() {
  while (gtk_events_pending()) gtk_main_iteration();
}

std::string ItemsText(std::size_t items) { return items == 1 ? "this item" : "these " + std::to_string(items) + " items"; }

}  // namespace

bool TrashDisplayAvailable() {
  static const bool available = [] {
    // Only a desktop display; the web backend would look for a server of its own.
    gdk_set_allowed_backends("wayland,x11");
    // Xlib's own account of a refused display goes nowhere: the tool says it.
    HeldStdErr xlib_says;
    const bool opened = gtk_init_check(nullptr, nullptr) != FALSE;
    if (!opened) xlib_says.Drop();
    return opened;
  }();
  return available;
}

bool ConfirmEmptying(std::size_t items) {
  const std::string question = "Are you sure you want to permanently delete " + ItemsText(items) + "?";
  GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_QUESTION, GTK_BUTTONS_YES_NO, "%s",
                                             question.c_str());
  gtk_window_set_title(GTK_WINDOW(dialog), "Empty Trash");
  gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
  gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
  gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_YES);
  GtkWidget* image = gtk_image_new_from_icon_name("user-trash-full", GTK_ICON_SIZE_DIALOG);
  gtk_widget_show(image);
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  gtk_message_dialog_set_image(GTK_MESSAGE_DIALOG(dialog), image);
  G_GNUC_END_IGNORE_DEPRECATIONS
  const gint answer = gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_destroy(dialog);
  HandlePendingEvents();
  return answer == GTK_RESPONSE_YES;
}

// On the heap, so that the signal handlers keep a fixed address to report to.
struct EmptyingProgress::Window {
  void Show() {
    shown_at = g_get_monotonic_time();
    gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(bar), total == 0 ? 1.0 : double(done) / double(total));
    const std::string text = std::to_string(done) + " of " + std::to_string(total);
    gtk_progress_bar_set_text(GTK_PROGRESS_BAR(bar), text.c_str());
  }

  GtkWidget* window = nullptr;
  GtkWidget* bar = nullptr;
  std::size_t total = 0;
  std::size_t done = 0;
  gint64 shown_at = 0;
  bool cancelled = false;
};

EmptyingProgress::EmptyingProgress(std::size_t total) : window_(std::make_unique<Window>()) {
  Window& w = *window_;
  w.total = total;
  w.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(w.window), "Emptying Trash");
  gtk_window_set_position(GTK_WINDOW(w.window), GTK_WIN_POS_CENTER);
  gtk_window_set_resizable(GTK_WINDOW(w.window), FALSE);
  gtk_window_set_keep_above(GTK_WINDOW(w.window), TRUE);
  gtk_window_set_default_size(GTK_WINDOW(w.window), 360, -1);
  gtk_container_set_border_width(GTK_CONTAINER(w.window), 12);
  GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 8);
  const std::string text = "Deleting " + ItemsText(total) + " from the trash";
  gtk_box_pack_start(GTK_BOX(box), gtk_label_new(text.c_str()), FALSE, FALSE, 0);
  w.bar = gtk_progress_bar_new();
  gtk_progress_bar_set_show_text(GTK_PROGRESS_BAR(w.bar), TRUE);
  gtk_box_pack_start(GTK_BOX(box), w.bar, FALSE, FALSE, 0);
  GtkWidget* buttons = gtk_button_box_new(GTK_ORIENTATION_HORIZONTAL);
  gtk_button_box_set_layout(GTK_BUTTON_BOX(buttons), GTK_BUTTONBOX_END);
  GtkWidget* cancel = gtk_button_new_with_mnemonic("_Cancel");
  gtk_container_add(GTK_CONTAINER(buttons), cancel);
  gtk_box_pack_start(GTK_BOX(box), buttons, FALSE, FALSE, 0);
  gtk_container_add(GTK_CONTAINER(w.window), box);
  g_signal_connect_swapped(cancel, "clicked", G_CALLBACK(+[](Window* self) { self->cancelled = true; }), &w);
  g_signal_connect(w.window, "delete-event", G_CALLBACK(+[](GtkWidget*, GdkEvent*, Window* self) {
                     self->cancelled = true;
                     return TRUE;
                   }),
                   &w);
  w.Show();
  gtk_widget_show_all(w.window);
  HandlePendingEvents();
}

EmptyingProgress::~EmptyingProgress() {
  gtk_widget_destroy(window_->window);
  HandlePendingEvents();
}

void EmptyingProgress::Step() {
  Window& w = *window_;
  ++w.done;
  const gint64 now = g_get_monotonic_time();
  if (now - w.shown_at >= 50000 || w.done == w.total) w.Show();
  HandlePendingEvents();
}

bool EmptyingProgress::Cancelled() const { return window_->cancelled; }

}  // namespace platform
