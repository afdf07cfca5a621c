#include <string>

#include "platform/fake/fake_platform.h"
#include "platform/sound.h"

namespace platform {

void Beep(std::int32_t frequency, std::int32_t duration) {
  fake::Record("Beep(" + std::to_string(frequency) + ", " + std::to_string(duration) + ")");
}

void PlayWave(const std::u16string& name, bool loop) {
  fake::Record("PlayWave(" + fake::Narrow(name) + (loop ? ", loop)" : ")"));
}

}  // namespace platform
