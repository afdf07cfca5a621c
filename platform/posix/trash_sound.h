// The sound of the trash being emptied, from the desktop's sound theme.
#pragma once

namespace platform {

// Plays the theme's "trash-empty" sound unless the desktop has event sounds
// off; returns when it has played.
void PlayEmptyingSound();

}  // namespace platform
