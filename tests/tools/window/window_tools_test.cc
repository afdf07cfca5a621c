#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_window_control.h"
#include "tests/support/tool_test.h"
#include "tools/window/window_targeting.h"

namespace PaneShut::modStartup { void Main(); }
namespace PaneRevive::modStartup { void Main(); }
namespace PaneShrink::modStartup { void Main(); }
namespace PaneGrow::modStartup { void Main(); }
namespace PanePin::modStartup { void Main(); }
namespace PaneUnpin::modStartup { void Main(); }

namespace {

using qcp_test::HelpScreen;
using qcp_test::RunMain;
using Calls = std::vector<std::string>;

struct Tool {
  const char* name;
  void (*main)();
  std::string help;
  std::string action;  // the call on window 0x1234
};

const Tool kTools[] = {
    {"PaneShut", PaneShut::modStartup::Main,
     HelpScreen({"    PaneShut.exe <window caption>", "", "    Pass the name of the window (minus quotes!) that",
                 "    you would like to be closed. Pass a 0 (zero) to", "    close the currently active window."}),
     "PostMessage(0x1234, 0x112, 0xf060, 0)"},
    {"PaneRevive", PaneRevive::modStartup::Main,
     HelpScreen({"    PaneRevive.exe <window caption>", "", "    Pass the name of the window (minus quotes!) that",
                 "    you would like to restore. Pass a 0 (zero) to restore", "    the currently active window."}),
     "PostMessage(0x1234, 0x112, 0xf120, 0)"},
    {"PaneShrink", PaneShrink::modStartup::Main,
     HelpScreen({"    PaneShrink.exe <window caption>", "", "    Pass the name of the window (minus quotes!) that",
                 "    you would like to be minimized. Pass a 0 (zero) to", "    minimize the currently active window."}),
     "PostMessage(0x1234, 0x112, 0xf020, 0)"},
    {"PaneGrow", PaneGrow::modStartup::Main,
     HelpScreen({"    PaneGrow.exe <window caption>", "", "    Pass the name of the window (minus quotes!) that",
                 "    you would like to be maximized. Pass a 0 (zero) to", "    maximize the currently active window."}),
     "PostMessage(0x1234, 0x112, 0xf030, 0)"},
    {"PanePin", PanePin::modStartup::Main,
     HelpScreen({"    PanePin.exe <window caption>", "", "    Pass the name of the window (minus quotes!) that",
                 "    you would like to be topmost (stickied). Pass a", "    0 (zero) to make the currently active window",
                 "    topmost (stickied)."}),
     "SetWindowPos(0x1234, -1, 0, 0, 0, 0, 3)"},
    {"PaneUnpin", PaneUnpin::modStartup::Main,
     HelpScreen({"    PaneUnpin.exe <window caption>", "", "    Pass the name of the window (minus quotes!) that",
                 "    you would like to not be topmost. Pass a 0 (zero)",
                 "    to make the currently active window not topmost."}),
     "SetWindowPos(0x1234, -2, 0, 0, 0, 0, 3)"},
};

// Runs `tool` with `tail` on a desktop prepared by `setup`.
std::string RunOn(const Tool& tool, std::u16string tail, void (*setup)() = [] {}) {
  fake::Reset(std::move(tail));
  setup();
  tool.main();
  return fake::StdOut();
}

TEST(WindowToolsTest, HelpScreenOnlyForAnEmptyTail) {
  for (const Tool& tool : kTools) {
    EXPECT_EQ(RunMain(tool.main, u""), tool.help) << tool.name;
    EXPECT_EQ(fake::Calls(), Calls{}) << tool.name;
  }
}

TEST(WindowToolsTest, FoundWindowGetsTheToolsOneCallAndNothingIsPrinted) {
  for (const Tool& tool : kTools) {
    EXPECT_EQ(RunOn(tool, u"Untitled - Notepad", [] { fake::AddWindow(0x1234, u"Untitled - Notepad"); }), "")
        << tool.name;
    EXPECT_EQ(fake::Calls(), (Calls{"FindWindow(null, \"Untitled - Notepad\")", tool.action})) << tool.name;
  }
}

TEST(WindowToolsTest, TheTailIsTheCaptionAsTyped) {
  // Quotes, blanks, "/?" and zeros with anything around them are all caption.
  const auto desktop = [] {
    fake::AddWindow(0x50, u"Target");
    fake::AddWindow(0x51, u"0");
    fake::AddWindow(0x52, u"target");
    fake::SetForegroundWindow(0x50);
  };
  for (const char16_t* tail : {u"\"Target\"", u"Target ", u" Target", u"TARGET", u"/?", u"00", u"0 x", u" 0",
                               u"0 ", u"\"0\"", u"\""}) {
    const std::string caption = fake::Narrow(tail);
    for (const Tool& tool : kTools) {
      EXPECT_EQ(RunOn(tool, tail, desktop), "ERROR! Couldn't find window: " + caption + "\r\n") << caption;
      EXPECT_EQ(fake::Calls(), Calls{"FindWindow(null, \"" + caption + "\")"}) << caption;
    }
  }
  // A caption that does hold quotes is found with them.
  EXPECT_EQ(RunOn(kTools[0], u"\"Quoted\" x", [] { fake::AddWindow(0x1234, u"\"Quoted\" x"); }), "");
  EXPECT_EQ(fake::Calls().back(), kTools[0].action);
}

TEST(WindowToolsTest, ZeroLooksTheActiveWindowUpAgainByItsCaption) {
  // Two windows share the caption: the lookup decides, not the active handle.
  for (const Tool& tool : kTools) {
    EXPECT_EQ(RunOn(tool, u"0", [] {
                fake::AddWindow(0x1234, u"Editor");
                fake::AddWindow(0x77, u"Editor");
                fake::SetForegroundWindow(0x77);
              }),
              "");
    EXPECT_EQ(fake::Calls(),
              (Calls{"GetForegroundWindow", "GetWindowText(0x77, 256)", "FindWindow(null, \"Editor\")", tool.action}));
  }
}

TEST(WindowToolsTest, ZeroWithoutAnActiveCaptionActsOnNothing) {
  // A caption-less window exists; an empty name must not pick it.
  const auto no_active = [] { fake::AddWindow(0x1234, u""); };
  const auto captionless_active = [] {
    fake::AddWindow(0x1234, u"");
    fake::SetForegroundWindow(0x1234);
  };
  const auto failing_text = [] {
    fake::SetWindowTextResult(0x66, u"stale", -1);
    fake::SetForegroundWindow(0x66);
  };
  for (void (*setup)() : {+no_active, +captionless_active, +failing_text}) {
    for (const Tool& tool : kTools) {
      EXPECT_EQ(RunOn(tool, u"0", setup), "ERROR! Couldn't find window: \r\n") << tool.name;
      ASSERT_EQ(fake::Calls().size(), 2u);
      EXPECT_EQ(fake::Calls()[0], "GetForegroundWindow");
    }
  }
}

TEST(WindowToolsTest, AnyNonNullHandleIsAWindow) {
  // Handles with the top bit set in 32 bits, and in the full pointer width.
  for (platform::WindowHandle handle : {platform::WindowHandle{0x80000010}, ~platform::WindowHandle{0xffff}}) {
    fake::Reset(u"High");
    fake::AddWindow(handle, u"High");
    PaneShrink::modStartup::Main();
    EXPECT_EQ(fake::StdOut(), "");
    ASSERT_EQ(fake::Calls().size(), 2u);
    EXPECT_EQ(fake::Calls()[1].rfind("PostMessage(0x", 0), 0u) << fake::Calls()[1];
  }
}

TEST(WindowToolsTest, CaptionsOutsideAsciiGoToThePlatformWhole) {
  EXPECT_EQ(RunOn(kTools[3], u"Café – 日本 \U0001F600", [] { fake::AddWindow(0x1234, u"Café – 日本 \U0001F600"); }), "");
  EXPECT_EQ(fake::Calls().back(), kTools[3].action);
  EXPECT_EQ(RunOn(kTools[3], u"Café"), "ERROR! Couldn't find window: Caf\xc3\xa9\r\n");
}

TEST(GetWindowCaptionTest, CutsAtTheZeroAndAtTheCount) {
  struct Case {
    std::u16string text;
    std::int32_t count;
    std::u16string caption;
  };
  const Case cases[] = {
      {u"abc", 3, u"abc"},
      {std::u16string(u"abc\0   ", 7), 7, u"abc"},  // a count that runs past the zero
      {u"abc", 2, u"ab"},                          // the count cuts too
      {u"abc", 0, u""},
      {u"abc", -5, u""},
      {std::u16string(256, u'y'), 1000, std::u16string(256, u'y')},  // never past the buffer
  };
  for (const Case& c : cases) {
    fake::Reset();
    fake::SetWindowTextResult(0x42, c.text, c.count);
    EXPECT_EQ(qcp::GetWindowCaption(0x42), c.caption) << c.count;
  }
}

TEST(WindowToolsTest, ZeroUsesTheFirst255CharactersOfALongActiveCaption) {
  static const std::u16string caption = std::u16string(255, u'a') + u"bcd";
  fake::Reset(u"0");
  fake::AddWindow(0x1234, caption);
  fake::SetForegroundWindow(0x1234);
  PanePin::modStartup::Main();
  const std::string expected(255, 'a');
  EXPECT_EQ(fake::StdOut(), "ERROR! Couldn't find window: " + expected + "\r\n");
  EXPECT_EQ(fake::Calls().back(), "FindWindow(null, \"" + expected + "\")");
}

}  // namespace
