// The module's one export: its table of functions.
#include "platform/posix/wayland_module.h"

namespace {

const platform::wayland::Module kModule = {
    &platform::wayland::Probe,         &platform::wayland::FindToplevel, &platform::wayland::ActiveToplevel,
    &platform::wayland::ToplevelTitle, &platform::wayland::Act,          &platform::wayland::SwaySetPinned,
    &platform::wayland::KWinAct,
};

}  // namespace

extern "C" __attribute__((visibility("default"))) const platform::wayland::Module* qcp_wayland_module() {
  return &kModule;
}
