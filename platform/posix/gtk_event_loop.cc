// GTK message loop: gtk_main until the last window is unloaded.
#include <gtk/gtk.h>

#include <utility>

#include "console/failure.h"

#include "platform/event_loop.h"
#include "platform/posix/gtk_event_loop.h"

namespace platform {
namespace {
int open_windows = 0;
std::u16string failed;
}  // namespace

void WindowOpened() { ++open_windows; }

void WindowClosed() {
  if (open_windows > 0 && --open_windows == 0 && gtk_main_level() > 0) gtk_main_quit();
}

void FailAfterLoop(std::u16string what) {
  if (failed.empty()) failed = std::move(what);
}

void RunMessageLoop() {
  if (open_windows > 0) gtk_main();
  if (!failed.empty()) qcp::RaiseUnfulfilled(failed);
}

}  // namespace platform
