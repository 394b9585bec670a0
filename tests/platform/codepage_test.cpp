#include "platform/codepage.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(CodePage, CzechLettersRoundTripThroughEveryCodePage) {
  const std::string text = "Příliš žluťoučký kůň úpěl ďábelské ódy ŘŠČŽÝÁÍÉŮÚŤĎŇĚ";
  for (CodePage cp : {CodePage::Latin2, CodePage::Kamenicky, CodePage::Windows1250}) {
    const std::string bytes = fromUtf8(text, cp);
    EXPECT_EQ(bytes.find('?'), std::string::npos) << static_cast<int>(cp);
    EXPECT_EQ(toUtf8(bytes, cp), text) << static_cast<int>(cp);
  }
}

TEST(CodePage, KnownByteCodes) {
  EXPECT_EQ(fromUtf8("ř", CodePage::Windows1250), "\xF8");
  EXPECT_EQ(fromUtf8("ř", CodePage::Latin2), "\xFD");
  EXPECT_EQ(fromUtf8("ř", CodePage::Kamenicky), "\xA9");
  EXPECT_EQ(fromUtf8("Č", CodePage::Kamenicky), "\x80");
  // Above the Czech letters Kamenický is the IBM page: box drawing stays.
  EXPECT_EQ(toUtf8("\xC4", CodePage::Kamenicky), toUtf8("\xC4", CodePage::Ibm437));
  EXPECT_EQ(toUtf8("\x82", CodePage::Ibm437), "é");
}

TEST(CodePage, UnrepresentableAndMalformedBecomeReplacement) {
  EXPECT_EQ(fromUtf8("a€b", CodePage::Ibm437), "a?b");
  EXPECT_EQ(fromUtf8("a\xFF" "b", CodePage::Windows1250), "a?b");
  EXPECT_EQ(toUtf8("\x98", CodePage::Windows1250), "\xEF\xBF\xBD");  // undefined byte
}

TEST(CodePage, ComparesByWindows1250Codes) {
  EXPECT_LT(compareByCp1250("Z", "a"), 0);
  EXPECT_GT(compareByCp1250("č", "z"), 0);  // 0xE8 after 0x7A
  EXPECT_LT(compareByCp1250("Š", "š"), 0);  // 0x8A before 0x9A
  EXPECT_EQ(compareByCp1250("ěšč", "ěšč"), 0);
  EXPECT_LT(compareByCp1250("ab", "abc"), 0);
}

TEST(CodePage, CaseOfCzechLetters) {
  EXPECT_EQ(upperUtf8("příliš žluťoučký kůň ľĺŕ"), "PŘÍLIŠ ŽLUŤOUČKÝ KŮŇ ĽĹŔ");
  EXPECT_EQ(lowerUtf8("ŘEKA ĽUBOŠ Ň"), "řeka ľuboš ň");
  EXPECT_TRUE(equalsIgnoringAsciiCase("Cislo", "CISLO"));
  EXPECT_FALSE(equalsIgnoringAsciiCase("č", "Č"));
}
