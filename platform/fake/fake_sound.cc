#include <string>

#include "platform/fake/fake_platform.h"
#include "platform/sound.h"

namespace platform {

void Beep(std::int32_t frequency, std::int32_t duration) {
  fake::Record("Beep(" + std::to_string(frequency) + ", " + std::to_string(duration) + ")");
}

void PlaySound(const std::u16string& name, std::int32_t flags) {
  fake::Record("PlaySound(" + fake::Narrow(name) + ", " + std::to_string(flags) + ")");
}

}  // namespace platform
