// DiceRoll: prints a random whole number between two bounds, both included.
#include <string>
#include <vector>

#include "console/command_line.h"
#include "console/failure.h"
#include "console/help.h"
#include "console/numbers.h"
#include "console/std_output.h"
#include "platform/random.h"
#include "tools/text/random_range.h"

namespace DiceRoll::modStartup {

qcp::StdOutput objOutput;

using qcp::RandomInRange;

void ShowUsage() {
  qcp::PrintHelpScreen(objOutput, {
      u"    DiceRoll.exe <lowest> <highest>",
      u"",
      u"    Generates a random number between (and including)",
      u"    the specified Lowest and Highest numbers.",
  });
}

void Main() {
  try {
    const std::u16string command_line = qcp::CleanCommandLine(qcp::CommandTail());
    objOutput = qcp::StdOutput();
    const std::vector<std::u16string> words = qcp::SplitWords(command_line);
    if (command_line.empty() || words.size() < 2) {
      ShowUsage();
      return;
    }
    platform::Randomize();
    const double lowest_value = qcp::NumericValue(words[0]);
    const double highest_value = qcp::NumericValue(words[1]);
    const std::int32_t highest = qcp::ToWholeNumber(highest_value);
    const std::int32_t lowest = qcp::ToWholeNumber(lowest_value);
    qcp::PrintLine(objOutput, RandomInRange(lowest, highest));
  } catch (const qcp::Failure& failure) {
    std::u16string line = u"ERROR! - ";
    line += failure.Description();
    qcp::PrintLine(objOutput, line);
  }
}

}  // namespace DiceRoll::modStartup
