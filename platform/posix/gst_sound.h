// The sound concern's player, for the other POSIX concerns' own sounds.
#pragma once

#include <chrono>
#include <string>

namespace platform {

// Plays a sound file of any kind GStreamer reads to its end, for `longest`
// at most; returns when done. A file that won't play is silence.
void PlaySoundFile(const std::string& path, std::chrono::seconds longest);

}  // namespace platform
