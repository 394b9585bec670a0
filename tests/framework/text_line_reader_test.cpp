#include "framework/text_line_reader.h"

#include <gtest/gtest.h>

#include <string>

TEST(TextLineReader, IntegerListsEndWithTheFlag) {
  TCtiRadekClass r("12, 7,-3");
  EXPECT_EQ(r.ReadInteger(), 12);
  EXPECT_EQ(r.ReadInteger(), 7);
  EXPECT_EQ(r.ReadInteger(), -3);
  EXPECT_FALSE(r.AtEnd());
  EXPECT_EQ(r.ReadInteger(), 0);
  EXPECT_TRUE(r.AtEnd());

  TCtiRadekClass minus("5-3");
  EXPECT_EQ(minus.ReadInteger(), 5);
  EXPECT_EQ(minus.ReadInteger(), -3);

  TCtiRadekClass skip("x=+5");
  EXPECT_EQ(skip.ReadLongInt(), 5);

  TCtiRadekClass empty("");
  EXPECT_EQ(empty.ReadInteger(), 0);
  EXPECT_TRUE(empty.AtEnd());

  TCtiRadekClass twoSigns("+-5 7");
  EXPECT_EQ(twoSigns.ReadInteger(), 0);
  EXPECT_TRUE(twoSigns.AtEnd());
  EXPECT_EQ(twoSigns.ReadInteger(), 0);  // stays at the end

  TCtiRadekClass tooBig("2147483648");
  EXPECT_EQ(tooBig.ReadInteger(), 0);
  EXPECT_TRUE(tooBig.AtEnd());
}

TEST(TextLineReader, RealsStopAtCommasAndExponents) {
  TCtiRadekClass comma("2,5");
  EXPECT_EQ(comma.ReadFloat(), 2.0);
  EXPECT_EQ(comma.ReadFloat(), 5.0);

  TCtiRadekClass exponent("1e3");
  EXPECT_EQ(exponent.ReadFloat(), 1.0);
  EXPECT_EQ(exponent.ReadFloat(), 3.0);

  TCtiRadekClass run("1.5-2 4");
  EXPECT_EQ(run.ReadFloat(), 0.0);
  EXPECT_TRUE(run.AtEnd());

  TCtiRadekClass coords("-745123.25 -1043210.5");
  EXPECT_EQ(coords.ReadFloat(), -745123.25);
  EXPECT_EQ(coords.ReadFloat(), -1043210.5);
}

TEST(TextLineReader, ReadRealKeepsOnlySixByteRealPrecision) {
  TCtiRadekClass r("0.1 1e39");
  const double v = r.ReadReal();
  EXPECT_NE(v, 0.1);
  EXPECT_NEAR(v, 0.1, 1e-12);
  EXPECT_FALSE(r.AtEnd());

  // Beyond the 6-byte real's range: the end of the line, not a failure.
  TCtiRadekClass huge("1" + std::string(40, '0') + " 5");
  EXPECT_EQ(huge.ReadReal(), 0.0);
  EXPECT_TRUE(huge.AtEnd());
}

TEST(TextLineReader, BooleansDecideOnTheFirstKnownLetter) {
  TCtiRadekClass ano("  ano");
  EXPECT_TRUE(ano.ReadBoolean());
  std::string rest;
  ano.ReadUntilChar(';', rest);
  EXPECT_EQ(rest, "no");

  TCtiRadekClass f("xF1");
  EXPECT_FALSE(f.ReadBoolean());
  EXPECT_TRUE(f.ReadBoolean());

  TCtiRadekClass blanks("   ");
  EXPECT_FALSE(blanks.ReadBoolean());
  EXPECT_TRUE(blanks.AtEnd());
}

TEST(TextLineReader, CharactersAndTextUpToAStop) {
  TCtiRadekClass r("ab;cd");
  std::string text;
  r.ReadUntilChar(';', text);
  EXPECT_EQ(text, "ab");
  EXPECT_EQ(r.Position(), 3);
  EXPECT_EQ(r.ReadChar(), ';');
  r.ReadChars(10, text);
  EXPECT_EQ(text, "cd");
  EXPECT_EQ(r.Position(), 14);
  EXPECT_FALSE(r.AtEnd());
  EXPECT_EQ(r.ReadChar(), '\0');
  EXPECT_TRUE(r.AtEnd());

  TCtiRadekClass e("");
  EXPECT_EQ(e.ReadChar(), '\0');
  EXPECT_TRUE(e.AtEnd());

  TCtiRadekClass back("x");
  back.StepBack();
  EXPECT_TRUE(back.AtEnd());
}

TEST(TextLineReader, SingleStepsStopAtCharacter254) {
  std::string line(300, 'a');
  line[253] = 'Z';
  TCtiRadekClass r(line);
  for (int i = 0; i < 253; ++i) r.ReadChar();
  EXPECT_FALSE(r.AtEnd());
  EXPECT_EQ(r.ReadChar(), 'Z');
  EXPECT_TRUE(r.AtEnd());
  EXPECT_EQ(r.ReadChar(), '\0');

  TCtiRadekClass s(line);
  for (int i = 1; i < 254; ++i) s.StepForward();
  EXPECT_FALSE(s.AtEnd());
  s.StepForward();
  EXPECT_TRUE(s.AtEnd());
}
