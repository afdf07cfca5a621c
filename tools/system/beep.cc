// Beep: sounds a tone of the given frequency (Hz) and duration (ms).
#include "console/command_line.h"
#include "console/numbers.h"
#include "platform/sound.h"
#include "tools/entry.h"
#include "tools/std_output.h"

namespace beep {

constexpr std::u16string_view kHelp[] = {
    u"    Beep.exe <frequency> <duration>",
    u"",
    u"    Beeps the internal speaker using the supplied values.",
};

qcp::Status Main(std::u16string_view tail, qcp::IPrintTarget&) {
  const std::vector<std::u16string> words = qcp::SplitWords(tail);
  const double frequency_value = qcp::NumericValue(words[0]);
  const double duration_value = qcp::NumericValue(words[1]);
  const std::int32_t duration = qcp::ToWholeNumber(duration_value);
  const std::int32_t frequency = qcp::ToWholeNumber(frequency_value);
  // No duration is no tone at all (a negative one would otherwise ask for a
  // tone of 49.7 days); the frequency's range is the sound backend's matter.
  if (duration <= 0) return qcp::Status::kDone;
  platform::Beep(frequency, duration);
  return qcp::Status::kDone;
}

}  // namespace beep

namespace qcp::entries {
// Beep, as the build reads it (cmake/tool_declarations.cmake):
//   Platform: sound
//   Description: Sounds a tone of a given frequency and duration
//   About: Sounds a tone: 37 to 32767 Hz, duration in milliseconds.
//   Example: Beep 440 200
//   Batch example: Beep.exe 440 200
//   Synopsis: frequency duration
//   Pack page: Sounds a sine tone of
//     .I frequency
//     hertz (37 to 32767) for
//     .I duration
//     milliseconds on the default audio output and returns when it has ended.
extern const ToolEntry kBeep{u"Beep", beep::kHelp, HelpRule::kExactlyTwoWords, true, &beep::Main};
}  // namespace qcp::entries
