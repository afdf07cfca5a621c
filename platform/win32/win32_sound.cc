// Win32 sound: kernel32 Beep and winmm PlaySoundW.
#include "platform/win32/win32_common.h"

#include "platform/sound.h"

namespace platform {

void Beep(std::int32_t frequency, std::int32_t duration) {
  if (frequency < kLowestBeepFrequency || frequency > kHighestBeepFrequency) return;
  ::Beep(static_cast<DWORD>(frequency), static_cast<DWORD>(duration));
}

void PlayWave(const std::u16string& name, bool loop) {
  DWORD flags = SND_SYNC | SND_NODEFAULT;
  if (loop) flags |= SND_LOOP;
  ::PlaySoundW(Wide(name), nullptr, flags);
}

}  // namespace platform
