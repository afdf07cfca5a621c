// The media player window: a hidden window with the media player in it, set
// up to fill the screen with the picture stretched, no player controls, no
// error dialogs of its own, its context menu available, and playback
// starting as soon as a URL is set. It reports what happens to the media and
// key presses; what they mean is the tool's business.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// What happens to the media. A player reports these in no fixed order, may
// repeat them, and need not report all of them.
enum class MediaEvent {
  kOpened,   // the media is open and ready to play
  kPlaying,
  kPaused,
  kEnded,    // played to its end, or stopped
  kFailed,   // the media cannot be opened or played any further
};

// The keys the tool tells apart; any other typed key is kOther.
enum class MediaKey { kEscape, kSpace, kOther };

// The tool's handlers. They run on the tool's one thread, one at a time,
// usually from the message loop but possibly from inside SetPlayerUrl or
// PlayerPlay, and must not throw.
struct MediaWindowEvents {
  void (*media_event)(MediaEvent event);
  void (*key_press)(MediaKey key);
};

// Creates the hidden window and its player; the window counts as open for
// the message loop until it is unloaded. Raises unfulfilled when there is
// no display, a failure when no player can be made.
void LoadMediaWindow(const MediaWindowEvents& events);

// Members of the player. Each raises a failure with a description when the
// player reports one; with no window loaded they do nothing.
void SetPlayerVolume(std::int32_t volume);
void SetPlayerPlayCount(std::int32_t count);
void SetPlayerUrl(const std::u16string& url);
void PlayerPlay();
void PlayerPause();

// Shows the window full screen; nothing when it is already shown.
void ShowMediaWindow();

// Stops playback and discards the window; no more events arrive. When it
// was the last window, the message loop ends. Nothing when none is loaded.
void UnloadMediaWindow();

}  // namespace platform
