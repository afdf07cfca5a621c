// The wave pair: WaveOnce plays a WAVE file once and returns when it has
// played; WaveRepeat makes the same request with the loop flag. Each is a
// program of its own.
#include "platform/sound.h"
#include "tools/entry.h"
#include "tools/std_output.h"

namespace qcp::entries {

namespace {

// The whole cleaned tail is the sound name, spaces and all. What the loop
// flag does with the one synchronous request is the sound service's matter;
// the tool ends when the request returns.
template <bool kLoop>
Status WaveMain(std::u16string_view tail, IPrintTarget&) {
  platform::PlayWave(std::u16string(tail), kLoop);
  return Status::kDone;
}

constexpr std::u16string_view kWaveOnceHelp[] = {
    u"    WaveOnce.exe <filename.wav>",
    u"",
    u"    Pass the filename of the WAVE file to play.",
    u"    Press CTRL+C to interrupt playback.",
};
// "Looping doesn't work yet!" is the system's own text, kept as it is.
constexpr std::u16string_view kWaveRepeatHelp[] = {
    u"    WaveRepeat.exe <filename.wav>",
    u"",
    u"    Pass the filename of the WAVE file to play.",
    u"    Press Ctrl+C to stop playing. Looping doesn't work yet!",
};

}  // namespace

// WaveOnce, as the build reads it (cmake/tool_declarations.cmake):
//   Platform: sound
//   Description: Plays a WAVE file once
//   About: Plays a WAVE file and returns when it has ended.
//   Example: WaveOnce ~/Sounds/done.wav
//   Batch example: WaveOnce.exe C:\Sounds\done.wav
//   Synopsis: file.wav
//   Pack page: Plays a WAVE file and returns when it has played to its end.
extern const ToolEntry kWaveOnce{u"WaveOnce", kWaveOnceHelp, HelpRule::kEmptyTail, true, &WaveMain<false>};
// WaveRepeat, as the build reads it (cmake/tool_declarations.cmake):
//   Platform: sound
//   Description: Plays a WAVE file with the loop flag
//   About: The same request with the loop flag. It plays once.
//   Example: WaveRepeat alarm.wav
//   Batch example: WaveRepeat.exe alarm.wav
//   Synopsis: file.wav
//   Pack page: The same request with the loop flag; it plays the sound once.
extern const ToolEntry kWaveRepeat{u"WaveRepeat", kWaveRepeatHelp, HelpRule::kEmptyTail, true, &WaveMain<true>};

}  // namespace qcp::entries
