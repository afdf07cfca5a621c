/* Test launcher for Wine: runs the exact command line stored in a file, with
 * this process's standard handles, and returns the child's exit status.
 *
 *   qcp_launch.exe <command-line file> [timeout ms]
 *
 * The file holds UTF-8, or UTF-16LE after a byte-order mark (for command
 * lines that are not valid Unicode). `wine prog args` would re-quote the
 * arguments; this passes the line to CreateProcessW untouched. On timeout
 * the child is terminated and the status is 258. The status is also left in
 * "<command-line file>.status": a run without it never got this far. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static wchar_t *ReadCommandLine(const char *path) {
  FILE *file = fopen(path, "rb");
  if (!file) return NULL;
  char *bytes = NULL;
  size_t size = 0, capacity = 0;
  for (;;) {
    if (size + 4096 > capacity) {
      capacity = (size + 4096) * 2;
      bytes = (char *)realloc(bytes, capacity);
    }
    size_t got = fread(bytes + size, 1, 4096, file);
    size += got;
    if (got == 0) break;
  }
  fclose(file);
  wchar_t *line;
  if (size >= 2 && (unsigned char)bytes[0] == 0xFF && (unsigned char)bytes[1] == 0xFE) {
    size_t count = (size - 2) / 2;
    line = (wchar_t *)calloc(count + 1, sizeof(wchar_t));
    memcpy(line, bytes + 2, count * 2);
  } else {
    int count = MultiByteToWideChar(CP_UTF8, 0, bytes, (int)size, NULL, 0);
    line = (wchar_t *)calloc((size_t)count + 1, sizeof(wchar_t));
    MultiByteToWideChar(CP_UTF8, 0, bytes, (int)size, line, count);
  }
  free(bytes);
  return line;
}

int main(int argc, char **argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: qcp_launch <command-line file> [timeout ms]\n");
    return 2;
  }
  wchar_t *line = ReadCommandLine(argv[1]);
  if (!line) {
    fprintf(stderr, "qcp_launch: cannot read %s\n", argv[1]);
    return 2;
  }
  DWORD timeout = argc > 2 ? (DWORD)strtoul(argv[2], NULL, 10) : INFINITE;
  STARTUPINFOW startup;
  PROCESS_INFORMATION process;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  /* A busy Wine server now and then fails a start with an internal error;
   * a missing program fails at once. */
  BOOL started = FALSE;
  DWORD error = 0;
  for (int attempt = 0; attempt < 5 && !started; ++attempt) {
    if (attempt > 0) Sleep(200);
    started = CreateProcessW(NULL, line, NULL, NULL, TRUE, 0, NULL, NULL, &startup, &process);
    error = started ? 0 : GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) break;
  }
  if (!started) {
    fprintf(stderr, "qcp_launch: CreateProcessW failed (%lu)\n", error);
    return 2;
  }
  DWORD status = 0;
  if (WaitForSingleObject(process.hProcess, timeout) == WAIT_TIMEOUT) {
    TerminateProcess(process.hProcess, 258);
    WaitForSingleObject(process.hProcess, INFINITE);
    fprintf(stderr, "qcp_launch: timeout\n");
  }
  GetExitCodeProcess(process.hProcess, &status);
  size_t length = strlen(argv[1]);
  char *status_path = (char *)malloc(length + sizeof ".status");
  memcpy(status_path, argv[1], length);
  memcpy(status_path + length, ".status", sizeof ".status");
  FILE *status_file = fopen(status_path, "w");
  if (status_file) {
    fprintf(status_file, "%lu\n", status);
    fclose(status_file);
  }
  free(status_path);
  return (int)status;
}
