#include "platform/real48.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <stdexcept>

using platform::Real48Bytes;
using platform::decodeReal48;
using platform::encodeReal48;
using platform::roundReal48;

TEST(Real48, GoldenBytesOfKnownValues) {
  const struct {
    double value;
    Real48Bytes bytes;
  } cases[] = {
      {1.0, {0x81, 0, 0, 0, 0, 0x00}},
      {-1.0, {0x81, 0, 0, 0, 0, 0x80}},
      {700.0, {0x8A, 0, 0, 0, 0, 0x2F}},
      {1e6, {0x94, 0, 0, 0, 0x24, 0x74}},
      {0.0, {0, 0, 0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(*encodeReal48(c.value), c.bytes) << c.value;
    EXPECT_EQ(decodeReal48(c.bytes), c.value) << c.value;
  }
}

TEST(Real48, RoundsHalfAwayFromZeroAndHandlesRangeEnds) {
  // 1 + 2^-40 lies exactly halfway between two 39-bit fractions.
  EXPECT_EQ(*encodeReal48(1.0 + std::ldexp(1.0, -40)), (Real48Bytes{0x81, 1, 0, 0, 0, 0}));
  EXPECT_EQ(*encodeReal48(-(1.0 + std::ldexp(1.0, -40))), (Real48Bytes{0x81, 1, 0, 0, 0, 0x80}));
  // A carry out of the fraction moves to the next exponent.
  EXPECT_EQ(*encodeReal48(2.0 - std::ldexp(1.0, -45)), (Real48Bytes{0x82, 0, 0, 0, 0, 0}));
  // An exponent of zero is zero whatever the other bytes hold.
  EXPECT_EQ(decodeReal48(Real48Bytes{0, 0xFF, 0x12, 0, 0, 0x80}), 0.0);
  EXPECT_EQ(*encodeReal48(1e-40), (Real48Bytes{0, 0, 0, 0, 0, 0}));
  EXPECT_FALSE(encodeReal48(2e38).has_value());
  EXPECT_FALSE(encodeReal48(NAN).has_value());
  EXPECT_THROW(roundReal48(1e39), std::overflow_error);
}

TEST(Real48, RandomValuesSurviveWithinTheTypePrecision) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> coordinate(-2'000'000.0, 2'000'000.0);
  for (int i = 0; i < 10000; ++i) {
    const double v = coordinate(rng);
    const double r = roundReal48(v);
    EXPECT_LE(std::fabs(r - v), std::fabs(v) * std::ldexp(1.0, -40));
    EXPECT_EQ(roundReal48(r), r);  // stable once rounded
  }
}
