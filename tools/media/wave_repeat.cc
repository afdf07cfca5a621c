// WaveRepeat: plays a WAVE file with the loop flag; one request, then it ends.
#include "console/command_line.h"
#include "console/help.h"
#include "console/std_output.h"
#include "platform/sound.h"

namespace WaveRepeat::modStartup {

qcp::StdOutput objOutput;

void Main() {
  const std::u16string command_line = qcp::CleanCommandLine(qcp::CommandTail());
  objOutput = qcp::StdOutput();
  if (command_line.empty()) {
    qcp::PrintHelpScreen(objOutput, {
        u"    WaveRepeat.exe <filename.wav>",
        u"",
        u"    Pass the filename of the WAVE file to play.",
        u"    Press Ctrl+C to stop playing. Looping doesn't work yet!",
    });
    return;
  }
  // Still a synchronous request: what the loop flag does with it is the
  // sound service's matter, and the tool ends when the request returns.
  platform::PlaySound(command_line, platform::kSndSync | platform::kSndNoDefault | platform::kSndLoop);
}

}  // namespace WaveRepeat::modStartup
