/* The message box the end-to-end tests expect to see, built with GTK from
 * the text and theme icon name given literally:
 *   message_box_reference TEXT ICON-NAME|""
 * Its window looks the same as a correct NoticeShow box, so a screenshot of
 * each can be compared pixel for pixel. Ends when OK is pressed. */
#include <gtk/gtk.h>

int main(int argc, char** argv) {
  if (argc != 3 || !gtk_init_check(NULL, NULL)) return 2;
  GtkWidget* dialog = gtk_message_dialog_new(NULL, GTK_DIALOG_MODAL, GTK_MESSAGE_OTHER, GTK_BUTTONS_OK, "%s", argv[1]);
  gtk_window_set_title(GTK_WINDOW(dialog), "Reference");
  if (argv[2][0] != '\0') {
    GtkWidget* image = gtk_image_new_from_icon_name(argv[2], GTK_ICON_SIZE_DIALOG);
    gtk_widget_show(image);
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_message_dialog_set_image(GTK_MESSAGE_DIALOG(dialog), image);
    G_GNUC_END_IGNORE_DEPRECATIONS
  }
  gtk_dialog_run(GTK_DIALOG(dialog));
  return 0;
}
