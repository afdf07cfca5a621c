// One desktop's way with top-level windows. Each window backend (X11/EWMH,
// wlroots, KWin, GNOME) fills this table; the window intents go through the
// one chosen for the run, with X11 (XWayland) behind it as the fallback.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/window_control.h"

namespace platform {

struct WindowBackend {
  const char* name;
  WindowHandle (*find)(const std::u16string& caption);
  WindowHandle (*active)();
  std::u16string (*caption)(WindowHandle window, std::size_t max_length);
  bool (*close)(WindowHandle window);
  bool (*restore)(WindowHandle window);
  bool (*minimize)(WindowHandle window);
  bool (*maximize)(WindowHandle window);
  bool (*set_topmost)(WindowHandle window, bool topmost);
  // The captions of its windows; null for a backend that cannot list them.
  std::vector<std::u16string> (*captions)() = nullptr;
};

}  // namespace platform
