// How the window tools find their window: by caption, or "0" for the active
// window. Every window tool compiles this in; it prints the not-found line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/window_control.h"
#include "tools/std_output.h"

namespace qcp {

// Captions are read up to 255 characters.
inline constexpr std::size_t kLongestCaption = 255;

// The window's caption (at most 255 characters), or "" when it has none.
inline std::u16string GetWindowCaption(platform::WindowHandle window) {
  return platform::WindowCaption(window, kLongestCaption);
}

// The window named by the tail ("0" alone is the active window, looked up
// again by its caption), or 0 after printing the not-found line. Quotes in
// the tail are part of the caption.
inline platform::WindowHandle TargetWindow(IPrintTarget& out, std::u16string_view tail) {
  std::u16string caption(tail);
  if (caption == u"0") caption = GetWindowCaption(platform::ActiveWindow());
  // Every caption-less window matches an empty name, so looking one up would
  // act on some arbitrary hidden window: an empty caption is not found.
  const platform::WindowHandle window = caption.empty() ? 0 : platform::FindWindowByCaption(caption);
  // Any non-null handle is a window, also one with its top bit set.
  if (window == 0) PrintLine(out, u"ERROR! Couldn't find window: " + caption);
  return window;
}

}  // namespace qcp
