#include "platform/fake/fake_media_window.h"

#include <map>

#include "console/failure.h"
#include "platform/fake/fake_platform.h"
#include "platform/media_window.h"

namespace fake {
namespace {

struct MediaState {
  bool loaded = false;
  platform::MediaWindowEvents events{};
  std::map<std::string, std::u16string, std::less<>> failures;
  std::map<std::string, void (*)(), std::less<>> during;
};

MediaState& Media() {
  static MediaState state;
  return state;
}

const Resetter reset_media([] { Media() = MediaState{}; });

// Records the call, or raises when the member is scripted to fail; then
// runs what the test wants to happen while the call is under way.
void Call(std::string_view member, const std::string& record) {
  if (auto failure = Media().failures.find(member); failure != Media().failures.end()) {
    Record(record + " failed");
    qcp::Raise(failure->second);
  }
  Record(record);
  if (auto during = Media().during.find(member); during != Media().during.end()) {
    void (*action)() = during->second;
    Media().during.erase(during);
    action();
  }
}

}  // namespace

void FailMediaCall(std::string_view member, std::u16string description) {
  Media().failures[std::string(member)] = std::move(description);
}

void DuringMediaCall(std::string_view member, void (*action)()) { Media().during[std::string(member)] = action; }

void DeliverMediaEvent(platform::MediaEvent event) {
  if (Media().loaded) Media().events.media_event(event);
}

void DeliverKeyPress(std::int16_t key_ascii) {
  if (Media().loaded) Media().events.key_press(key_ascii);
}

bool MediaWindowLoaded() { return Media().loaded; }

}  // namespace fake

namespace platform {

void LoadMediaWindow(const MediaWindowEvents& events) {
  fake::Call("LoadMediaWindow", "LoadMediaWindow");
  fake::Media().loaded = true;
  fake::Media().events = events;
}

void SetPlayerVolume(std::int32_t volume) {
  fake::Call("SetPlayerVolume", "SetPlayerVolume(" + std::to_string(volume) + ")");
}

void SetPlayerPlayCount(std::int32_t count) {
  fake::Call("SetPlayerPlayCount", "SetPlayerPlayCount(" + std::to_string(count) + ")");
}

void SetPlayerUrl(const std::u16string& url) {
  fake::Call("SetPlayerUrl", "SetPlayerUrl(" + fake::Narrow(url) + ")");
}

void PlayerPlay() {
  fake::Call("PlayerPlay", "PlayerPlay");
}

void PlayerPause() {
  fake::Call("PlayerPause", "PlayerPause");
}

void ShowMediaWindow() {
  fake::Call("ShowMediaWindow", "ShowMediaWindow");
}

void UnloadMediaWindow() {
  if (!fake::Media().loaded) return;
  fake::Media().loaded = false;
  fake::Record("UnloadMediaWindow");
}

}  // namespace platform
