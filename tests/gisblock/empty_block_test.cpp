#include "gisblock/empty_block.h"

#include <gtest/gtest.h>

using namespace gisblock;

TEST(EmptyBlock, EachFileHoldsItsDummyRecord) {
  const auto files = emptyBlockFiles("C:\\ZELTO\\TEST.BLK");
  ASSERT_EQ(files.size(), 6u);
  const struct {
    const char* name;
    std::size_t size;
    int flagAt;
    std::uint8_t flag;
  } expected[] = {{"TN.CRD", 12, -1, 0}, {"TN.LIN", 103, 7, 1}, {"TN.ARE", 71, 6, 4}, {"TN.PNT", 35, 7, 1}, {"TN.TBX", 85, 11, 1}};
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const auto& e = expected[i];
    EXPECT_EQ(files[i].name, e.name);
    std::vector<std::uint8_t> bytes(e.size, 0);
    if (e.flagAt >= 0) bytes[e.flagAt] = e.flag;
    EXPECT_EQ(files[i].bytes, bytes) << e.name;
  }
  EXPECT_EQ(files[5].name, "TN.TTX");
  const std::string text(files[5].bytes.begin(), files[5].bytes.end());
  EXPECT_EQ(text, "Zelto-export pro Gelix (1998) ... soubor textu pro blok C:\\ZELTO\\TEST.BLK\r\n");
}
