#include "render/rtf_text.h"

#include <gtest/gtest.h>

TEST(RtfText, ListingsSurviveARoundTrip) {
  const std::string text = "Plocha č. 1 {x}\\y\nřádek 2\n";
  const std::string rtf = render::PlainTextToRtf(text);
  EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
  EXPECT_NE(rtf.find("\\'e8"), std::string::npos);
  EXPECT_EQ(render::RtfToPlainText(rtf), text);
}
