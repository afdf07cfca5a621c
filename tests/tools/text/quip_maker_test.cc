#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <regex>
#include <set>
#include <string>

#include "platform/fake/fake_clock.h"
#include "tests/support/tool_test.h"

namespace QuipMaker::modStartup { void Main(); }

namespace {

using qcp_test::HelpScreen;
using Calls = std::vector<std::string>;

const std::string kHelp = HelpScreen({"    QuipMaker.exe", "", "    Displays a random No Mrs Bramblewick quote."});
const float kJustBelowOne = std::nextafter(1.0f, 0.0f);

// The fraction that draws `index` from a list of `size` entries.
float Pick(int index, int size) { return (index + 0.5f) / size; }

std::string Quote(std::initializer_list<float> fractions) {
  fake::Reset(u"");
  fake::QueueRandomFractions(fractions);
  QuipMaker::modStartup::Main();
  return fake::StdOut();
}

TEST(QuipMakerTest, HelpWhenTheSwitchIsAnywhere) {
  for (const char16_t* tail : {u"/?", u"x/?y", u"/\"?", u"tell me /? please"}) {
    EXPECT_EQ(qcp_test::RunMain(QuipMaker::modStartup::Main, tail), kHelp);
    EXPECT_EQ(fake::Calls(), Calls{});
  }
}

TEST(QuipMakerTest, DrawsInOrderWithTheInitialLast) {
  // Answer, title, verb, possessive, noun, then the initial.
  EXPECT_EQ(Quote({0, 0, 0, 0, 0, 0}), "Yes Ms A, that is my banjo.\r\n");
  EXPECT_EQ(Quote({kJustBelowOne, kJustBelowOne, kJustBelowOne, kJustBelowOne, kJustBelowOne, kJustBelowOne}),
               "No Dr Z, that is possibly his spud.\r\n");
  EXPECT_EQ(Quote({Pick(1, 2), Pick(2, 5), Pick(3, 6), Pick(1, 4), Pick(59, 70), Pick(13, 26)}),
            "No Mrs N, that won't be your .. eh?.\r\n");
  EXPECT_EQ(Quote({Pick(0, 2), Pick(4, 5), Pick(2, 6), Pick(2, 4), Pick(60, 70), Pick(10, 26)}),
            "Yes Dr K, that might be her .. oops!.\r\n");
  EXPECT_EQ(fake::Calls(), Calls{"Randomize"});
  // Any other command line is ignored.
  fake::Reset(u"please be quick");
  EXPECT_EQ(qcp_test::RunMain(QuipMaker::modStartup::Main, u"please be quick"), "Yes Ms A, that is my banjo.\r\n");
}

TEST(QuipMakerTest, SeventyNounsWithTheFixedOnesInPlace) {
  // The fixed entries at the edges of the ones chosen freely.
  const std::map<int, std::string> fixed = {
      {0, "banjo"}, {6, "trombone"}, {8, "cardigan"}, {50, "Sci-Fi series"}, {59, ".. eh?"},
      {60, ".. oops!"}, {63, "foot rest"}, {64, "l33t haXx0r"}, {65, "virus"}, {69, "spud"},
  };
  const std::regex pattern("(Yes|No) (Ms|Miss|Mrs|Mr|Dr) [A-Z], that (is|isn't|might be|won't be|could be|is possibly) "
                           "(my|your|her|his) (.+)\\.\r\n");
  const std::regex one_to_three_words("[^ ]+( [^ ]+){0,2}");
  std::set<std::string> nouns;
  for (int i = 0; i < 70; ++i) {
    const std::string quote = Quote({0, 0, 0, 0, Pick(i, 70), 0});
    std::smatch match;
    ASSERT_TRUE(std::regex_match(quote, match, pattern)) << quote;
    const std::string noun = match[5];
    EXPECT_TRUE(std::regex_match(noun, one_to_three_words)) << i << ": " << noun;
    if (fixed.count(i) != 0) {
      EXPECT_EQ(noun, fixed.at(i)) << i;
    }
    nouns.insert(noun);
  }
  EXPECT_EQ(nouns.size(), 70u);
}

}  // namespace
