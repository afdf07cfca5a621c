// Pinning under sway, which the foreign-toplevel protocol cannot ask for:
// a command over sway's IPC socket ($SWAYSOCK). Pinned means floating (sway
// draws floating windows above tiled ones) and sticky (shown on every
// workspace of its output); unpinned means tiled again and not sticky, so the
// window goes back below the others, even one that floated before.
#pragma once

#include <string>
#include <string_view>

namespace platform::wayland {

enum class SwayOutcome {
  kNoSway,   // SWAYSOCK unset or nobody answering there: nothing was done
  kDone,     // sway carried the command out
  kRefused,  // sway answered with an error, or no window has that title
};

// Pins or unpins every window whose title is exactly `title` (UTF-8).
SwayOutcome SwaySetPinned(std::string_view title, bool pinned);

}  // namespace platform::wayland
