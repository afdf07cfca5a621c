/* Window probe for the end-to-end tests: looks at a top-level window found by
 * its caption and reports or waits for its state.
 *
 *   qcp_window_probe.exe state <caption>
 *   qcp_window_probe.exe wait <caption> <condition> [timeout ms]
 *   qcp_window_probe.exe activate <caption>
 *   qcp_window_probe.exe foreground
 *
 * Conditions: exists, gone, iconic, zoomed, normal, topmost, nottopmost,
 * foreground. `state` and `wait` print one line such as
 * "window=1 iconic=0 zoomed=1 topmost=0 foreground=1"; `wait` returns 0 when
 * the condition holds (polling every 20 ms) and 1 on timeout (10 s unless
 * given). `foreground` prints the active window's caption as UTF-8. */
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include <wchar.h>

typedef struct {
  BOOL window, iconic, zoomed, topmost, foreground;
} State;

static State Look(HWND window) {
  State state;
  state.window = window != NULL && IsWindow(window);
  state.iconic = state.window && IsIconic(window);
  state.zoomed = state.window && IsZoomed(window);
  state.topmost = state.window && (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  state.foreground = state.window && GetForegroundWindow() == window;
  return state;
}

static void Print(State state) {
  printf("window=%d iconic=%d zoomed=%d topmost=%d foreground=%d\n", state.window ? 1 : 0, state.iconic ? 1 : 0,
         state.zoomed ? 1 : 0, state.topmost ? 1 : 0, state.foreground ? 1 : 0);
  fflush(stdout);
}

static int Holds(const wchar_t *condition, State state) {
  if (!wcscmp(condition, L"exists")) return state.window;
  if (!wcscmp(condition, L"gone")) return !state.window;
  if (!wcscmp(condition, L"iconic")) return state.iconic;
  if (!wcscmp(condition, L"zoomed")) return state.zoomed;
  if (!wcscmp(condition, L"normal")) return state.window && !state.iconic && !state.zoomed;
  if (!wcscmp(condition, L"topmost")) return state.topmost;
  if (!wcscmp(condition, L"nottopmost")) return state.window && !state.topmost;
  if (!wcscmp(condition, L"foreground")) return state.foreground;
  return -1;
}

int main(void) {
  int argc = 0;
  wchar_t **argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc >= 3 && !wcscmp(argv[1], L"state")) {
    Print(Look(FindWindowW(NULL, argv[2])));
    return 0;
  }
  if (argc >= 3 && !wcscmp(argv[1], L"activate")) {
    HWND window = FindWindowW(NULL, argv[2]);
    if (!window) return 1;
    SetForegroundWindow(window);
    return 0;
  }
  if (argc >= 2 && !wcscmp(argv[1], L"foreground")) {
    wchar_t caption[512];
    char bytes[2048];
    int length = GetWindowTextW(GetForegroundWindow(), caption, 512);
    int size = WideCharToMultiByte(CP_UTF8, 0, caption, length, bytes, sizeof bytes - 1, NULL, NULL);
    bytes[size > 0 ? size : 0] = '\0';
    printf("%s\n", bytes);
    return 0;
  }
  if (argc >= 4 && !wcscmp(argv[1], L"wait")) {
    DWORD timeout = argc >= 5 ? wcstoul(argv[4], NULL, 10) : 10000;
    DWORD start = GetTickCount();
    /* A window that is gone stays gone; otherwise look it up anew each time. */
    HWND first = FindWindowW(NULL, argv[2]);
    for (;;) {
      HWND window = !wcscmp(argv[3], L"gone") && first ? first : FindWindowW(NULL, argv[2]);
      State state = Look(window);
      int holds = Holds(argv[3], state);
      if (holds < 0) {
        fprintf(stderr, "qcp_window_probe: unknown condition\n");
        return 2;
      }
      if (holds || GetTickCount() - start >= timeout) {
        Print(state);
        return holds ? 0 : 1;
      }
      Sleep(20);
    }
  }
  fprintf(stderr, "usage: qcp_window_probe state|wait|activate|foreground <caption> [condition] [timeout ms]\n");
  return 2;
}
