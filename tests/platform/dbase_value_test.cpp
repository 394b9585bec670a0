#include "platform/dbase_value.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <limits>
#include <cstdlib>
#include <string>
#include <utility>

using platform::DbfError;
using platform::DbfField;
using namespace platform::dbf;

namespace {
DbfField field(char type, std::uint16_t width, std::uint16_t decimals = 0) {
  return DbfField{"F", type, width, decimals, 0};
}
}  // namespace

TEST(DbfValue, NumbersReadWithoutPaddingOrTrailingZeros) {
  const DbfField n = field('N', 8, 2);
  EXPECT_EQ(fieldText(n, "   12.00"), "12");
  EXPECT_EQ(fieldText(n, "   12.50"), "12.5");
  EXPECT_EQ(fieldText(n, "   -0.50"), "-0.5");
  EXPECT_EQ(fieldText(n, "        "), "");
  EXPECT_EQ(fieldText(field('N', 6), "   007"), "7");
}

// Sums and keys are taken only from text that is a number through and
// through; a number's leading digits are no number.
TEST(DbfValue, ANumberIsReadOnlyFromTextThatIsOneThroughAndThrough) {
  EXPECT_EQ(numberValue(" +1.5 "), 1.5);
  EXPECT_EQ(numberValue("-.5"), -0.5);
  EXPECT_EQ(numberValue("7."), 7.0);
  for (const char* text : {"", "  ", "abc", "1.5x7", "nan", "inf", "1e3", "1,5", "--1", ".", "1.2.3"})
    EXPECT_FALSE(numberValue(text)) << text;
}

TEST(DbfValue, NumbersAreWrittenRightAlignedWithTheirDecimals) {
  const DbfField n = field('N', 8, 2);
  EXPECT_EQ(fieldBytes(n, "12"), "   12.00");
  EXPECT_EQ(fieldBytes(n, "3,456"), "    3.46");  // decimal comma accepted
  EXPECT_EQ(fieldBytes(n, " -7.1 "), "   -7.10");
  EXPECT_EQ(fieldBytes(n, ""), "        ");
  EXPECT_EQ(fieldBytes(field('N', 6), "12.7"), "    13");
  EXPECT_THROW(fieldBytes(n, "123456.7"), DbfError);  // does not fit
  EXPECT_THROW(fieldBytes(n, "12a"), DbfError);
  EXPECT_THROW(fieldBytes(n, "1.2.3"), DbfError);
  // Exactly as "%*.*f" prints: ties of the binary value to even, a negative
  // that rounds to zero keeps its sign, and a field of a table made
  // elsewhere may hold more decimals than the short path formats.
  const std::pair<DbfField, std::string> printed[] = {
      {field('N', 6, 2), "0.125"}, {field('N', 6, 2), "0.375"}, {field('N', 4, 0), "2.5"},
      {field('N', 6, 2), "-0.001"}, {field('N', 14, 6), "1234.5678901"}, {field('N', 200, 90), "0.1"},
      {field('N', 330, 2), "1" + std::string(308, '0')}};
  for (const auto& [f, text] : printed) {
    char expected[400];
    std::snprintf(expected, sizeof expected, "%*.*f", f.width, f.decimals, std::strtod(text.c_str(), nullptr));
    EXPECT_EQ(fieldBytes(f, text), expected) << text;
  }
}

// A number set from its value gives the bytes its shortest text gives, and
// leaves to the text what the text would refuse.
TEST(DbfValue, NumbersFromTheirValuesAsFromTheirTexts) {
  const DbfField fields[] = {field('N', 12, 2), field('F', 14, 6), field('N', 4, 0)};
  for (const DbfField& f : fields)
    for (double v : {0.0, -0.0, 0.125, -0.004, 1e-9, 12345.678, -987654.3, 1e15}) {
      char text[400];
      const auto end = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed).ptr;
      const std::string_view shortest(text, static_cast<std::size_t>(end - text));
      const auto bytes = numberFieldBytes(f, v);
      try {
        EXPECT_EQ(bytes, fieldBytes(f, shortest)) << shortest;
      } catch (const DbfError&) {
        EXPECT_FALSE(bytes) << shortest;
      }
    }
  EXPECT_FALSE(numberFieldBytes(field('C', 8), 1));
  EXPECT_FALSE(numberFieldBytes(field('N', 8), std::numeric_limits<double>::infinity()));
}

TEST(DbfValue, CharactersAreWindows1250PaddedAndCut) {
  const DbfField c = field('C', 6);
  EXPECT_EQ(fieldBytes(c, "Řeka"), "\xD8" "eka  ");
  EXPECT_EQ(fieldBytes(c, "žluťoučký"), "\x9Elu\x9Do\x75");
  EXPECT_EQ(fieldText(c, "\xD8" "eka  "), "Řeka");
  EXPECT_EQ(fieldText(c, "  ab  "), "  ab");
}

TEST(DbfValue, DatesAndTruthValues) {
  const DbfField d = field('D', 8);
  EXPECT_EQ(fieldText(d, "20240305"), "5.3.2024");
  EXPECT_EQ(fieldBytes(d, "5.3.2024"), "20240305");
  EXPECT_EQ(fieldBytes(d, "2024-03-05"), "20240305");
  EXPECT_EQ(fieldBytes(d, "20240229"), "20240229");
  EXPECT_THROW(fieldBytes(d, "29.2.2023"), DbfError);
  const DbfField l = field('L', 1);
  EXPECT_EQ(fieldText(l, "T"), "TRUE");
  EXPECT_EQ(fieldText(l, "n"), "FALSE");
  EXPECT_EQ(fieldText(l, "?"), "");
  EXPECT_EQ(fieldBytes(l, "ano"), "T");
  EXPECT_EQ(fieldBytes(l, "FALSE"), "F");
  EXPECT_THROW(fieldBytes(l, "x"), DbfError);
}
