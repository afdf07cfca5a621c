// GTK message loop: gtk_main until the last window is unloaded.
#include <gtk/gtk.h>

#include "platform/event_loop.h"
#include "platform/posix/gtk_event_loop.h"

namespace platform {
namespace {
int open_windows = 0;
}  // namespace

void WindowOpened() { ++open_windows; }

void WindowClosed() {
  if (open_windows > 0 && --open_windows == 0 && gtk_main_level() > 0) gtk_main_quit();
}

void RunMessageLoop() {
  if (open_windows == 0) return;
  gtk_main();
}

}  // namespace platform
