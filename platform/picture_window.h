// The picture window: one borderless window that shows a picture from its
// top-left corner at the picture's own size, with a timer, and that delivers
// clicks, key releases and timer ticks to the tool. What the events do is
// the tool's business; the window only loads, sizes, shows, times and reports.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The keys the tools tell apart.
enum class PictureKey { kEscape, kOther };

// Handlers called on the program's one thread, from the message loop.
struct PictureWindowEvents {
  void (*click)();                         // left button pressed and released on the picture
  void (*key_up)(PictureKey key);          // a key released
  void (*close)();                         // the system asks the window to close (Alt+F4)
  void (*timer)();                         // the timer's interval has passed again
};

struct PictureSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// The largest picture shown: wider or taller than an X window or a GDI
// bitmap can be, or with more pixels than fit in 256 MiB, it is "Invalid
// picture", refused before it is decoded or drawn.
inline constexpr std::int64_t kLongestPictureSide = 32767;
inline constexpr std::int64_t kMostPicturePixels = std::int64_t{64} << 20;

inline bool PictureFits(std::int64_t width, std::int64_t height) {
  return width <= kLongestPictureSide && height <= kLongestPictureSide && width * height <= kMostPicturePixels;
}

// Creates the hidden window and counts it as open for the message loop.
// Raises unfulfilled when no window can be made at all (no display).
// The window carries the pack's icon.
void CreatePictureWindow(const PictureWindowEvents& events);

// Loads the picture file (BMP, GIF, JPEG, PNG at least; of an animation the
// first frame) into the window and returns its size in pixels. Raises
// "File not found", "Path not found", "Permission denied", "Path is a folder"
// or "Invalid picture"; the window keeps its earlier picture then.
PictureSize LoadPicture(const std::u16string& file_name);

// Makes the visible area of the window (it has no frame) width x height pixels.
void SizePictureWindow(std::int32_t width, std::int32_t height);

// Shows the window without waiting, and gives it the keyboard.
void ShowPictureWindow();

// Starts the timer afresh with an interval of 0 to 65,535 ms (0 ticks at
// once); it ticks every interval until it is stopped.
void StartPictureTimer(std::int32_t interval);
void StopPictureTimer();

// Destroys the window; no more events arrive. The last window gone ends
// the message loop.
void UnloadPictureWindow();

}  // namespace platform
