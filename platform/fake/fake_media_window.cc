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

// Records the call, and raises when the member is scripted to fail; then
// runs what the test wants to happen while the call is under way.
void Member(std::string_view member, Call record) {
  Record(std::move(record));
  if (auto failure = Media().failures.find(member); failure != Media().failures.end()) {
    Record(FailedCall{});
    qcp::Raise(failure->second);
  }
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

void DeliverKeyPress(platform::MediaKey key) {
  if (Media().loaded) Media().events.key_press(key);
}

bool MediaWindowLoaded() { return Media().loaded; }

}  // namespace fake

namespace platform {

void LoadMediaWindow(const MediaWindowEvents& events) {
  fake::Member("LoadMediaWindow", fake::LoadMediaWindowCall{});
  fake::Media().loaded = true;
  fake::Media().events = events;
}

void SetPlayerVolume(std::int32_t volume) {
  fake::Member("SetPlayerVolume", fake::SetPlayerVolumeCall{volume});
}

void SetPlayerPlayCount(std::int32_t count) {
  fake::Member("SetPlayerPlayCount", fake::SetPlayerPlayCountCall{count});
}

void SetPlayerUrl(const std::u16string& url) {
  fake::Member("SetPlayerUrl", fake::SetPlayerUrlCall{url});
}

void PlayerPlay() {
  fake::Member("PlayerPlay", fake::PlayerPlayCall{});
}

void PlayerPause() {
  fake::Member("PlayerPause", fake::PlayerPauseCall{});
}

void ShowMediaWindow() {
  fake::Member("ShowMediaWindow", fake::ShowMediaWindowCall{});
}

void UnloadMediaWindow() {
  if (!fake::Media().loaded) return;
  fake::Media().loaded = false;
  fake::Record(fake::UnloadMediaWindowCall{});
}

}  // namespace platform
