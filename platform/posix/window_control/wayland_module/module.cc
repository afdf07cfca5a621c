// The module's one export: its table of functions.
#include "platform/posix/window_control/wayland_module/module.h"

#include "platform/posix/window_control/wayland_module/kwin_script.h"

namespace {

const platform::wayland::Module kModule = {
    .take_failure = &platform::wayland::TakeFailure,
    .probe = &platform::wayland::Probe,
    .wlroots = &platform::wayland::kWlrootsBackend,
    .kwin = &platform::wayland::kKWinBackend,
};

}  // namespace

extern "C" __attribute__((visibility("default"))) const platform::wayland::Module* qcp_wayland_module() {
  return &kModule;
}
