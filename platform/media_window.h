// The media player window: a hidden window with the media player in it, set
// up to fill the screen with the picture stretched, no player controls, no
// error dialogs of its own, its context menu available, and playback
// starting as soon as a URL is set. It reports play-state changes, key
// presses and media errors; what they mean is the tool's business.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Play states, numbered as the player control numbers them.
inline constexpr std::int32_t kPlayStateUndefined = 0;
inline constexpr std::int32_t kPlayStateStopped = 1;
inline constexpr std::int32_t kPlayStatePaused = 2;
inline constexpr std::int32_t kPlayStatePlaying = 3;
inline constexpr std::int32_t kPlayStateMediaEnded = 8;
inline constexpr std::int32_t kPlayStateTransitioning = 9;
inline constexpr std::int32_t kPlayStateReady = 10;

// The tool's handlers. They run on the tool's one thread, one at a time,
// usually from the message loop but possibly from inside SetPlayerUrl or
// PlayerPlay, and must not throw.
struct MediaWindowEvents {
  void (*play_state_change)(std::int32_t new_state);
  void (*key_press)(std::int16_t key_ascii);
  // The media cannot be opened or played any further.
  void (*media_error)();
};

// Creates the hidden window and its player; the window counts as open for
// the message loop until it is unloaded. Raises a failure when no player
// can be made.
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
