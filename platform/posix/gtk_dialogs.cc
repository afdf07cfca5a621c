// GTK 3 message box: a modal message dialog with one OK button. GTK 3.24
// draws no icon for a message type alone, so the theme's dialog icon is set
// explicitly.
#include <gtk/gtk.h>

#include "console/failure.h"
#include "console/utf.h"
#include "platform/dialogs.h"
#include "platform/posix/held_std_err.h"

namespace platform {
namespace {

struct Icon {
  GtkMessageType type;
  const char* name;
};

Icon IconOf(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kError: return {GTK_MESSAGE_ERROR, "dialog-error"};
    case MessageIcon::kQuestion: return {GTK_MESSAGE_QUESTION, "dialog-question"};
    case MessageIcon::kWarning: return {GTK_MESSAGE_WARNING, "dialog-warning"};
    case MessageIcon::kInformation: return {GTK_MESSAGE_INFO, "dialog-information"};
    case MessageIcon::kNone: break;
  }
  return {GTK_MESSAGE_OTHER, nullptr};
}

// GTK takes only valid UTF-8; escaped bytes of a non-UTF-8 command line
// are shown as replacement characters.
std::string ValidUtf8(const std::u16string& text) {
  const std::string bytes = qcp::Utf8FromUtf16(text);
  gchar* valid = g_utf8_make_valid(bytes.data(), static_cast<gssize>(bytes.size()));
  std::string result(valid);
  g_free(valid);
  return result;
}

// Like the system message box, a word too long for one line is broken
// inside, so the box never grows wider than the screen.
void BreakLongWords(GtkWidget* dialog) {
  GtkWidget* area = gtk_message_dialog_get_message_area(GTK_MESSAGE_DIALOG(dialog));
  GList* children = gtk_container_get_children(GTK_CONTAINER(area));
  for (GList* child = children; child != nullptr; child = child->next) {
    if (GTK_IS_LABEL(child->data)) gtk_label_set_line_wrap_mode(GTK_LABEL(child->data), PANGO_WRAP_WORD_CHAR);
  }
  g_list_free(children);
}

// A message of thousands of lines would make a box taller than the screen,
// with its OK button off it: the text then scrolls inside a box that fits.
void FitOnScreen(GtkWidget* dialog) {
  GdkDisplay* display = gdk_display_get_default();
  GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
  if (monitor == nullptr && gdk_display_get_n_monitors(display) > 0) monitor = gdk_display_get_monitor(display, 0);
  if (monitor == nullptr) return;
  GdkRectangle area;
  gdk_monitor_get_workarea(monitor, &area);
  GtkRequisition natural;
  gtk_widget_get_preferred_size(dialog, nullptr, &natural);
  if (natural.height <= area.height) return;

  GtkWidget* message_area = gtk_message_dialog_get_message_area(GTK_MESSAGE_DIALOG(dialog));
  GList* children = gtk_container_get_children(GTK_CONTAINER(message_area));
  for (GList* child = children; child != nullptr; child = child->next) {
    GtkWidget* label = GTK_WIDGET(child->data);
    if (!GTK_IS_LABEL(label) || !gtk_widget_get_visible(label)) continue;
    GtkRequisition label_natural;
    gtk_widget_get_preferred_size(label, nullptr, &label_natural);
    // Everything but the text keeps its height; the text gets what is left
    // of three quarters of the screen, which leaves room for the frame the
    // window manager adds and for where it places the box.
    const int room = area.height * 3 / 4 - (natural.height - label_natural.height);
    GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller), GTK_POLICY_NEVER, GTK_POLICY_AUTOMATIC);
    gtk_scrolled_window_set_propagate_natural_width(GTK_SCROLLED_WINDOW(scroller), TRUE);
    gtk_scrolled_window_set_min_content_height(GTK_SCROLLED_WINDOW(scroller), room > 100 ? room : 100);
    g_object_ref(label);
    gtk_container_remove(GTK_CONTAINER(message_area), label);
    gtk_container_add(GTK_CONTAINER(scroller), label);
    g_object_unref(label);
    gtk_box_pack_start(GTK_BOX(message_area), scroller, TRUE, TRUE, 0);
    gtk_widget_show(scroller);
    break;
  }
  g_list_free(children);
}

}  // namespace

void ShowMessageBox(const std::u16string& text, const std::u16string& title, MessageIcon message_icon) {
  {
    // Xlib's own account of a refused display goes nowhere: the tool says it.
    HeldStdErr xlib_says;
    if (!gtk_init_check(nullptr, nullptr)) {
      xlib_says.Drop();
      qcp::RaiseUnfulfilled(qcp::kNoDisplay);
    }
  }
  const Icon icon = IconOf(message_icon);
  GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, icon.type, GTK_BUTTONS_OK, "%s",
                                             ValidUtf8(text).c_str());
  gtk_window_set_title(GTK_WINDOW(dialog), ValidUtf8(title).c_str());
  gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
  gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
  BreakLongWords(dialog);
  FitOnScreen(dialog);
  // Return presses OK, as in any message box, even where the text scrolls
  // and its scroller would otherwise take the focus first.
  gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
  gtk_widget_grab_focus(gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK));
  if (icon.name != nullptr) {
    GtkWidget* image = gtk_image_new_from_icon_name(icon.name, GTK_ICON_SIZE_DIALOG);
    gtk_widget_show(image);
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_message_dialog_set_image(GTK_MESSAGE_DIALOG(dialog), image);
    G_GNUC_END_IGNORE_DEPRECATIONS
  }
  gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_destroy(dialog);
  while (gtk_events_pending()) gtk_main_iteration();
}

}  // namespace platform
