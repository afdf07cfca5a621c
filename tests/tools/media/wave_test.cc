#include <gtest/gtest.h>

#include "tests/support/tool_test.h"

QCP_TOOL_UNDER_TEST(WaveOnce)
QCP_TOOL_UNDER_TEST(WaveRepeat)

namespace {

using qcp_test::RunMain;
using Calls = fake::CallList;

struct Tool {
  const qcp::ToolEntry& main;
  const char* name;
  bool loop;
};

const Tool kTools[] = {
    {qcp::entries::kWaveOnce, "WaveOnce", false},
    {qcp::entries::kWaveRepeat, "WaveRepeat", true},
};

TEST(WaveTest, TheWholeCleanedTailIsOneSynchronousRequest) {
  struct Case {
    const char16_t* tail;
    const char16_t* name;
  };
  const Case cases[] = {
      {u"ding.wav", u"ding.wav"},
      {u"/?", u"/?"},
      {u"\"C:\\My Music\\ding.wav\"", u"C:\\My Music\\ding.wav"},
      {u"C:\\My Music\\ding.wav", u"C:\\My Music\\ding.wav"},
      {u"ding.wav  second word ", u"ding.wav  second word "},
      {u" ", u" "},
      {u"\u00e9t\u00e9 \u266b.wav", u"\u00e9t\u00e9 \u266b.wav"},
  };
  for (const Tool& tool : kTools) {
    for (const Case& c : cases) {
      EXPECT_EQ(RunMain(tool.main, c.tail), "") << tool.name;
      EXPECT_EQ(fake::Calls(), (Calls{fake::PlayWaveCall{c.name, tool.loop}})) << tool.name;
    }
  }
}

}  // namespace
