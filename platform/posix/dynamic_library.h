// Libraries loaded when first needed rather than at start-up, so the tools
// that seldom need them start as fast as the others.
#pragma once

#include <dlfcn.h>

namespace platform {

// Looks `name` up in `library` into `function`; false when it is missing.
template <typename Function>
bool Resolve(void* library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(::dlsym(library, name));
  return function != nullptr;
}

}  // namespace platform
