// DiceRoll: prints a random whole number between two bounds, both included.
#include <string>
#include <vector>

#include "console/command_line.h"
#include "console/failure.h"
#include "console/numbers.h"
#include "platform/random.h"
#include "tools/entry.h"
#include "tools/std_output.h"
#include "tools/text/random_range.h"

namespace dice_roll {

using qcp::RandomInRange;

constexpr std::u16string_view kHelp[] = {
    u"    DiceRoll.exe <lowest> <highest>",
    u"",
    u"    Generates a random number between (and including)",
    u"    the specified Lowest and Highest numbers.",
};

qcp::Status Main(std::u16string_view tail, qcp::IPrintTarget& out) {
  try {
    const std::vector<std::u16string> words = qcp::SplitWords(tail);
    platform::Randomize();
    const double lowest_value = qcp::NumericValue(words[0]);
    const double highest_value = qcp::NumericValue(words[1]);
    const std::int32_t highest = qcp::ToWholeNumber(highest_value);
    const std::int32_t lowest = qcp::ToWholeNumber(lowest_value);
    qcp::PrintLine(out, RandomInRange(lowest, highest));
    return qcp::Status::kDone;
  } catch (const qcp::Failure& failure) {
    std::u16string line = u"ERROR! - ";
    line += failure.Description();
    qcp::PrintLine(out, line);
    return qcp::Status::kFailed;
  }
}

}  // namespace dice_roll

namespace qcp::entries {
// DiceRoll, as the build reads it (cmake/tool_declarations.cmake):
//   Platform: random
//   Description: Prints a random whole number between two bounds
//   About: Prints a random whole number between the bounds, both included, with a blank after it
//     and, unless it is negative, before it.
//   Example: echo $(( $(DiceRoll 1 6) + 1 ))
//   Example: n=$(DiceRoll 1 6) && n=$((n)) && [ "$n" = 6 ] && echo six
//   Batch example: for /f %%n in ('DiceRoll.exe 1 6') do set DIE=%%n
//   Synopsis: lowest highest
//   Pack page: Prints a random whole number between the two bounds, both included, in
//     the form
//     .RB \(dq " 4 " \(dq
//     (a blank or minus sign, the digits, a blank).
extern const ToolEntry kDiceRoll{u"DiceRoll", dice_roll::kHelp, HelpRule::kFewerThanTwoWords, true, &dice_roll::Main};
}  // namespace qcp::entries
