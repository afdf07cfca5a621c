/* Finds a message box by its title, prints what it shows and presses OK.
 *
 *   message_box_probe.exe <title> [timeout ms]
 *
 * Prints, in UTF-8, one line each: "text=" and the box's message, "icon="
 * and question, exclamation, hand, asterisk or none, "buttons=" and the
 * number of push buttons. Exit status 0, or 1 when no box came up in time. */
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>

#define TEXT_ID 0xFFFF /* the message text's static control */

struct Search {
  const wchar_t *title;
  HWND found;
};

static BOOL CALLBACK CheckWindow(HWND window, LPARAM context) {
  struct Search *search = (struct Search *)context;
  wchar_t class_name[16], title[256];
  if (!IsWindowVisible(window)) return TRUE;
  if (!GetClassNameW(window, class_name, 16) || lstrcmpW(class_name, L"#32770") != 0) return TRUE;
  GetWindowTextW(window, title, 256);
  if (lstrcmpW(title, search->title) != 0) return TRUE;
  search->found = window;
  return FALSE;
}

static void PrintUtf8(const char *label, const wchar_t *text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, NULL, 0, NULL, NULL);
  char *bytes = (char *)malloc((size_t)size);
  WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, size, NULL, NULL);
  printf("%s=%s\n", label, bytes);
  free(bytes);
}

/* The pixels of a w x h area: of `window`'s client area when `icon` is null, else of `icon`
 * drawn on a background of `background`. Icons of another process cannot be
 * read directly, so the shown icon is compared by what is on the screen. */
static DWORD *Pixels(HWND window, HICON icon, int w, int h, COLORREF background) {
  /* From the screen: a window of another process has no surface here. */
  POINT origin = {0, 0};
  if (window) ClientToScreen(window, &origin);
  HDC screen = GetDC(NULL);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(memory, bitmap);
  if (icon) {
    RECT all = {0, 0, w, h};
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    DrawIconEx(memory, 0, 0, icon, w, h, 0, NULL, DI_NORMAL);
  } else {
    BitBlt(memory, 0, 0, w, h, screen, origin.x, origin.y, SRCCOPY);
  }
  SelectObject(memory, old);
  BITMAPINFO header;
  ZeroMemory(&header, sizeof header);
  header.bmiHeader.biSize = sizeof header.bmiHeader;
  header.bmiHeader.biWidth = w;
  header.bmiHeader.biHeight = -h;
  header.bmiHeader.biPlanes = 1;
  header.bmiHeader.biBitCount = 32;
  header.bmiHeader.biCompression = BI_RGB;
  DWORD *pixels = (DWORD *)calloc((size_t)w * (size_t)h, sizeof(DWORD));
  GetDIBits(memory, bitmap, 0, (UINT)h, pixels, &header, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(NULL, screen);
  return pixels;
}

/* The static control that shows an icon (its id differs between systems). */
static BOOL CALLBACK FindIconControl(HWND child, LPARAM context) {
  wchar_t class_name[16];
  if (GetClassNameW(child, class_name, 16) && lstrcmpiW(class_name, L"Static") == 0 &&
      (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && IsWindowVisible(child)) {
    *(HWND *)context = child;
    return FALSE;
  }
  return TRUE;
}

static const char *IconName(HWND box) {
  static const struct {
    LPCWSTR id;
    const char *name;
  } icons[] = {{MAKEINTRESOURCEW(32514), "question"}, {MAKEINTRESOURCEW(32515), "exclamation"},
               {MAKEINTRESOURCEW(32513), "hand"}, {MAKEINTRESOURCEW(32516), "asterisk"}};
  HWND control = NULL;
  EnumChildWindows(box, FindIconControl, (LPARAM)&control);
  if (!control || !SendMessageW(control, STM_GETICON, 0, 0)) return "none";
  RECT area;
  GetClientRect(control, &area);
  int w = area.right, h = area.bottom;
  if (w <= 0 || h <= 0) return "none";
  DWORD *shown = Pixels(control, NULL, w, h, 0);
  /* The control's corner shows the dialog's background. */
  COLORREF background = RGB((shown[0] >> 16) & 0xFF, (shown[0] >> 8) & 0xFF, shown[0] & 0xFF);
  const char *best = "other";
  size_t fewest = (size_t)w * (size_t)h / 10; /* at most 10% of the pixels may differ */
  for (int i = 0; i < 4; ++i) {
    DWORD *drawn = Pixels(NULL, LoadIconW(NULL, icons[i].id), w, h, background);
    size_t differing = 0;
    for (size_t p = 0; p < (size_t)w * (size_t)h; ++p) differing += (shown[p] & 0xFFFFFF) != (drawn[p] & 0xFFFFFF);
    if (differing < fewest) {
      fewest = differing;
      best = icons[i].name;
    }
    free(drawn);
  }
  free(shown);
  return best;
}

static BOOL CALLBACK CountButton(HWND child, LPARAM context) {
  wchar_t class_name[16];
  if (GetClassNameW(child, class_name, 16) && lstrcmpiW(class_name, L"Button") == 0 && IsWindowVisible(child)) {
    ++*(int *)context;
  }
  return TRUE;
}

int main(void) {
  int argc = 0;
  wchar_t **argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 2) {
    fprintf(stderr, "usage: message_box_probe <title> [timeout ms]\n");
    return 2;
  }
  struct Search search = {argv[1], NULL};
  DWORD timeout = argc > 2 ? (DWORD)wcstoul(argv[2], NULL, 10) : 20000;
  DWORD started = GetTickCount();
  while (EnumWindows(CheckWindow, (LPARAM)&search), !search.found) {
    if (GetTickCount() - started > timeout) {
      fprintf(stderr, "message_box_probe: no box\n");
      return 1;
    }
    Sleep(50);
  }
  Sleep(500); /* let it paint */
  wchar_t text[4096] = L"";
  HWND text_control = GetDlgItem(search.found, TEXT_ID);
  if (text_control) GetWindowTextW(text_control, text, 4096);
  int buttons = 0;
  EnumChildWindows(search.found, CountButton, (LPARAM)&buttons);
  PrintUtf8("text", text);
  printf("icon=%s\nbuttons=%d\n", IconName(search.found), buttons);
  fflush(stdout);
  SendMessageW(GetDlgItem(search.found, IDOK), BM_CLICK, 0, 0);
  return 0;
}
