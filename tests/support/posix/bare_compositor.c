/* A Wayland compositor with no globals at all: clients connect and find
   nothing to act on windows with, as on a GNOME session. Prints its socket
   name (in $XDG_RUNTIME_DIR), then serves until it is killed. */
#include <stdio.h>
#include <wayland-server.h>

int main(void) {
  struct wl_display* display = wl_display_create();
  const char* name = display != NULL ? wl_display_add_socket_auto(display) : NULL;
  if (name == NULL) return 1;
  printf("%s\n", name);
  fflush(stdout);
  wl_display_run(display);
  return 0;
}
