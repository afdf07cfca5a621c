#include "platform/fake/fake_picture_window.h"

#include <map>
#include <string>

#include "console/failure.h"
#include "platform/fake/fake_platform.h"
#include "platform/picture_window.h"

namespace fake {
namespace {

struct Script {
  platform::PictureSize size;
  std::u16string failure;
};

struct Window {
  std::map<std::u16string, Script> pictures;
  bool loaded = false;
  bool shown = false;
  std::int32_t timer = -1;
  platform::PictureWindowEvents events{};
};

Window window;
const Resetter reset_picture_window([] { window = Window{}; });

}  // namespace

void SetPicture(std::u16string name, std::int32_t width, std::int32_t height) {
  window.pictures[std::move(name)] = Script{{width, height}, u""};
}

void SetPictureFailure(std::u16string name, std::u16string description) {
  window.pictures[std::move(name)] = Script{{}, std::move(description)};
}

bool ClickPicture() {
  if (!window.loaded || window.events.click == nullptr) return false;
  window.events.click();
  return true;
}

bool ReleaseKey(platform::PictureKey key) {
  if (!window.loaded || window.events.key_up == nullptr) return false;
  window.events.key_up(key);
  return true;
}

bool AskToClose() {
  if (!window.loaded || window.events.close == nullptr) return false;
  window.events.close();
  return true;
}

bool TickTimer() {
  if (!window.loaded || window.timer < 0 || window.events.timer == nullptr) return false;
  window.events.timer();
  return true;
}

bool PictureWindowLoaded() { return window.loaded; }
bool PictureWindowShown() { return window.loaded && window.shown; }
std::int32_t PictureTimerInterval() { return window.timer; }

}  // namespace fake

namespace platform {

void CreatePictureWindow(const PictureWindowEvents& events) {
  fake::Record(fake::CreatePictureWindowCall{});
  fake::window.loaded = true;
  fake::window.shown = false;
  fake::window.events = events;
}

PictureSize LoadPicture(const std::u16string& file_name) {
  fake::Record(fake::LoadPictureCall{file_name});
  const auto found = fake::window.pictures.find(file_name);
  if (found == fake::window.pictures.end()) qcp::Raise(qcp::failures::kFileNotFound);
  if (!found->second.failure.empty()) qcp::Raise(found->second.failure);
  return found->second.size;
}

void SizePictureWindow(std::int32_t width, std::int32_t height) {
  fake::Record(fake::SizePictureWindowCall{width, height});
}

void ShowPictureWindow() {
  fake::Record(fake::ShowPictureWindowCall{});
  fake::window.shown = true;
}

void StartPictureTimer(std::int32_t interval) {
  fake::Record(fake::StartPictureTimerCall{interval});
  fake::window.timer = interval;
}

void StopPictureTimer() {
  fake::Record(fake::StopPictureTimerCall{});
  fake::window.timer = -1;
}

void UnloadPictureWindow() {
  fake::Record(fake::UnloadPictureWindowCall{});
  fake::window.loaded = false;
  fake::window.shown = false;
  fake::window.timer = -1;
  fake::window.events = {};
}

}  // namespace platform
