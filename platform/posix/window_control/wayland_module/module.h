// The Wayland window code as a module of its own, loaded only on a Wayland
// session: the window tools then start without libwayland-client and its
// dependencies. Module and programs come from one build, so C++ types may
// cross between them.
#pragma once

#include "platform/posix/window_control/backend.h"
#include "platform/posix/window_control/wayland_module/pending_failure.h"
#include "platform/posix/window_control/wayland_module/wlr_foreign_toplevel.h"

namespace platform::wayland {

struct Module {
  PendingFailure (*take_failure)();
  Availability (*probe)();
  const WindowBackend* wlroots;
  const WindowBackend* kwin;
};

// The name the module exports its table under.
inline constexpr char kModuleSymbol[] = "qcp_wayland_module";

// Where it lies, from the programs' folder: ../lib/quorvex-command-pack/.
inline constexpr char kModulePath[] = "../lib/quorvex-command-pack/qcp-wayland.so";

// The module, loaded on first use; null when it cannot be loaded.
const Module* LoadModule();

// After LoadModule failed, where only X11 windows can then be found: one
// line on standard error naming the file and the reason (once).
void ComplainOfModule();

}  // namespace platform::wayland
