// WaveOnce: plays a WAVE file once and returns when it has played.
#include "console/command_line.h"
#include "console/help.h"
#include "console/std_output.h"
#include "platform/sound.h"

namespace WaveOnce::modStartup {

qcp::StdOutput objOutput;

void Main() {
  // The whole cleaned tail is the sound name, spaces and all.
  const std::u16string command_line = qcp::CleanCommandLine(qcp::CommandTail());
  objOutput = qcp::StdOutput();
  if (command_line.empty()) {
    qcp::PrintHelpScreen(objOutput, {
        u"    WaveOnce.exe <filename.wav>",
        u"",
        u"    Pass the filename of the WAVE file to play.",
        u"    Press CTRL+C to interrupt playback.",
    });
    return;
  }
  // A sound that cannot be found or played is silence, and nothing is printed.
  platform::PlaySound(command_line, platform::kSndSync | platform::kSndNoDefault);
}

}  // namespace WaveOnce::modStartup
