#include "framework/string_utils.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class DecimalSeparatorGuard {
 public:
  explicit DecimalSeparatorGuard(char s) : saved_(framework::DecimalSeparator()) {
    framework::SetDecimalSeparator(s);
  }
  ~DecimalSeparatorGuard() { framework::SetDecimalSeparator(saved_); }

 private:
  char saved_;
};

}  // namespace

TEST(StringUtils, IntegerConversionKeepsTheSignOfAPartialNumber) {
  EXPECT_EQ(StrToIntOrZero(""), 0);
  EXPECT_EQ(StrToIntOrZero("  42"), 42);
  EXPECT_EQ(StrToIntOrZero("$1F"), 31);
  EXPECT_EQ(StrToIntOrZero("0x1a"), 26);
  EXPECT_EQ(StrToIntOrZero("42 "), 42);
  EXPECT_EQ(StrToIntOrZero("-7"), -7);
  EXPECT_EQ(StrToIntOrZero("-7x"), -7);
  EXPECT_EQ(StrToIntOrZero("-12a"), -12);
  EXPECT_EQ(StrToIntOrZero("abc"), 0);
  EXPECT_EQ(StrToIntOrZero("-2147483648"), INT32_MIN);
  EXPECT_EQ(StrToIntOrZero("21474836470"), 2147483647 / 10 * 10 + 7);
}

TEST(StringUtils, FloatsAcceptEitherSeparatorButNotBoth) {
  DecimalSeparatorGuard comma(',');
  EXPECT_DOUBLE_EQ(StrToFloatLenient("2,5"), 2.5);
  EXPECT_DOUBLE_EQ(StrToFloatLenient("2.5"), 2.5);
  EXPECT_DOUBLE_EQ(StrToFloatLenient(" -1,5e2 "), -150.0);
  EXPECT_EQ(StrToFloatLenient("2.5.1"), 0.0);
  EXPECT_EQ(StrToFloatLenient("1,234.5"), 0.0);
  EXPECT_EQ(StrToFloatLenient(""), 0.0);
  EXPECT_TRUE(IsFloatText("1e3"));
  EXPECT_FALSE(IsFloatText("abc"));
  EXPECT_FALSE(IsFloatText("1e"));
  EXPECT_EQ(FloatToStrWidth(8, 2, 3.14159), "    3,14");

  DecimalSeparatorGuard point('.');
  EXPECT_DOUBLE_EQ(StrToFloatLenient("2,5"), 2.5);
  EXPECT_EQ(FloatToStrWidth(8, 2, 3.14159), "    3.14");
}

TEST(StringUtils, ToggleChangesOnlyTheFirstSeparator) {
  std::string t = "1,2.3,4";
  ToggleDecimalSeparator(t, '.', ',');
  EXPECT_EQ(t, "1.2.3,4");
}

TEST(StringUtils, BooleansAndWidths) {
  EXPECT_EQ(BoolToText(true), "TRUE");
  EXPECT_TRUE(TextIsTrue("true"));
  EXPECT_TRUE(TextIsTrue("T"));
  EXPECT_FALSE(TextIsTrue("ANO"));
  EXPECT_FALSE(TextIsTrue("1"));
  EXPECT_FALSE(TextIsTrue(""));
  EXPECT_EQ(IntToStrWidth(7, 4, true), "0007");
  EXPECT_EQ(IntToStrWidth(7, 4, false), "   7");
  EXPECT_EQ(IntToStrWidth(12345, 2, true), "12345");
  EXPECT_EQ(IntToStrWidth(-7, 3, true), "-007");
}

TEST(StringUtils, TrimmingAndSplitting) {
  EXPECT_EQ(TrimBlanks(std::string(1, '\0')), "");
  EXPECT_EQ(TrimBlanks("\t a \t"), "\t a \t");
  EXPECT_EQ(TrimBlanks(std::string(" \0x\0 ", 5)), "x");

  std::string name, value;
  EXPECT_TRUE(SplitNameValue("  A = 1 = 2", name, value));
  EXPECT_EQ(name, "A");
  EXPECT_EQ(value, "1 = 2");
  EXPECT_FALSE(SplitNameValue(" solo ", name, value));
  EXPECT_EQ(name, "solo");
  EXPECT_EQ(value, "");

  std::string head, rest;
  EXPECT_TRUE(SplitAtChar("x,", ',', head, rest));
  EXPECT_EQ(head, "x");
  EXPECT_EQ(rest, "");
}

TEST(StringUtils, SplittingFindsSeparatorsFarIntoLongLines) {
  // A separator beyond character 255 is still found.
  const std::string longName(300, 'n');
  std::string name, value;
  EXPECT_TRUE(SplitNameValue(longName + "=v", name, value));
  EXPECT_EQ(name, longName);
  EXPECT_EQ(value, "v");
  std::string head, rest;
  EXPECT_TRUE(SplitAtChar(std::string(256, 'a') + ";b", ';', head, rest));
  EXPECT_EQ(head.size(), 256u);
  EXPECT_EQ(rest, "b");
}

TEST(StringUtils, ScanTokenWalksADelimitedList) {
  const auto comma = framework::MakeCharSet(",");
  std::string token;
  std::size_t pos = 0;
  char delim = 'x';
  ScanToken("ab,cd", comma, 1, token, pos, delim);
  EXPECT_EQ(token, "ab");
  EXPECT_EQ(delim, ',');
  EXPECT_EQ(pos, 4u);
  ScanToken("ab,cd", comma, pos, token, pos, delim);
  EXPECT_EQ(token, "cd");
  EXPECT_EQ(delim, '\0');
  EXPECT_EQ(pos, 6u);

  ScanToken(",,", comma, 1, token, pos, delim);
  EXPECT_EQ(token, "");
  EXPECT_EQ(pos, 2u);
  ScanTrimmedToken(" a ;b", framework::MakeCharSet(";"), 1, token, pos, delim);
  EXPECT_EQ(token, "a");

  ScanToken("", comma, 3, token, pos, delim);
  EXPECT_EQ(pos, 3u);
  EXPECT_EQ(delim, '\0');
}

TEST(StringUtils, PathsPrefixesAndOwnedStrings) {
  std::string p = "C:\\GIS";
  EXPECT_EQ(AppendBackslash(p), "C:\\GIS\\");
  EXPECT_EQ(p, "C:\\GIS\\");
  EXPECT_EQ(AppendBackslash(p), "C:\\GIS\\");
  std::string empty;
  EXPECT_EQ(AppendBackslash(empty), "\\");
  EXPECT_EQ(empty, "");
  const std::string q = "D:\\X";
  EXPECT_EQ(AddTrailingBackslash(q), "D:\\X\\");

  std::string n = "Node", t = "tNode", e;
  EXPECT_EQ(EnsureTPrefix(n), "TNode");
  EXPECT_EQ(EnsureTPrefix(t), "tNode");
  EXPECT_EQ(EnsureTPrefix(e), "");

  PString cell;
  EXPECT_EQ(PStrToStr(cell), "");
  AssignPStr(cell, "osa X");
  EXPECT_EQ(PStrToStr(cell), "osa X");
  AssignPStr(cell, "");
  EXPECT_EQ(cell, nullptr);
}
