/* Recycle-bin probe for the end-to-end tests.
 *
 *   qcp_recycle_probe put <path>     moves the file to the recycle bin
 *   qcp_recycle_probe count [root]   prints the number of items in the bin
 *
 * Prints the shell's result (put) or the item count (count) as one line. */
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

static wchar_t *WideArgument(const char *text) {
  int count = MultiByteToWideChar(CP_UTF8, 0, text, -1, NULL, 0);
  wchar_t *wide = (wchar_t *)calloc((size_t)count + 1, sizeof(wchar_t));
  MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, count);
  return wide;
}

static int Put(const char *path) {
  /* The list of paths ends with an empty one. */
  wchar_t *wide = WideArgument(path);
  size_t length = wcslen(wide);
  wchar_t *from = (wchar_t *)calloc(length + 2, sizeof(wchar_t));
  memcpy(from, wide, length * sizeof(wchar_t));
  SHFILEOPSTRUCTW operation;
  memset(&operation, 0, sizeof operation);
  operation.wFunc = FO_DELETE;
  operation.pFrom = from;
  operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
  int result = SHFileOperationW(&operation);
  printf("%d\n", result);
  return result == 0 ? 0 : 1;
}

static int Count(const char *root) {
  SHQUERYRBINFO info;
  memset(&info, 0, sizeof info);
  info.cbSize = sizeof info;
  wchar_t *wide = root ? WideArgument(root) : NULL;
  HRESULT result = SHQueryRecycleBinW(wide, &info);
  if (FAILED(result)) {
    printf("error 0x%08lx\n", (unsigned long)result);
    return 1;
  }
  printf("%lld\n", (long long)info.i64NumItems);
  return 0;
}

int main(int argc, char **argv) {
  if (argc >= 3 && strcmp(argv[1], "put") == 0) return Put(argv[2]);
  if (argc >= 2 && strcmp(argv[1], "count") == 0) return Count(argc >= 3 ? argv[2] : NULL);
  fprintf(stderr, "usage: qcp_recycle_probe put <path> | count [root]\n");
  return 2;
}
