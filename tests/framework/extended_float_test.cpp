#include "framework/extended_float.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

using framework::decodeExtended80;
using framework::encodeExtended80;
using framework::Extended80Bytes;

TEST(ExtendedFloat, GoldenBytesOfKnownValues) {
  const struct {
    double value;
    Extended80Bytes bytes;
  } cases[] = {
      {1.0, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},
      {-2.0, {0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0}},
      {0.5, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFE, 0x3F}},
      {10.0, {0, 0, 0, 0, 0, 0, 0, 0xA0, 0x02, 0x40}},
      {0.1, {0x00, 0xD0, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xFB, 0x3F}},
      {0.0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(encodeExtended80(c.value), c.bytes) << c.value;
    EXPECT_EQ(decodeExtended80(c.bytes), c.value) << c.value;
  }
}

TEST(ExtendedFloat, EveryDoubleRoundTripsExactly) {
  std::mt19937_64 rng(7);
  for (int i = 0; i < 20000; ++i) {
    const std::uint64_t bits = rng();
    double v;
    std::memcpy(&v, &bits, sizeof v);
    if (std::isnan(v)) continue;
    EXPECT_EQ(decodeExtended80(encodeExtended80(v)), v);
  }
  const double denormal = std::numeric_limits<double>::denorm_min() * 12345;
  EXPECT_EQ(decodeExtended80(encodeExtended80(denormal)), denormal);
  EXPECT_TRUE(std::signbit(decodeExtended80(encodeExtended80(-0.0))));
}

TEST(ExtendedFloat, LongSignificandsRoundToNearestEven) {
  // 1 + 2^-53 exactly halfway: rounds to the even 1.0; one more bit above
  // half rounds up.
  Extended80Bytes halfway{0, 4, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F};
  EXPECT_EQ(decodeExtended80(halfway), 1.0);
  Extended80Bytes above{1, 4, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F};
  EXPECT_EQ(decodeExtended80(above), 1.0 + std::ldexp(1.0, -52));
  // The 64-bit integer significand 0xFFFF...F is 2^64 after rounding.
  Extended80Bytes allOnes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x3E, 0x40};
  EXPECT_EQ(decodeExtended80(allOnes), std::ldexp(1.0, 64));
}

TEST(ExtendedFloat, RangeEndsBecomeInfinitiesAndSubnormals) {
  // 2^2000 is beyond the doubles.
  Extended80Bytes huge{0, 0, 0, 0, 0, 0, 0, 0x80, 0xCF, 0x47};
  EXPECT_EQ(decodeExtended80(huge), std::numeric_limits<double>::infinity());
  huge[9] |= 0x80;
  EXPECT_EQ(decodeExtended80(huge), -std::numeric_limits<double>::infinity());
  // 2^-1075 exactly is half the smallest subnormal: rounds to even zero;
  // 3 * 2^-1076 rounds to the smallest subnormal once, not twice.
  const int e = -1075 + 16383;
  Extended80Bytes half{0, 0, 0, 0, 0, 0, 0, 0x80, static_cast<std::uint8_t>(e),
                       static_cast<std::uint8_t>(e >> 8)};
  EXPECT_EQ(decodeExtended80(half), 0.0);
  const int e2 = -1075 + 16383;
  Extended80Bytes threeQuarters{0, 0, 0, 0, 0, 0, 0, 0xC0, static_cast<std::uint8_t>(e2),
                                static_cast<std::uint8_t>(e2 >> 8)};
  EXPECT_EQ(decodeExtended80(threeQuarters), std::numeric_limits<double>::denorm_min());
  Extended80Bytes nan{0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F};
  EXPECT_TRUE(std::isnan(decodeExtended80(nan)));
}
