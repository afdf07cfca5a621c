// Tones and WAVE sounds.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The speaker's range of frequencies (Hz).
inline constexpr std::int32_t kLowestBeepFrequency = 37;
inline constexpr std::int32_t kHighestBeepFrequency = 32767;

// Sounds a tone of a positive duration (ms); returns when it has ended. A
// frequency outside the speaker's range sounds nothing. Natively, that, or
// a tone that cannot be sounded, raises unfulfilled.
void Beep(std::int32_t frequency, std::int32_t duration);

// Plays the named WAVE sound, never a default sound in its place; returns
// when the request is done. What `loop` does with a request that returns is
// the sound service's matter. Natively, a sound that cannot be found or
// played raises unfulfilled.
void PlayWave(const std::u16string& name, bool loop);

}  // namespace platform
