#include "platform/fake/fake_platform.h"
#include "platform/sound.h"

namespace platform {

void Beep(std::int32_t frequency, std::int32_t duration) {
  fake::Record(fake::BeepCall{frequency, duration});
}

void PlayWave(const std::u16string& name, bool loop) {
  fake::Record(fake::PlayWaveCall{name, loop});
}

}  // namespace platform
