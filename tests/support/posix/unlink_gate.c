/* Loaded into a tool with LD_PRELOAD by the end-to-end tests, to hold the
 * emptying of a trash half way, like a slow disk would: the second removal
 * of an item from a files/ folder (or from a claim folder in it) creates
 * $QCP_GATE/waiting, then waits for $QCP_GATE/go. Meanwhile the tool's
 * window keeps handling its events, so a click on Cancel lands before the
 * emptying goes on.
 *
 * $QCP_GATE_ON names the calls counted ("unlinkat", "rename" or both, comma
 * separated; renames count by the folder they move from), $QCP_GATE_AT which
 * one is held (2 unless set), and $QCP_GATE_AFTER, when set, holds it once
 * the call is done rather than before it. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
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
  if (strcmp(path + length - 6, "/files") == 0) return 1;
  const char* claim = strstr(path, "/files/.qcp-claim-");
  return claim != NULL && strchr(claim + 7, '/') == NULL;
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

/* Whether this call is the one to hold. */
static int Held(const char* call, int directory) {
  const char* gate = getenv("QCP_GATE");
  const char* on = getenv("QCP_GATE_ON");
  const char* at = getenv("QCP_GATE_AT");
  if (gate == NULL || strstr(on != NULL ? on : "unlinkat", call) == NULL || !InFilesFolder(directory)) return 0;
  return ++removals == (at != NULL ? atoi(at) : 2);
}

static int Before(const char* call, int directory) {
  const int held = Held(call, directory);
  if (held && getenv("QCP_GATE_AFTER") == NULL) Wait(getenv("QCP_GATE"));
  return held;
}

static void After(int held) {
  const int error = errno;
  if (held && getenv("QCP_GATE_AFTER") != NULL) Wait(getenv("QCP_GATE"));
  errno = error;
}

int unlinkat(int directory, const char* name, int flags) {
  static int (*real)(int, const char*, int);
  if (real == NULL) real = (int (*)(int, const char*, int))dlsym(RTLD_NEXT, "unlinkat");
  const int held = Before("unlinkat", directory);
  const int result = real(directory, name, flags);
  After(held);
  return result;
}

int renameat2(int from, const char* from_name, int to, const char* to_name, unsigned flags) {
  static int (*real)(int, const char*, int, const char*, unsigned);
  if (real == NULL) real = (int (*)(int, const char*, int, const char*, unsigned))dlsym(RTLD_NEXT, "renameat2");
  const int held = Before("rename", from);
  const int result = real(from, from_name, to, to_name, flags);
  After(held);
  return result;
}

int renameat(int from, const char* from_name, int to, const char* to_name) {
  static int (*real)(int, const char*, int, const char*);
  if (real == NULL) real = (int (*)(int, const char*, int, const char*))dlsym(RTLD_NEXT, "renameat");
  const int held = Before("rename", from);
  const int result = real(from, from_name, to, to_name);
  After(held);
  return result;
}
