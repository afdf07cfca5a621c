// Tones and WAVE sounds.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Sounds a tone; returns when it has ended.
void Beep(std::int32_t frequency, std::int32_t duration);

// Plays the named WAVE sound, never a default sound in its place; returns
// when the request is done. What `loop` does with a request that returns is
// the sound service's matter. Natively, a sound that cannot be found or
// played raises unfulfilled.
void PlayWave(const std::u16string& name, bool loop);

}  // namespace platform
