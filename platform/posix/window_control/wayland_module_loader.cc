// Loads the Wayland module from its place beside the programs.
#include <errno.h>
#include <limits.h>
#include <unistd.h>

#include <string>

#include "console/utf.h"
#include "platform/console.h"
#include "platform/posix/dynamic_library.h"
#include "platform/posix/window_control/wayland_module/module.h"

namespace platform::wayland {
namespace {

// Why the module could not be loaded, kept for ComplainOfModule.
std::string complaint;

void Complain(const std::string& path, std::string reason) {
  // dlerror names the file itself; once is enough.
  if (reason.compare(0, path.size() + 2, path + ": ") == 0) reason.erase(0, path.size() + 2);
  complaint = "cannot load " + path + " (" + reason + ")";
}

const Module* Load() {
  char self[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) {
    Complain(kModulePath, "the program's own folder is unknown");
    return nullptr;
  }
  std::string path(self, static_cast<std::size_t>(length));
  path.resize(path.rfind('/') + 1);
  path += kModulePath;
  void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* reason = ::dlerror();
    Complain(path, reason != nullptr ? reason : "unknown reason");
    return nullptr;
  }
  const Module* (*table)() = nullptr;
  if (!Resolve(library, kModuleSymbol, table)) {
    Complain(path, std::string("no ") + kModuleSymbol + " in it");
    return nullptr;
  }
  return table();
}

}  // namespace

const Module* LoadModule() {
  static const Module* const module = Load();
  return module;
}

void ComplainOfModule() {
  if (complaint.empty()) return;
  WriteStdErrLine(qcp::Utf16FromUtf8(std::string(program_invocation_short_name) + ": " + complaint +
                                     "; only X11 windows can be found"));
  complaint.clear();
}

}  // namespace platform::wayland
