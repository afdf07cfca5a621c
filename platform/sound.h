// Tones and WAVE sounds.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Sounds a tone; returns when it has ended.
void Beep(std::int32_t frequency, std::int32_t duration);

// PlaySound flags the tools use.
inline constexpr std::int32_t kSndSync = 0;
inline constexpr std::int32_t kSndNoDefault = 2;
inline constexpr std::int32_t kSndLoop = 8;

// Plays the named sound as the flags say; returns when the request is done.
void PlaySound(const std::u16string& name, std::int32_t flags);

}  // namespace platform
