/* Picture window probe for the end-to-end tests: waits for the visible
 * top-level window of a window class and reports its size and frame as
 * Windows sees them.
 *
 *   picture_window_probe.exe <class> [timeout ms]
 *
 * Prints one line such as "client=200x100 window=200x100 caption=0 border=0".
 * Exit status 0, or 1 when no such window came up in time (10 s unless given). */
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>

struct Search {
  const wchar_t *class_name;
  HWND found;
};

static BOOL CALLBACK CheckWindow(HWND window, LPARAM context) {
  struct Search *search = (struct Search *)context;
  wchar_t class_name[64];
  if (!IsWindowVisible(window)) return TRUE;
  if (!GetClassNameW(window, class_name, 64) || lstrcmpW(class_name, search->class_name) != 0) return TRUE;
  search->found = window;
  return FALSE;
}

int main(void) {
  int argc = 0;
  wchar_t **argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 2) {
    fprintf(stderr, "usage: picture_window_probe <class> [timeout ms]\n");
    return 2;
  }
  DWORD timeout = argc > 2 ? (DWORD)wcstoul(argv[2], NULL, 10) : 10000;
  DWORD start = GetTickCount();
  struct Search search = {argv[1], NULL};
  for (;;) {
    EnumWindows(CheckWindow, (LPARAM)&search);
    if (search.found != NULL) break;
    if (GetTickCount() - start > timeout) return 1;
    Sleep(20);
  }
  RECT client, frame;
  GetClientRect(search.found, &client);
  GetWindowRect(search.found, &frame);
  LONG style = GetWindowLongW(search.found, GWL_STYLE);
  printf("client=%ldx%ld window=%ldx%ld caption=%d border=%d\n", client.right - client.left,
         client.bottom - client.top, frame.right - frame.left, frame.bottom - frame.top,
         (style & WS_CAPTION) == WS_CAPTION, (style & (WS_BORDER | WS_THICKFRAME)) != 0);
  return 0;
}
