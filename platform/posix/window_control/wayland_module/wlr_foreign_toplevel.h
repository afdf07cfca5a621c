// Top-level windows of a Wayland compositor through the wlroots
// foreign-toplevel protocol (sway, Hyprland, labwc, Wayfire and others):
// list them with their titles and states, and ask one to close, minimise,
// maximise or restore. The connection is opened on first use and kept for
// the life of the process, so a window's id stays valid throughout.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/window_control/backend.h"

namespace platform::wayland {

// A top-level window as numbered in order of announcement, from 1; 0 is none.
using ToplevelId = std::uint32_t;

enum class Availability {
  kNoDisplay,    // WAYLAND_DISPLAY unset, or no compositor answers there
  kNoManager,    // a compositor without the foreign-toplevel protocol (GNOME, for one)
  kAvailable,
};

// Connects on the first call; later calls report the same.
Availability Probe();

// The window whose title equals `caption` regardless of case (as the X11
// backend compares), or 0. Where several match: the active one, else the
// one announced last. An empty caption finds a window without a title.
ToplevelId FindToplevel(std::u16string_view caption);

// The window the compositor reports as activated, or 0.
ToplevelId ActiveToplevel();

// The titles of the open windows that have one, in the order announced.
std::vector<std::u16string> ToplevelTitles();

// The window's title; false for no such window (or one since closed).
bool ToplevelTitle(ToplevelId id, std::u16string& title);

enum class Action { kClose, kMinimize, kMaximize, kRestore };

// Sends the request and waits until the compositor has read it. A restore
// brings a minimised window back, else unmaximises it, and activates it.
// False when there is no such window or the connection failed; whether the
// compositor carries the request out is its own choice (tiling sway ignores
// minimise and maximise).
bool Act(ToplevelId id, Action action);

// These windows as a window backend, a handle being the window's id; sway's
// IPC pins them.
extern const WindowBackend kWlrootsBackend;

}  // namespace platform::wayland
