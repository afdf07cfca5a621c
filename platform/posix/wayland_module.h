// The Wayland window code as a module of its own, loaded only on a Wayland
// session: the window tools then start without libwayland-client and its
// dependencies. Module and programs come from one build, so C++ types may
// cross between them.
#pragma once

#include <string>
#include <string_view>

#include "platform/posix/wayland_kwin_script.h"
#include "platform/posix/wayland_sway_ipc.h"
#include "platform/posix/wayland_toplevels.h"

namespace platform::wayland {

struct Module {
  Availability (*probe)();
  ToplevelId (*find_toplevel)(std::u16string_view caption);
  ToplevelId (*active_toplevel)();
  bool (*toplevel_title)(ToplevelId id, std::u16string& title);
  bool (*act)(ToplevelId id, Action action);
  SwayOutcome (*sway_set_pinned)(std::string_view title, bool pinned);
  KWinOutcome (*kwin_act)(std::u16string_view caption, bool active, KWinAction action, std::u16string* title);
};

// The name the module exports its table under.
inline constexpr char kModuleSymbol[] = "qcp_wayland_module";

// Where it lies, from the programs' folder: ../lib/quorvex-command-pack/.
inline constexpr char kModulePath[] = "../lib/quorvex-command-pack/qcp-wayland.so";

// The module, loaded on first use; null when it cannot be loaded.
const Module* LoadModule();

}  // namespace platform::wayland
