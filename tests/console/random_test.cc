#include "console/random.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(RandomGeneratorTest, FractionsStayInTheUnitIntervalAndSpreadEvenly) {
  qcp::RandomGenerator generator;
  generator.Seed(12345, 678);
  int buckets[10] = {};
  for (int i = 0; i < 100000; ++i) {
    const float r = generator.NextFraction();
    ASSERT_GE(r, 0.0f);
    ASSERT_LT(r, 1.0f);
    ++buckets[static_cast<int>(r * 10)];
  }
  for (int count : buckets) {
    EXPECT_GT(count, 9500);
    EXPECT_LT(count, 10500);
  }
}

TEST(RandomGeneratorTest, NearbySeedsGiveUnrelatedSequences) {
  // Runs a nanosecond apart, or from neighbouring process ids, must differ.
  std::set<float> first_draws;
  for (std::uint64_t t = 0; t < 64; ++t) {
    qcp::RandomGenerator generator;
    generator.Seed(1'000'000'000 + t, 4242);
    first_draws.insert(generator.NextFraction());
    qcp::RandomGenerator other;
    other.Seed(1'000'000'000, 4242 + t + 1);
    first_draws.insert(other.NextFraction());
  }
  EXPECT_EQ(first_draws.size(), 128u);
}

}  // namespace
