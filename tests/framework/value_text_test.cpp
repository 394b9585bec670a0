#include "framework/string_utils.h"
#include "framework/value_text.h"

#include <gtest/gtest.h>

using framework::ParseWholeNumber;

TEST(ValueText, WholeNumbersAndTheirFallbackValue) {
  std::int32_t v = 0;
  EXPECT_TRUE(ParseWholeNumber("  -42", v));
  EXPECT_EQ(v, -42);
  EXPECT_TRUE(ParseWholeNumber("x1f", v));
  EXPECT_EQ(v, 31);
  EXPECT_TRUE(ParseWholeNumber("$FFFFFFFF", v));
  EXPECT_EQ(v, -1);
  EXPECT_FALSE(ParseWholeNumber("$123456789", v));
  EXPECT_FALSE(ParseWholeNumber("2147483648", v));
  EXPECT_TRUE(ParseWholeNumber("-2147483648", v));
  EXPECT_EQ(v, INT32_MIN);
  EXPECT_FALSE(ParseWholeNumber("12x", v));
  EXPECT_EQ(v, 12);
  EXPECT_FALSE(ParseWholeNumber("-7x", v));
  EXPECT_EQ(v, -7);
  EXPECT_FALSE(ParseWholeNumber("", v));
  EXPECT_EQ(v, 0);
  EXPECT_FALSE(ParseWholeNumber("5 ", v));
  EXPECT_FALSE(ParseWholeNumber("-", v));
}

TEST(ValueText, ScientificTextHasTwentyThreeCharactersAndReadsBack) {
  EXPECT_EQ(framework::ScientificFloatText(1.0), " 1.00000000000000E+0000");
  EXPECT_EQ(framework::ScientificFloatText(-2.5e-7), "-2.50000000000000E-0007");
  EXPECT_EQ(framework::ScientificFloatText(0.0), " 0.00000000000000E+0000");
  EXPECT_EQ(framework::ScientificFloatText(1e300).size(), 23u);
  EXPECT_EQ(framework::ParseFixedPoint(framework::ScientificFloatText(1.0)), 1.0);
  EXPECT_EQ(framework::ParseFixedPoint(framework::ScientificFloatText(0.1)), 0.1);
}

TEST(ValueText, GeneralTextIsShortAndUsesTheLocaleSeparator) {
  const char saved = framework::DecimalSeparator();
  framework::SetDecimalSeparator(',');
  EXPECT_EQ(framework::GeneralFloatText(2.5), "2,5");
  EXPECT_EQ(framework::GeneralFloatText(100.0), "100");
  EXPECT_EQ(framework::GeneralFloatText(1e20), "1E20");
  EXPECT_EQ(framework::GeneralFloatText(0.1), "0,1");
  EXPECT_EQ(StrToFloatLenient(framework::GeneralFloatText(-1234.5678)), -1234.5678);
  framework::SetDecimalSeparator(saved);
}
