#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "console/failure.h"
#include "platform/fake/fake_random.h"
#include "tests/support/tool_test.h"
#include "tools/text/random_range.h"

QCP_TOOL_UNDER_TEST(DiceRoll)

namespace {

using Calls = fake::CallList;

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
const float kJustBelowOne = std::nextafter(1.0f, 0.0f);

std::string Roll(std::u16string tail, float r) {
  fake::Reset();
  fake::QueueRandomFractions({r});
  qcp_test::Call(qcp::entries::kDiceRoll, tail);
  return fake::StdOut();
}

TEST(RandomInRangeTest, FloorOfTheFractionTimesTheSpan) {
  struct Case {
    float r;
    std::int32_t lowest, highest, result;
  };
  const Case cases[] = {
      {0.0f, 1, 6, 1},
      {kJustBelowOne, 1, 6, 6},
      {0.5f, 1, 6, 4},
      {0.0f, 7, 7, 7},
      {kJustBelowOne, 7, 7, 7},
      {0.49999997f, 0, 1, 0},
      {0.5f, 0, 1, 1},
      {0.0f, -3, -1, -3},
      {kJustBelowOne, -3, -1, -1},
      {0.1f, -5, -1, -5},  // floor(-4.5), where truncation would give -4
      {0.0f, kMin, kMin, kMin},
      {kJustBelowOne, kMin, -2, -129},
      {kJustBelowOne, 1, kMax, kMax - 127},
      // Bounds given the wrong way round are swapped, so both can come out.
      {0.0f, 5, 1, 1},
      {kJustBelowOne, 5, 1, 5},
      {0.0f, 6, 5, 5},
      {kJustBelowOne, 6, 5, 6},
      // r * span + lowest in double precision rounds up to highest + 1 here.
      {kJustBelowOne, kMax - 1, kMax, kMax},
      {kJustBelowOne, 1000000000, 1000000000, 1000000000},
      {kJustBelowOne, -1000000001, -1000000001, -1000000001},
  };
  for (const Case& c : cases) {
    fake::Reset();
    fake::QueueRandomFractions({c.r});
    EXPECT_EQ(qcp::RandomInRange(c.lowest, c.highest), c.result)
        << "r " << c.r << " bounds " << c.lowest << " " << c.highest;
  }
}

TEST(RandomInRangeTest, ASpanBeyond32BitsIsAnOverflow) {
  for (auto [lowest, highest] : {std::pair{kMin, kMax}, {-1, kMax}, {0, kMax}, {kMin, -1}, {kMax, kMin}}) {
    fake::Reset();
    try {
      qcp::RandomInRange(lowest, highest);
      ADD_FAILURE() << lowest << " " << highest;
    } catch (const qcp::Failure& failure) {
      EXPECT_EQ(failure.Description(), qcp::failures::kOverflow);
    }
  }
}

TEST(DiceRollTest, BoundsFromTheFirstTwoWords) {
  struct Case {
    const char16_t* tail;
    float r;
    const char* line;
  };
  const Case cases[] = {
      {u"1 6", 0.5f, " 4 \r\n"},
      {u"\"1\" \"6\"", 0.0f, " 1 \r\n"},
      {u"-3 -1", 0.0f, "-3 \r\n"},
      {u"-3 -1", kJustBelowOne, "-1 \r\n"},
      {u"1.5 2.5", kJustBelowOne, " 2 \r\n"},
      {u"1.5 2.5", 0.0f, " 2 \r\n"},
      {u"0.5 1.5", kJustBelowOne, " 2 \r\n"},
      {u"0.5 1.5", 0.0f, " 0 \r\n"},
      {u"a b", kJustBelowOne, " 0 \r\n"},
      {u"x 10", kJustBelowOne, " 10 \r\n"},
      {u"x 10", 0.0f, " 0 \r\n"},
      {u"12abc 2e1", 0.0f, " 12 \r\n"},
      {u"1 6 100", kJustBelowOne, " 6 \r\n"},
      {u"5  9", kJustBelowOne, " 5 \r\n"},  // the empty word 1 is 0
      {u"5  9", 0.0f, " 0 \r\n"},
      {u"5 1", 0.0f, " 1 \r\n"},
      {u"5 1", kJustBelowOne, " 5 \r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Roll(c.tail, c.r), c.line) << fake::Narrow(c.tail);
    EXPECT_EQ(fake::Calls(), Calls{fake::RandomizeCall{}});
  }
}

TEST(DiceRollTest, OverflowIsTheOneErrorLine) {
  for (const char16_t* tail : {u"-2147483648 2147483647", u"3000000000 1", u"1 -3000000000", u"1 1e999",
                               u"1e999 1", u"0 2147483647", u"1 2147483647.5"}) {
    EXPECT_EQ(Roll(tail, 0.5f), "ERROR! - Overflow\r\n") << fake::Narrow(tail);
  }
}

}  // namespace
