#include <gtest/gtest.h>

#include "console/failure.h"
#include "platform/fake/fake_clock.h"
#include "tests/support/tool_test.h"

QCP_TOOL_UNDER_TEST(UptimeClock)
QCP_TOOL_UNDER_TEST(DeskGuard)
QCP_TOOL_UNDER_TEST(Beep)

namespace {

using qcp_test::RunMain;
using Calls = fake::CallList;

TEST(UptimeClockTest, PrintsTheTickCountAsSigned) {
  for (auto [ticks, line] : {std::pair{0, "0\r\n"}, {123456, "123456\r\n"}, {-2147483647 - 1, "-2147483648\r\n"},
                             {-5, "-5\r\n"}}) {
    fake::Reset();
    fake::SetTickCount(ticks);
    qcp_test::Call(qcp::entries::kUptimeClock, u"help");
    EXPECT_EQ(fake::StdOut(), line);
  }
}

TEST(DeskGuardTest, LocksUnlessTheSwitchIsGiven) {
  for (const char16_t* tail : {u"", u"now", u"/ ?"}) {
    EXPECT_EQ(RunMain(qcp::entries::kDeskGuard, tail), "");
    EXPECT_EQ(fake::Calls(), Calls{fake::LockSessionCall{}});
  }
}

TEST(BeepTest, WordsGoThroughTheNumericValueAndRounding) {
  struct Case {
    const char16_t* tail;
    fake::BeepCall call;
  };
  const Case cases[] = {
      {u"440 200", {440, 200}},     {u"\"440\" \"200\"", {440, 200}},
      {u"440Hz 0.5e3", {440, 500}}, {u"&H1B8 100", {440, 100}},
      {u"1000.5 10.5", {1000, 10}}, {u"37 1", {37, 1}},
      {u"32767 1", {32767, 1}},
      // The sound backend refuses a frequency outside the speaker's range.
      {u"36 100", {36, 100}},       {u"-440 100", {-440, 100}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RunMain(qcp::entries::kBeep, c.tail), "");
    EXPECT_EQ(fake::Calls(), Calls{c.call}) << fake::Narrow(c.tail);
  }
}

TEST(BeepTest, NoToneWithoutADuration) {
  for (const char16_t* tail : {u"a b", u"440 0", u"440 -1", u"20 0.4"}) {
    EXPECT_EQ(RunMain(qcp::entries::kBeep, tail), "");
    EXPECT_EQ(fake::Calls(), Calls{});
  }
}

TEST(BeepTest, OverflowIsLeftUncaught) {
  for (const char16_t* tail : {u"3000000000 1", u"440 1E12", u"1e999 1", u"440 2147483647.5"}) {
    fake::Reset();
    EXPECT_THROW(qcp_test::Call(qcp::entries::kBeep, tail), qcp::Failure);
    EXPECT_EQ(fake::Calls(), Calls{});
    EXPECT_EQ(fake::StdOut(), "");
  }
}

}  // namespace
