// Scripting of the media player window: failing members, and events
// delivered from a test as the player would deliver them.
#pragma once

#include <cstdint>

#include "platform/media_window.h"
#include <string>
#include <string_view>

namespace fake {

// The named member ("LoadMediaWindow", "SetPlayerVolume", "SetPlayerUrl",
// "PlayerPlay", ...) raises a failure with `description` from now on.
void FailMediaCall(std::string_view member, std::u16string description);

// Plays the given media event or key press to the tool's handlers, as the
// player reports them. Nothing when no window is loaded.
void DeliverMediaEvent(platform::MediaEvent event);
void DeliverKeyPress(platform::MediaKey key);

// Whether a media window is loaded and not yet unloaded.
bool MediaWindowLoaded();

// Runs `action` inside the next call of the named member, after it is
// recorded: a player that reports events while a member call is under way.
void DuringMediaCall(std::string_view member, void (*action)());

}  // namespace fake
