/* Loaded into a tool with LD_PRELOAD by the end-to-end tests, to hold the
 * emptying of a trash half way, like a slow disk would: the second removal
 * of an item from a files/ folder creates $QCP_GATE/waiting, then waits for
 * $QCP_GATE/go. Meanwhile the tool's window keeps handling its events, so a
 * click on Cancel lands before the emptying goes on. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static int removals;

static int InFilesFolder(int directory) {
  char link[64], path[4096];
  snprintf(link, sizeof link, "/proc/self/fd/%d", directory);
  const ssize_t length = readlink(link, path, sizeof path - 1);
  if (length < 6) return 0;
  path[length] = '\0';
  return strcmp(path + length - 6, "/files") == 0;
}

static void HandleEvents(void) {
  int (*iteration)(void*, int) = (int (*)(void*, int))dlsym(RTLD_DEFAULT, "g_main_context_iteration");
  if (iteration == NULL) return;
  while (iteration(NULL, 0)) {
  }
}

static void Wait(const char* gate) {
  char path[4096];
  snprintf(path, sizeof path, "%s/waiting", gate);
  close(open(path, O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
  snprintf(path, sizeof path, "%s/go", gate);
  for (;;) {
    /* Events that came before the go are handled before going on. */
    const int go = access(path, F_OK) == 0;
    HandleEvents();
    if (go) return;
    usleep(10000);
  }
}

int unlinkat(int directory, const char* name, int flags) {
  static int (*real)(int, const char*, int);
  if (real == NULL) real = (int (*)(int, const char*, int))dlsym(RTLD_NEXT, "unlinkat");
  const char* gate = getenv("QCP_GATE");
  if (gate != NULL && InFilesFolder(directory) && ++removals == 2) Wait(gate);
  return real(directory, name, flags);
}
