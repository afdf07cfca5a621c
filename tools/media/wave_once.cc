// WaveOnce: plays a WAVE file once and returns when it has played.
#include "console/command_line.h"
#include "platform/sound.h"
#include "tools/entry.h"
#include "tools/help.h"
#include "tools/std_output.h"

namespace wave_once {

void ShowUsage(qcp::IPrintTarget& out) {
  qcp::PrintHelpScreen(out, {
      u"    WaveOnce.exe <filename.wav>",
      u"",
      u"    Pass the filename of the WAVE file to play.",
      u"    Press CTRL+C to interrupt playback.",
  });
}

void Main(std::u16string_view tail, qcp::IPrintTarget& out) {
  // The whole cleaned tail is the sound name, spaces and all.
  const std::u16string command_line = qcp::CleanCommandLine(tail);
  if (command_line.empty()) {
    ShowUsage(out);
    return;
  }
  platform::PlayWave(command_line, /*loop=*/false);
}

extern const qcp::ToolEntry kTool{u"WaveOnce", &Main};

}  // namespace wave_once
