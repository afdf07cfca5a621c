/* Probe for a message box shown by a program under test.
 *
 *   movie_box_probe.exe <title> <timeout ms> wait|close
 *
 * Waits for a top-level dialog box with the exact title; "wait" prints the
 * box's message text (UTF-8) on one line, "close" presses its OK button.
 * Exit status 0 when the box was found, 1 on timeout. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

static HWND FindBox(const wchar_t *title, DWORD timeout) {
  DWORD start = GetTickCount();
  for (;;) {
    HWND box = FindWindowW(L"#32770", title);
    if (box && IsWindowVisible(box)) return box;
    if (GetTickCount() - start > timeout) return NULL;
    Sleep(50);
  }
}

int main(int argc, char **argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: movie_box_probe <title> <timeout ms> wait|close\n");
    return 2;
  }
  wchar_t title[256];
  MultiByteToWideChar(CP_UTF8, 0, argv[1], -1, title, 256);
  HWND box = FindBox(title, (DWORD)strtoul(argv[2], NULL, 10));
  if (!box) {
    fprintf(stderr, "movie_box_probe: no box\n");
    return 1;
  }
  if (strcmp(argv[3], "close") == 0) {
    HWND ok = GetDlgItem(box, IDOK);
    if (ok) SendMessageW(ok, BM_CLICK, 0, 0);
    else PostMessageW(box, WM_COMMAND, IDOK, 0);
    return 0;
  }
  /* The message text is the box's static control with id 0xFFFF. */
  wchar_t text[1024] = L"";
  GetDlgItemTextW(box, 0xFFFF, text, 1024);
  char utf8[4096];
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, NULL, NULL);
  printf("%s\n", utf8);
  return 0;
}
