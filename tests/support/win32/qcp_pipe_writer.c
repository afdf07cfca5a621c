/* Named-pipe writer for the end-to-end tests.
 *
 *   qcp_pipe_writer <name> <line>...
 *
 * Creates the pipe \\.\pipe\<name>, prints "ready", waits for its reader,
 * writes each line with CR LF in a write of its own and closes the pipe, as
 * a program that feeds another through a named pipe does. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

int main(int argc, char **argv) {
  if (argc < 2) return 2;
  char name[512];
  snprintf(name, sizeof name, "\\\\.\\pipe\\%s", argv[1]);
  HANDLE pipe = CreateNamedPipeA(name, PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, NULL);
  if (pipe == INVALID_HANDLE_VALUE) {
    printf("CreateNamedPipe failed: %lu\n", GetLastError());
    return 1;
  }
  printf("ready\n");
  fflush(stdout);
  if (!ConnectNamedPipe(pipe, NULL) && GetLastError() != ERROR_PIPE_CONNECTED) {
    printf("ConnectNamedPipe failed: %lu\n", GetLastError());
    return 1;
  }
  for (int i = 2; i < argc; ++i) {
    char line[4096];
    const int length = snprintf(line, sizeof line, "%s\r\n", argv[i]);
    DWORD written = 0;
    if (!WriteFile(pipe, line, (DWORD)length, &written, NULL) || written != (DWORD)length) return 1;
    Sleep(50);  /* each line reaches the reader in a read of its own */
  }
  FlushFileBuffers(pipe);
  CloseHandle(pipe);
  return 0;
}
