// QuipMaker: prints one randomly assembled No Mrs Bramblewick sentence.
#include <array>
#include <string>
#include <string_view>

#include "platform/random.h"
#include "tools/entry.h"
#include "tools/std_output.h"
#include "tools/text/random_range.h"

namespace quip_maker {

using qcp::RandomInRange;
using Word = std::u16string_view;

// The phrases, their spelling and their order are the system's own texts
// (the order decides which draw picks which word): they stay as they are.
std::u16string MakeQuote() {
  platform::Randomize();

  static constexpr std::array<Word, 2> answer = {u"Yes", u"No"};
  static constexpr std::array<Word, 5> title = {u"Ms", u"Miss", u"Mrs", u"Mr", u"Dr"};
  static constexpr std::array<Word, 6> verb = {u"is",       u"isn't",    u"might be",
                                               u"won't be", u"could be", u"is possibly"};
  static constexpr std::array<Word, 4> possessive = {u"my", u"your", u"her", u"his"};
  static constexpr std::array<Word, 70> noun = {
      u"banjo",           u"trumpet",      u"pantaloon",     u"bunion",      u"bongo",            // 0
      u"parachute",       u"trombone",     u"kazoo",         u"cardigan",    u"cucumber",         // 5
      u"piano",           u"doberman",     u"tea cosy",      u"warcamp",     u"boat",             // 10
      u"roffle",          u"wellington boot", u"salad finger", u"internet fad", u"dotcom",        // 15
      u"spatula",         u"rubber duck",  u"probe",         u"hamster",     u"teapot",           // 20
      u"crumpet",         u"garden gnome", u"oboe",          u"ukulele",     u"sock puppet",      // 25
      u"pontoon",         u"walrus",       u"shingle",       u"pogo stick",  u"trouser press",    // 30
      u"email",           u"wonga",        u"blow-torch",    u"hair",        u"lava lamp",        // 35
      u"bilge",           u"bagpipe",      u"backpack",      u"custard",     u"llama",            // 40
      u"moustache",       u"whoopee cushion", u"egg whisk",  u"electricity", u"compost",          // 45
      u"Sci-Fi series",   u"trampoline",   u"pineapple",     u"ferret",      u"intestine",        // 50
      u"jelly mould",     u"accordion",    u"penguin",       u"tuba",        u".. eh?",           // 55
      u".. oops!",        u"haggis",       u"spaceship",     u"foot rest",   u"l33t haXx0r",      // 60
      u"virus",           u"tiddlywink",   u"pork pie",      u"bathtub",     u"spud",             // 65
  };

  // One fraction per draw, in this order; the initial comes last.
  const Word answer_entry = answer[RandomInRange(0, 1)];
  const Word title_entry = title[RandomInRange(0, 4)];
  const Word verb_entry = verb[RandomInRange(0, 5)];
  const Word possessive_entry = possessive[RandomInRange(0, 3)];
  const Word noun_entry = noun[RandomInRange(0, 69)];

  std::u16string sentence;
  sentence += answer_entry;
  sentence += u' ';
  sentence += title_entry;
  sentence += u' ';
  sentence += static_cast<char16_t>(RandomInRange(65, 90));
  sentence += u", that ";
  sentence += verb_entry;
  sentence += u' ';
  sentence += possessive_entry;
  sentence += u' ';
  sentence += noun_entry;
  sentence += u'.';
  return sentence;
}

constexpr std::u16string_view kHelp[] = {
    u"    QuipMaker.exe",
    u"",
    u"    Displays a random No Mrs Bramblewick quote.",
};

qcp::Status Main(std::u16string_view, qcp::IPrintTarget& out) {
  qcp::PrintLine(out, MakeQuote());
  return qcp::Status::kDone;
}

}  // namespace quip_maker

namespace qcp::entries {
// QuipMaker, as the build reads it (cmake/tool_declarations.cmake):
//   Platform: random
//   Description: Prints a random joke sentence
//   About: Prints a random joke sentence.
//   Example: QuipMaker
//   Batch example: QuipMaker.exe
//   Pack page: Prints a random joke sentence.
extern const ToolEntry kQuipMaker{u"QuipMaker", quip_maker::kHelp, HelpRule::kHelpSwitch, true, &quip_maker::Main};
}  // namespace qcp::entries
