#include <gtest/gtest.h>

#include "console/failure.h"
#include "platform/fake/fake_clock.h"
#include "tests/support/tool_test.h"

namespace UptimeClock::modStartup { void Main(); }
namespace DeskGuard::modStartup { void Main(); }
namespace Beep::modStartup { void Main(); }

namespace {

using qcp_test::HelpScreen;
using qcp_test::RunMain;
using Calls = std::vector<std::string>;

const std::string kUptimeHelp = HelpScreen({"    UptimeClock.exe", "", "    Returns the operating system tick count value."});
const std::string kDeskGuardHelp = HelpScreen({"    DeskGuard.exe", "", "    Locks the current Windows Workstation."});
const std::string kBeepHelp =
    HelpScreen({"    Beep.exe <frequency> <duration>", "", "    Beeps the internal speaker using the supplied values."});

TEST(UptimeClockTest, PrintsTheTickCountAsSigned) {
  for (auto [ticks, line] : {std::pair{0, "0\r\n"}, {123456, "123456\r\n"}, {-2147483647 - 1, "-2147483648\r\n"},
                             {-5, "-5\r\n"}}) {
    fake::Reset(u"help");
    fake::SetTickCount(ticks);
    UptimeClock::modStartup::Main();
    EXPECT_EQ(fake::StdOut(), line);
  }
}

TEST(UptimeClockTest, HelpSwitchAnywhereAfterCleaning) {
  for (const char16_t* tail : {u"/?", u"x/?y", u"\"/\"?", u"a /? b"}) {
    EXPECT_EQ(RunMain(UptimeClock::modStartup::Main, tail), kUptimeHelp);
    EXPECT_EQ(fake::Calls(), Calls{});
  }
}

TEST(DeskGuardTest, LocksUnlessTheSwitchIsGiven) {
  for (const char16_t* tail : {u"", u"now", u"/ ?"}) {
    EXPECT_EQ(RunMain(DeskGuard::modStartup::Main, tail), "");
    EXPECT_EQ(fake::Calls(), Calls{"LockWorkStation"});
  }
  EXPECT_EQ(RunMain(DeskGuard::modStartup::Main, u"please/?"), kDeskGuardHelp);
  EXPECT_EQ(fake::Calls(), Calls{});
}

TEST(BeepTest, HelpUnlessExactlyTwoWords) {
  for (const char16_t* tail : {u"", u"\"\"", u"440", u"440 200 1", u"440  200", u"440 200 ", u"/?"}) {
    EXPECT_EQ(RunMain(Beep::modStartup::Main, tail), kBeepHelp);
    EXPECT_EQ(fake::Calls(), Calls{});
  }
}

TEST(BeepTest, WordsGoThroughTheNumericValueAndRounding) {
  struct Case {
    const char16_t* tail;
    const char* call;
  };
  const Case cases[] = {
      {u"440 200", "Beep(440, 200)"},       {u"\"440\" \"200\"", "Beep(440, 200)"},
      {u"440Hz 0.5e3", "Beep(440, 500)"},   {u"&H1B8 100", "Beep(440, 100)"},
      {u"1000.5 10.5", "Beep(1000, 10)"},   {u"37 1", "Beep(37, 1)"},
      {u"32767 1", "Beep(32767, 1)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RunMain(Beep::modStartup::Main, c.tail), "");
    EXPECT_EQ(fake::Calls(), Calls{c.call}) << c.call;
  }
}

TEST(BeepTest, NoToneOutsideTheSpeakersRange) {
  for (const char16_t* tail : {u"2.5 1.5", u"a b", u"36 100", u"32768 100", u"440 0", u"440 -1", u"-440 100"}) {
    EXPECT_EQ(RunMain(Beep::modStartup::Main, tail), "");
    EXPECT_EQ(fake::Calls(), Calls{});
  }
}

TEST(BeepTest, OverflowIsLeftUncaught) {
  for (const char16_t* tail : {u"3000000000 1", u"440 1E12", u"1e999 1", u"440 2147483647.5"}) {
    fake::Reset(tail);
    EXPECT_THROW(Beep::modStartup::Main(), qcp::Failure);
    EXPECT_EQ(fake::Calls(), Calls{});
    EXPECT_EQ(fake::StdOut(), "");
  }
}

}  // namespace
