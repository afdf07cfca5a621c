#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/fake/fake_random.h"
#include "tests/support/tool_test.h"

QCP_TOOL_UNDER_TEST(QuipMaker)

namespace {

using Calls = fake::CallList;

const float kJustBelowOne = std::nextafter(1.0f, 0.0f);

// The fraction that draws `index` from a list of `size` entries.
float Pick(int index, int size) { return (index + 0.5f) / size; }

std::string Quote(std::initializer_list<float> fractions) {
  fake::Reset();
  fake::QueueRandomFractions(fractions);
  qcp_test::Call(qcp::entries::kQuipMaker, u"");
  return fake::StdOut();
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
  EXPECT_EQ(fake::Calls(), Calls{fake::RandomizeCall{}});
  // Any other command line is ignored.
  fake::Reset();
  EXPECT_EQ(qcp_test::RunMain(qcp::entries::kQuipMaker, u"please be quick"), "Yes Ms A, that is my banjo.\r\n");
}

// Every entry of every list at its place: a changed, swapped or dropped word
// (say "tea cosy" turned into "tea cozy", or "Miss" and "Mrs" swapped) shows
// up here, while the pattern of the sentence stays the same.
TEST(QuipMakerTest, EveryWordOfEveryListAtItsPlace) {
  const std::vector<std::vector<std::string>> lists = {
      {"Yes", "No"},
      {"Ms", "Miss", "Mrs", "Mr", "Dr"},
      {"is", "isn't", "might be", "won't be", "could be", "is possibly"},
      {"my", "your", "her", "his"},
      {"banjo", "trumpet", "pantaloon", "bunion", "bongo", "parachute", "trombone", "kazoo", "cardigan",
       "cucumber", "piano", "doberman", "tea cosy", "warcamp", "boat", "roffle", "wellington boot", "salad finger",
       "internet fad", "dotcom", "spatula", "rubber duck", "probe", "hamster", "teapot", "crumpet", "garden gnome",
       "oboe", "ukulele", "sock puppet", "pontoon", "walrus", "shingle", "pogo stick", "trouser press", "email",
       "wonga", "blow-torch", "hair", "lava lamp", "bilge", "bagpipe", "backpack", "custard", "llama", "moustache",
       "whoopee cushion", "egg whisk", "electricity", "compost", "Sci-Fi series", "trampoline", "pineapple",
       "ferret", "intestine", "jelly mould", "accordion", "penguin", "tuba", ".. eh?", ".. oops!", "haggis",
       "spaceship", "foot rest", "l33t haXx0r", "virus", "tiddlywink", "pork pie", "bathtub", "spud"},
  };
  ASSERT_EQ(lists[4].size(), 70u);
  for (std::size_t list = 0; list < lists.size(); ++list) {
    const int size = static_cast<int>(lists[list].size());
    for (int i = 0; i < size; ++i) {
      // Entry i of this list, entry 0 of the others, initial A.
      std::vector<float> fractions(6, 0.0f);
      fractions[list] = Pick(i, size);
      std::vector<std::string> words(5);
      for (std::size_t other = 0; other < 5; ++other) words[other] = other == list ? lists[list][i] : lists[other][0];
      fake::Reset();
      fake::QueueRandomFractions({fractions[0], fractions[1], fractions[2], fractions[3], fractions[4], 0});
      qcp_test::Call(qcp::entries::kQuipMaker, u"");
      EXPECT_EQ(fake::StdOut(), words[0] + " " + words[1] + " A, that " + words[2] + " " + words[3] + " " +
                                    words[4] + ".\r\n")
          << "list " << list << ", entry " << i;
    }
  }
}

}  // namespace
