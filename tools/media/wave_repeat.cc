// WaveRepeat: plays a WAVE file with the loop flag; one request, then it ends.
#include "console/command_line.h"
#include "platform/sound.h"
#include "tools/entry.h"
#include "tools/help.h"
#include "tools/std_output.h"

namespace wave_repeat {

void ShowUsage(qcp::IPrintTarget& out) {
  qcp::PrintHelpScreen(out, {
      u"    WaveRepeat.exe <filename.wav>",
      u"",
      u"    Pass the filename of the WAVE file to play.",
      u"    Press Ctrl+C to stop playing. Looping doesn't work yet!",
  });
}

void Main(std::u16string_view tail, qcp::IPrintTarget& out) {
  const std::u16string command_line = qcp::CleanCommandLine(tail);
  if (command_line.empty()) {
    ShowUsage(out);
    return;
  }
  // Still a synchronous request: what the loop flag does with it is the
  // sound service's matter, and the tool ends when the request returns.
  platform::PlayWave(command_line, /*loop=*/true);
}

extern const qcp::ToolEntry kTool{u"WaveRepeat", &Main};

}  // namespace wave_repeat
