#include "console/command_line.h"

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "console/utf.h"

namespace {

using Words = std::vector<std::u16string>;

TEST(CommandLineTest, CleaningRemovesEveryQuoteAndNothingElse) {
  EXPECT_EQ(qcp::CleanCommandLine(u"\"C:\\My Docs\\a b.txt\""), u"C:\\My Docs\\a b.txt");
  EXPECT_EQ(qcp::CleanCommandLine(u"\"\"\"\""), u"");
  EXPECT_EQ(qcp::CleanCommandLine(u"  a  \"b\" "), u"  a  b ");
}

TEST(CommandLineTest, SplittingAtEverySingleBlank) {
  EXPECT_EQ(qcp::SplitWords(u"440 200"), (Words{u"440", u"200"}));
  EXPECT_EQ(qcp::SplitWords(u"a  b"), (Words{u"a", u"", u"b"}));
  EXPECT_EQ(qcp::SplitWords(u"a b "), (Words{u"a", u"b", u""}));
  EXPECT_EQ(qcp::SplitWords(u" a"), (Words{u"", u"a"}));
  EXPECT_EQ(qcp::SplitWords(u""), (Words{u""}));
  EXPECT_EQ(qcp::SplitWords(u" "), (Words{u"", u""}));
  EXPECT_EQ(qcp::SplitWords(u"a\tb"), (Words{u"a\tb"}));  // only blanks split
}

TEST(CommandLineTest, TextAfterTheFirstBlankKeepsEveryFurtherBlank) {
  EXPECT_EQ(qcp::TextAfterFirstBlank(u"5 C:\\My Pictures\\cat.jpg"), u"C:\\My Pictures\\cat.jpg");
  EXPECT_EQ(qcp::TextAfterFirstBlank(u"0  name "), u" name ");
  EXPECT_EQ(qcp::TextAfterFirstBlank(u"0 "), u"");
  EXPECT_EQ(qcp::TextAfterFirstBlank(u"single"), u"");
}

TEST(CommandLineTest, HelpSwitchAnywhere) {
  EXPECT_TRUE(qcp::HasHelpSwitch(u"/?"));
  EXPECT_TRUE(qcp::HasHelpSwitch(u"ab/?cd"));
  EXPECT_FALSE(qcp::HasHelpSwitch(u"/ ?"));
  EXPECT_FALSE(qcp::HasHelpSwitch(u"help"));
  EXPECT_FALSE(qcp::HasHelpSwitch(u""));
}

TEST(CommandLineTest, DashWordOfAnyDash) {
  for (std::u16string_view line : {u"-h", u"x --help", u"a\t-b", u"\u2014help", u"x \u2212h", u"\u2010", u"\uff0dh",
                                   u"\u2015"}) {
    EXPECT_TRUE(qcp::HasDashWord(line)) << qcp::Utf8FromUtf16(line);
  }
  for (std::u16string_view line : {u"", u"x-h", u"now", u"a\u2014b", u"\u2016", u"\u200f-h", u"_h"}) {
    EXPECT_FALSE(qcp::HasDashWord(line)) << qcp::Utf8FromUtf16(line);
  }
}

TEST(CommandLineTest, WindowsTailFollowsTheProgramNameAndItsBlanks) {
  struct Case {
    std::u16string line, tail;
  };
  const Case cases[] = {
      {u"Beep.exe 440 200", u"440 200"},
      {u"\"C:\\Program Files\\Beep.exe\"   440  200 ", u"440  200 "},
      // Text glued to a quoted name belongs to the tail.
      {u"\"C:\\Tools\\UptimeClock.exe\"/?", u"/?"},
      {u"\"C:\\Tools\\PaneShut.exe\"No Such Window", u"No Such Window"},
      {u"\"C:\\a b\\x\"y.exe z", u"y.exe z"},
      {u"\"x\"\"440\"", u"\"440\""},
      // Only blanks are removed; a tab is text, also after blanks.
      {u"Beep.exe \t440", u"\t440"},
      {u"\"Beep.exe\"\t440", u"\t440"},
      {u"Beep.exe\t440", u"\t440"},  // a tab ends an unquoted name and stays
      {u"\tBeep.exe", u"\tBeep.exe"},
      {u" 440", u"440"},
      // Quotes inside an unquoted name do not protect blanks.
      {u"Be\"e p\".exe 1", u"p\".exe 1"},
      {u"Beep.exe", u""},
      {u"Beep.exe   ", u""},
      {u"\"\"", u""},
      {u"\"unterminated name", u""},
      {u"", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(qcp::TailAfterProgramName(c.line), c.tail) << qcp::Utf8FromUtf16(c.line);
}

TEST(CommandLineTest, PosixTailJoinsArgumentsWithSingleBlanks) {
  EXPECT_EQ(qcp::JoinArguments({}), u"");
  EXPECT_EQ(qcp::JoinArguments({u"440", u"200"}), u"440 200");
  EXPECT_EQ(qcp::JoinArguments({u"a", u"", u"b"}), u"a  b");  // empty argument: doubled blank
  EXPECT_EQ(qcp::JoinArguments({u"a", u""}), u"a ");          // trailing empty: trailing blank
  EXPECT_EQ(qcp::JoinArguments({u"a b"}), u"a b");
  // Splitting and joining are inverse.
  for (std::u16string tail : {u"", u" ", u"a  b ", u"  x"}) {
    EXPECT_EQ(qcp::JoinArguments(qcp::SplitWords(tail)), tail);
  }
}

TEST(UtfTest, ValidTextRoundTrips) {
  const std::string text = "a\xc3\xa9\xe2\x82\xac\xf0\x9f\x8e\xb2";  // a é € 🎲
  const std::u16string wide = qcp::Utf16FromUtf8(text);
  EXPECT_EQ(wide, u"a\u00e9\u20ac\U0001F3B2");
  EXPECT_EQ(qcp::Utf8FromUtf16(wide), text);
}

TEST(UtfTest, InvalidBytesRoundTripThroughEscapes) {
  for (std::string bytes : {std::string("\xff"), std::string("a\xc3"), std::string("\xed\xa0\x80"),
                            std::string("\xc0\xaf"), std::string("\xf4\x90\x80\x80"), std::string("\x80x")}) {
    const std::u16string wide = qcp::Utf16FromUtf8(bytes);
    EXPECT_EQ(qcp::Utf8FromUtf16(wide), bytes);
  }
  // Lone surrogates of real text; only U+DC80..U+DCFF stand for bytes.
  EXPECT_EQ(qcp::Utf8FromUtf16(u"a\xd800z\xdc00\xdc7f\xdbff"), "a?z???");
}

TEST(UtfTest, EachCodeTakesTheBytesOfItsRange) {
  struct Case {
    char32_t code;
    std::string bytes;
  };
  const Case cases[] = {
      {U'\0', std::string(1, '\0')},
      {0x7F, "\x7f"},
      {0x80, "\xc2\x80"},
      {0x7FF, "\xdf\xbf"},
      {0x800, "\xe0\xa0\x80"},
      {0xFFFF, "\xef\xbf\xbf"},
      {0x10000, "\xf0\x90\x80\x80"},
      {0x10FFFF, "\xf4\x8f\xbf\xbf"},
      // A JSON \ud800 with no low half after it.
      {0xD800, "\xed\xa0\x80"},
  };
  for (const Case& c : cases) {
    std::string bytes = "x";
    qcp::AppendUtf8(bytes, c.code);
    EXPECT_EQ(bytes, "x" + c.bytes) << std::hex << static_cast<std::uint32_t>(c.code);
  }
}

TEST(UtfTest, WhatCouldDriveATerminalIsMasked) {
  struct Case {
    std::string name;   // as the system gives it
    std::string shown;
  };
  const Case cases[] = {
      {"a\tb\x01\x1b[31m\x7f", "a?b??[31m?"},
      {"aa\xc2\x9b" "2Jbb", "aa?2Jbb"},                        // U+009B, an 8-bit CSI
      {"\xc2\x80\xc2\x9f\xc2\xa0", "??\xc2\xa0"},           // C1 from U+0080 to U+009F, not U+00A0
      {"x\x9b" "2J\x80\x9f\xa0", "x?2J??\xa0"},                // stray bytes 0x80..0x9F
      {"\xe2\x80\x8e\xe2\x80\x8f\xe2\x80\x8d", "??\xe2\x80\x8d"},  // LRM, RLM; not ZWJ
      {"exe.\xe2\x80\xaatxt\xe2\x80\xae", "exe.?txt?"},       // U+202A, U+202E
      {"\xe2\x80\xa9\xe2\x80\xaf", "\xe2\x80\xa9\xe2\x80\xaf"},  // U+2029, U+202F stay
      {"\xe2\x81\xa6\xe2\x81\xa9\xe2\x81\xa5\xe2\x81\xaa", "??\xe2\x81\xa5\xe2\x81\xaa"},  // U+2066..U+2069
      {"Caf\xc3\xa9 \xf0\x9f\x8e\xb2", "Caf\xc3\xa9 \xf0\x9f\x8e\xb2"},
  };
  for (const Case& c : cases) {
    std::u16string text = qcp::Utf16FromUtf8(c.name);
    qcp::MaskTerminalControls(text);
    EXPECT_EQ(qcp::Utf8FromUtf16(text), c.shown) << testing::PrintToString(c.name);
  }
}

}  // namespace
