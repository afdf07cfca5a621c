// Loads the Wayland module from its place beside the programs.
#include <limits.h>
#include <unistd.h>

#include <string>

#include "platform/posix/dynamic_library.h"
#include "platform/posix/wayland_module.h"

namespace platform::wayland {
namespace {

const Module* Load() {
  char self[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return nullptr;
  std::string path(self, static_cast<std::size_t>(length));
  path.resize(path.rfind('/') + 1);
  path += kModulePath;
  void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return nullptr;
  const Module* (*table)() = nullptr;
  return Resolve(library, kModuleSymbol, table) ? table() : nullptr;
}

}  // namespace

const Module* LoadModule() {
  static const Module* const module = Load();
  return module;
}

}  // namespace platform::wayland
