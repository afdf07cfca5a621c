// Opening items on a freedesktop desktop. A path to an executable file, or a
// bare name found on PATH, is started directly in a session of its own;
// anything else (a document, a folder, a URL) goes to the user's default
// application for its type through GIO. No name ever passes through a shell.
#include <fcntl.h>
#include <gio/gio.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "console/failure.h"
#include "console/utf.h"
#include "platform/open.h"

extern char** environ;

namespace platform {
namespace {

// Processes started here and not waited for; reaped when they have ended.
std::vector<pid_t> unowned;

void ReapUnowned() {
  std::erase_if(unowned, [](pid_t pid) { return ::waitpid(pid, nullptr, WNOHANG) != 0; });
}

bool IsExecutableFile(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// A relative name is taken from `directory` when there is one.
std::string Resolved(const std::string& name, const std::optional<std::string>& directory) {
  if (name.empty() || name[0] == '/' || !directory) return name;
  return *directory + "/" + name;
}

// The program `name` stands for: a path to an executable file, or a bare
// name found in an absolute PATH entry. A bare name that is a file in the
// working directory is that file, opened as a document: programs there run
// only when named by a path, as a shell would have it.
std::string ProgramFor(const std::string& name, const std::optional<std::string>& directory) {
  if (name.empty()) return {};
  if (name.find('/') != std::string::npos) {
    const std::string path = Resolved(name, directory);
    return IsExecutableFile(path) ? path : std::string();
  }
  struct stat info;
  if (::lstat(Resolved(name, directory).c_str(), &info) == 0) return {};
  const char* search = std::getenv("PATH");
  std::string_view rest = search != nullptr ? search : "/usr/local/bin:/usr/bin:/bin";
  while (!rest.empty()) {
    const std::size_t colon = rest.find(':');
    const std::string_view entry = rest.substr(0, colon);
    rest = colon == rest.npos ? std::string_view() : rest.substr(colon + 1);
    if (entry.empty() || entry[0] != '/') continue;
    std::string candidate(entry);
    candidate += '/';
    candidate += name;
    if (IsExecutableFile(candidate)) return candidate;
  }
  return {};
}

// The started program gets the terminal if this process has one, but never
// this process's pipes or files: a caller reading our output is not kept
// waiting for the program.
class QuietStandardStreams {
 public:
  QuietStandardStreams() {
    const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    for (int fd = 0; fd < 3; ++fd) {
      saved_[fd] = -1;
      if (null < 0 || ::isatty(fd)) continue;
      saved_[fd] = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
      ::dup2(null, fd);
    }
    if (null >= 0) ::close(null);
  }
  ~QuietStandardStreams() {
    for (int fd = 0; fd < 3; ++fd) {
      if (saved_[fd] < 0) continue;
      ::dup2(saved_[fd], fd);
      ::close(saved_[fd]);
    }
  }
  QuietStandardStreams(const QuietStandardStreams&) = delete;
  QuietStandardStreams& operator=(const QuietStandardStreams&) = delete;

 private:
  int saved_[3];
};

// Starts `program` with `parameters` (split as a command line would be,
// without a shell), detached in a session of its own.
bool Spawn(const std::string& program, const std::string& parameters, const std::optional<std::string>& directory,
           pid_t& pid) {
  gchar** extra = nullptr;
  if (!parameters.empty() && !g_shell_parse_argv(parameters.c_str(), nullptr, &extra, nullptr)) return false;
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (gchar** word = extra; word != nullptr && *word != nullptr; ++word) argv.push_back(*word);
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  ::posix_spawn_file_actions_init(&actions);
  if (directory) ::posix_spawn_file_actions_addchdir_np(&actions, directory->c_str());
  posix_spawnattr_t attributes;
  ::posix_spawnattr_init(&attributes);
  // Signals this process ignores (a broken pipe) are the program's own again.
  sigset_t all, none;
  ::sigfillset(&all);
  ::sigemptyset(&none);
  ::posix_spawnattr_setsigdefault(&attributes, &all);
  ::posix_spawnattr_setsigmask(&attributes, &none);
  ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

  int result;
  {
    const QuietStandardStreams quiet;
    result = ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
  }
  ::posix_spawnattr_destroy(&attributes);
  ::posix_spawn_file_actions_destroy(&actions);
  g_strfreev(extra);
  return result == 0;
}

// The URI of a name: an existing file, else a URI as written, else the file
// it would be.
std::string UriFor(const std::string& name, const std::optional<std::string>& directory) {
  const std::string path = Resolved(name, directory);
  struct stat info;
  if (::lstat(path.c_str(), &info) != 0) {
    gchar* scheme = g_uri_parse_scheme(name.c_str());
    if (scheme != nullptr) {
      g_free(scheme);
      return name;
    }
  }
  GFile* file = g_file_new_for_path(path.c_str());
  gchar* uri = g_file_get_uri(file);
  std::string result(uri);
  g_free(uri);
  g_object_unref(file);
  return result;
}

// Hands the item to the default application for its type and returns
// without waiting for it.
bool OpenWithDefaultApplication(const std::string& name, const std::optional<std::string>& directory) {
  const std::string uri = UriFor(name, directory);
  int previous_directory = -1;
  if (directory) {
    previous_directory = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (previous_directory < 0 || ::chdir(directory->c_str()) != 0) {
      if (previous_directory >= 0) ::close(previous_directory);
      return false;
    }
  }
  GAppLaunchContext* context = g_app_launch_context_new();
  gboolean launched;
  {
    // The application must not inherit this process's ignored broken pipe.
    const QuietStandardStreams quiet;
    struct sigaction ignored, restored {};
    restored.sa_handler = SIG_DFL;
    ::sigaction(SIGPIPE, &restored, &ignored);
    launched = g_app_info_launch_default_for_uri(uri.c_str(), context, nullptr);
    ::sigaction(SIGPIPE, &ignored, nullptr);
  }
  g_object_unref(context);
  if (previous_directory >= 0) {
    if (::fchdir(previous_directory) != 0) {
      // The directory this process was in is gone; nothing else depends on it.
    }
    ::close(previous_directory);
  }
  // An application started over D-Bus gets its request from a message that
  // is only queued so far: send it before this process ends.
  if (launched && std::getenv("DBUS_SESSION_BUS_ADDRESS") != nullptr) {
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (bus != nullptr) {
      g_dbus_connection_flush_sync(bus, nullptr, nullptr);
      g_object_unref(bus);
    }
  }
  return launched;
}

}  // namespace

bool OpenItem(const OpenRequest& request) {
  ReapUnowned();
  const std::string name = qcp::Utf8FromUtf16(request.item);
  if (name.empty()) qcp::RaiseUnfulfilled(u"no item was named; name a program, document, folder or URL to open");
  std::optional<std::string> directory;
  if (!request.directory.empty()) directory = qcp::Utf8FromUtf16(request.directory);

  const std::string program = ProgramFor(name, directory);
  // An item handed to its default application leaves no process to wait for.
  if (program.empty()) {
    if (OpenWithDefaultApplication(name, directory)) return true;
    struct stat info;
    gchar* scheme = g_uri_parse_scheme(name.c_str());
    const bool named_by_uri = scheme != nullptr;
    g_free(scheme);
    if (!named_by_uri && ::lstat(Resolved(name, directory).c_str(), &info) != 0) {
      qcp::RaiseUnfulfilled(request.item + u" was not found; check the name and its folder");
    }
    qcp::RaiseUnfulfilled(u"no application opens " + request.item +
                          u"; choose one for its type in the desktop's settings");
  }
  pid_t pid;
  if (!Spawn(program, qcp::Utf8FromUtf16(request.parameters), directory, pid)) {
    qcp::RaiseUnfulfilled(request.item + u" could not be started; check that it is a program this system can run");
  }
  if (!request.wait) {
    if (::waitpid(pid, nullptr, WNOHANG) == 0) unowned.push_back(pid);  // reaped once it has ended
    return true;
  }
  while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
  }
  // The events that came while waiting are handled once.
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
  return true;
}

}  // namespace platform
