// Scripting of the picture window: which files load, and the window's
// events, delivered by the test as the message loop would deliver them.
#pragma once

#include <cstdint>
#include <string>

#include "platform/picture_window.h"

namespace fake {

// `name` loads as a picture of this size. Names not scripted fail with
// "File not found".
void SetPicture(std::u16string name, std::int32_t width, std::int32_t height);
// `name` fails to load with this description.
void SetPictureFailure(std::u16string name, std::u16string description);

// Each delivers one event to the loaded window; false (and nothing
// delivered) when no window is loaded, or for the tick, no timer runs.
bool ClickPicture();
bool ReleaseKey(platform::PictureKey key);
bool AskToClose();
bool TickTimer();

bool PictureWindowLoaded();
bool PictureWindowShown();
// The running timer's interval in ms, or -1 when it is stopped.
std::int32_t PictureTimerInterval();

}  // namespace fake
