#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_console.h"
#include "platform/fake/fake_window_control.h"
#include "tests/support/tool_test.h"
#include "tools/window/window_targeting.h"

QCP_TOOL_UNDER_TEST(PaneShut)
QCP_TOOL_UNDER_TEST(PaneRevive)
QCP_TOOL_UNDER_TEST(PaneShrink)
QCP_TOOL_UNDER_TEST(PaneGrow)
QCP_TOOL_UNDER_TEST(PanePin)
QCP_TOOL_UNDER_TEST(PaneUnpin)

namespace {

using qcp_test::RunMain;
using Calls = fake::CallList;

struct Tool {
  const char* name;
  const qcp::ToolEntry& main;
  fake::Call action;  // the request to window 0x1234
};

const Tool kTools[] = {
    {"PaneShut", qcp::entries::kPaneShut, fake::CloseWindowCall{0x1234}},
    {"PaneRevive", qcp::entries::kPaneRevive, fake::RestoreWindowCall{0x1234}},
    {"PaneShrink", qcp::entries::kPaneShrink, fake::MinimizeWindowCall{0x1234}},
    {"PaneGrow", qcp::entries::kPaneGrow, fake::MaximizeWindowCall{0x1234}},
    {"PanePin", qcp::entries::kPanePin, fake::SetTopmostCall{0x1234, true}},
    {"PaneUnpin", qcp::entries::kPaneUnpin, fake::SetTopmostCall{0x1234, false}},
};

// Runs `tool` with `tail` on a desktop prepared by `setup`.
std::string RunOn(const Tool& tool, std::u16string tail, void (*setup)() = [] {}) {
  fake::Reset();
  setup();
  qcp_test::Call(tool.main, tail);
  return fake::StdOut();
}

TEST(WindowToolsTest, FoundWindowGetsTheToolsOneCallAndNothingIsPrinted) {
  for (const Tool& tool : kTools) {
    EXPECT_EQ(RunOn(tool, u"Untitled - Notepad", [] { fake::AddWindow(0x1234, u"Untitled - Notepad"); }), "")
        << tool.name;
    EXPECT_EQ(fake::Calls(), (Calls{fake::FindWindowByCaptionCall{u"Untitled - Notepad"}, tool.action})) << tool.name;
  }
}

TEST(WindowToolsTest, TheTailIsTheCaptionAsTyped) {
  // Quotes, blanks, "/?" and zeros with anything around them are all caption.
  const auto desktop = [] {
    fake::AddWindow(0x50, u"Target");
    fake::AddWindow(0x51, u"0");
    fake::AddWindow(0x52, u"target");
    fake::SetActiveWindow(0x50);
  };
  for (const char16_t* tail : {u"\"Target\"", u"Target ", u" Target", u"TARGET", u"/?", u"00", u"0 x", u" 0",
                               u"0 ", u"\"0\"", u"\""}) {
    const std::string caption = fake::Narrow(tail);
    for (const Tool& tool : kTools) {
      EXPECT_EQ(RunOn(tool, tail, desktop), "ERROR! Couldn't find window: " + caption + "\r\n") << caption;
      EXPECT_EQ(fake::Calls(), Calls{fake::FindWindowByCaptionCall{tail}}) << caption;
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
                fake::SetActiveWindow(0x77);
              }),
              "");
    EXPECT_EQ(fake::Calls(), (Calls{fake::ActiveWindowCall{}, fake::WindowCaptionCall{0x77, 255},
                                    fake::FindWindowByCaptionCall{u"Editor"}, tool.action}));
  }
}

TEST(WindowToolsTest, ZeroWithoutAnActiveCaptionActsOnNothing) {
  // A caption-less window exists; an empty name must not pick it.
  const auto no_active = [] { fake::AddWindow(0x1234, u""); };
  const auto captionless_active = [] {
    fake::AddWindow(0x1234, u"");
    fake::SetActiveWindow(0x1234);
  };
  const auto gone_active = [] { fake::SetActiveWindow(0x66); };
  for (void (*setup)() : {+no_active, +captionless_active, +gone_active}) {
    for (const Tool& tool : kTools) {
      EXPECT_EQ(RunOn(tool, u"0", setup), "ERROR! Couldn't find window: \r\n") << tool.name;
      ASSERT_EQ(fake::Calls().size(), 2u);
      EXPECT_EQ(fake::Calls()[0], fake::Call{fake::ActiveWindowCall{}});
    }
  }
}

TEST(WindowToolsTest, AnyNonNullHandleIsAWindow) {
  // Handles with the top bit set in 32 bits, and in the full pointer width.
  for (platform::WindowHandle handle : {platform::WindowHandle{0x80000010}, ~platform::WindowHandle{0xffff}}) {
    fake::Reset();
    fake::AddWindow(handle, u"High");
    qcp_test::Call(qcp::entries::kPaneShrink, u"High");
    EXPECT_EQ(fake::StdOut(), "");
    ASSERT_EQ(fake::Calls().size(), 2u);
    EXPECT_EQ(fake::Calls()[1], fake::Call{fake::MinimizeWindowCall{handle}});
  }
}

TEST(WindowToolsTest, CaptionsOutsideAsciiGoToThePlatformWhole) {
  EXPECT_EQ(RunOn(kTools[3], u"Café – 日本 \U0001F600", [] { fake::AddWindow(0x1234, u"Café – 日本 \U0001F600"); }), "");
  EXPECT_EQ(fake::Calls().back(), kTools[3].action);
  EXPECT_EQ(RunOn(kTools[3], u"Café"), "ERROR! Couldn't find window: Caf\xc3\xa9\r\n");
}

TEST(WindowToolsTest, ZeroUsesTheFirst255CharactersOfALongActiveCaption) {
  static const std::u16string caption = std::u16string(255, u'a') + u"bcd";
  fake::Reset();
  fake::AddWindow(0x1234, caption);
  fake::SetActiveWindow(0x1234);
  qcp_test::Call(qcp::entries::kPanePin, u"0");
  const std::string expected(255, 'a');
  EXPECT_EQ(fake::StdOut(), "ERROR! Couldn't find window: " + expected + "\r\n");
  EXPECT_EQ(fake::Calls().back(), fake::Call{fake::FindWindowByCaptionCall{caption.substr(0, 255)}});
}

}  // namespace

// Natively "--list-captions" lists each caption once, on one line; on Windows
// it is a caption like any other.
TEST(WindowToolsTest, ListCaptionsNativelyPrintsEachCaptionOnce) {
  const auto desktop = [] {
    fake::AddWindow(0x10, u"Editor");
    fake::AddWindow(0x11, u"Two\nlines");
    fake::AddWindow(0x12, u"Café");
    fake::AddWindow(0x13, u"Editor");
    fake::AddWindow(0x14, u"--list-captions");
  };
  for (const Tool& tool : kTools) {
    fake::Reset();
    fake::UseNativeConsoleConventions();
    desktop();
    EXPECT_EQ(qcp_test::Call(tool.main, u"--list-captions"), qcp::Status::kDone) << tool.name;
    EXPECT_EQ(fake::StdOut(), "Editor\nCafé\n--list-captions\n") << tool.name;
    EXPECT_EQ(fake::Calls(), Calls{}) << tool.name;
  }
  EXPECT_EQ(RunOn(kTools[0], u"--list-captions", desktop), "");
  EXPECT_EQ(fake::Calls(), (Calls{fake::FindWindowByCaptionCall{u"--list-captions"}, fake::CloseWindowCall{0x14}}));
}
