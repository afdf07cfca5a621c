// Pinning under sway, which the foreign-toplevel protocol cannot ask for:
// a command over sway's IPC socket ($SWAYSOCK) on the one container that is
// the window found. Pinned means floating (sway draws floating windows above
// tiled ones) and sticky (shown on every workspace of its output); unpinned
// means tiled again and not sticky, so the window goes back below the
// others, even one that floated before.
#pragma once

#include <string>
#include <string_view>

namespace platform::wayland {

// A window as the foreign-toplevel protocol shows it (UTF-8).
struct SwayTarget {
  std::string_view title;
  std::string_view app_id;
  bool activated = false;
};

enum class SwayOutcome {
  kNoSway,  // SWAYSOCK unset or nobody there: nothing was done
  kDone,    // sway carried the command out
};

// Pins or unpins the container in sway's tree that is `window`. A window
// sway cannot tell from another, a command sway refuses, or sway not
// answering in time is a failure kept (pending_failure.h).
SwayOutcome SwaySetPinned(const SwayTarget& window, bool pinned);

}  // namespace platform::wayland
