#include "console/numbers.h"

#include <gtest/gtest.h>

#include <cmath>

#include "console/failure.h"
#include "console/utf.h"

namespace {

TEST(NumericValueTest, LeadingNumberOfTheWord) {
  struct Case {
    const char16_t* word;
    double value;
  };
  const Case cases[] = {
      {u"440", 440},        {u"12abc", 12},       {u"1,5", 1},        {u"2e3", 2000},
      {u"1D2", 100},        {u"0.5e3", 500},      {u"&H1B8", 440},    {u"&h1b8", 440},
      {u"&O17", 15},        {u"&o8", 0},          {u"&H", 0},         {u"&", 0},
      {u"&Hxyz", 0},        {u" \t\n12", 12},     {u"1 2 3", 123},    {u"- 5", -5},
      {u"+7", 7},           {u"--5", 0},          {u"1e", 1},         {u"1e+", 1},
      {u"1ex", 1},          {u".", 0},            {u".5", 0.5},       {u"5.", 5},
      {u"1.2.3", 1.2},      {u"abc", 0},          {u"", 0},           {u"440Hz", 440},
      {u"2147483647.5", 2147483647.5},            {u"1e308", 1e308},  {u"1e-400", 0},
      {u"&HFFFFFFFF", 4294967295.0},              {u"&O77777777777", 8589934591.0},
      {u"\"2\"", 0},        {u"1 e 2", 100},      {u"0e99999", 0},      {u"\t1\t2\t", 12},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(qcp::NumericValue(c.word), c.value) << qcp::Utf8FromUtf16(c.word);
  }
}

TEST(NumericValueTest, BeyondTheDoubleRangeIsOverflow) {
  for (const char16_t* word : {u"1e309", u"1e999", u"-1e999", u"1e99999999999999999999"}) {
    try {
      qcp::NumericValue(word);
      ADD_FAILURE() << qcp::Utf8FromUtf16(word);
    } catch (const qcp::Failure& f) {
      EXPECT_EQ(f.Description(), u"Overflow");
    }
  }
  EXPECT_THROW(qcp::NumericValue(u"&H" + std::u16string(300, u'F')), qcp::Failure);
  EXPECT_EQ(qcp::NumericValue(u"0.000" + std::u16string(400, u'0') + u"1e10"), 0.0);
}

TEST(WholeNumberTest, HalvesGoToTheEvenNeighbour) {
  struct Case {
    double value;
    std::int32_t whole;
  };
  const Case cases[] = {{2.5, 2},   {3.5, 4},   {-2.5, -2}, {-3.5, -4}, {0.5, 0},  {1.5, 2},
                        {2.4, 2},   {2.6, 3},   {-0.4, 0},  {-2.6, -3}, {0, 0},    {-0.0, 0},
                        {2147483647.4, 2147483647},         {-2147483648.5, -2147483647 - 1},
                        {2147483646.5, 2147483646}};
  for (const Case& c : cases) EXPECT_EQ(qcp::ToWholeNumber(c.value), c.whole) << c.value;
}

TEST(WholeNumberTest, OutsideThirtyTwoBitsIsOverflow) {
  for (double value : {2147483647.5, 2147483648.0, -2147483648.6, -2147483649.0, 3e9, 1e12, 1e308}) {
    EXPECT_THROW(qcp::ToWholeNumber(value), qcp::Failure) << value;
  }
}

TEST(StrictNumberTest, WholeWordInTheRegionalFormat) {
  EXPECT_EQ(qcp::StrictNumber(u"2.5", u'.'), 2.5);
  EXPECT_EQ(qcp::StrictNumber(u"2,5", u','), 2.5);
  EXPECT_EQ(qcp::StrictNumber(u" -3 ", u'.'), -3);
  EXPECT_EQ(qcp::StrictNumber(u"\t 7,5\t\t", u','), 7.5);
  EXPECT_EQ(qcp::StrictNumber(u"1e3", u'.'), 1000);
  for (const char16_t* word : {u"5s", u"2.5", u"", u"abc", u"1e", u"1..2", u"- 1"}) {
    try {
      qcp::StrictNumber(word, u',');
      ADD_FAILURE() << qcp::Utf8FromUtf16(word);
    } catch (const qcp::Failure& f) {
      EXPECT_EQ(f.Description(), u"Type mismatch") << qcp::Utf8FromUtf16(word);
    }
  }
  EXPECT_THROW(qcp::StrictNumber(u"1e999", u'.'), qcp::Failure);
}

}  // namespace
