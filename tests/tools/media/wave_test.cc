#include <gtest/gtest.h>

#include "tests/support/tool_test.h"

namespace WaveOnce::modStartup { void Main(); }
namespace WaveRepeat::modStartup { void Main(); }

namespace {

using qcp_test::HelpScreen;
using qcp_test::RunMain;
using Calls = std::vector<std::string>;

struct Tool {
  void (*main)();
  const char* name;
  std::string help;
  int flags;
};

const Tool kTools[] = {
    {WaveOnce::modStartup::Main, "WaveOnce",
     HelpScreen({"    WaveOnce.exe <filename.wav>", "", "    Pass the filename of the WAVE file to play.",
                 "    Press CTRL+C to interrupt playback."}),
     2},
    {WaveRepeat::modStartup::Main, "WaveRepeat",
     HelpScreen({"    WaveRepeat.exe <filename.wav>", "", "    Pass the filename of the WAVE file to play.",
                 "    Press Ctrl+C to stop playing. Looping doesn't work yet!"}),
     10},
};

TEST(WaveTest, HelpOnlyForAnEmptyCleanedLine) {
  for (const Tool& tool : kTools) {
    for (const char16_t* tail : {u"", u"\"", u"\"\"\""}) {
      EXPECT_EQ(RunMain(tool.main, tail), tool.help) << tool.name;
      EXPECT_EQ(fake::Calls(), Calls{}) << tool.name;
    }
  }
}

TEST(WaveTest, TheWholeCleanedTailIsOneSynchronousRequest) {
  struct Case {
    const char16_t* tail;
    const char* name;
  };
  const Case cases[] = {
      {u"ding.wav", "ding.wav"},
      {u"/?", "/?"},
      {u"\"C:\\My Music\\ding.wav\"", "C:\\My Music\\ding.wav"},
      {u"C:\\My Music\\ding.wav", "C:\\My Music\\ding.wav"},
      {u"ding.wav  second word ", "ding.wav  second word "},
      {u" ", " "},
      {u"\u00e9t\u00e9 \u266b.wav", "\u00e9t\u00e9 \u266b.wav"},
  };
  for (const Tool& tool : kTools) {
    for (const Case& c : cases) {
      EXPECT_EQ(RunMain(tool.main, c.tail), "") << tool.name;
      const std::string call = "PlaySound(" + std::string(c.name) + ", " + std::to_string(tool.flags) + ")";
      EXPECT_EQ(fake::Calls(), Calls{call}) << tool.name;
    }
  }
}

}  // namespace
