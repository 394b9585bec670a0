#include "gisblock/block_info.h"

#include <gtest/gtest.h>

using namespace gisblock;

TEST(BlockInfo, CodePageValuesMapToTextCodePages) {
  EXPECT_EQ(codePageFromInfoValue("1"), cpKamenickych);
  EXPECT_EQ(codePageFromInfoValue("2"), cpLatin2);
  EXPECT_EQ(codePageFromInfoValue("852"), cpLatin2);
  EXPECT_EQ(codePageFromInfoValue("1250"), cpWindows);
  EXPECT_EQ(codePageFromInfoValue(""), cpIBM);
  EXPECT_EQ(codePageFromInfoValue("437"), cpIBM);
  EXPECT_EQ(codePageFromInfoValue("abc"), cpIBM);
  EXPECT_EQ(codePageFromInfoValue("852x"), cpIBM);
  EXPECT_EQ(toPlatformCodePage(cpKamenickych), platform::CodePage::Kamenicky);
  EXPECT_EQ(toPlatformCodePage(cpWindows), platform::CodePage::Windows1250);
}

TEST(BlockInfo, RectangleAndCodePageFromTheFile) {
  const BlockInfo info = parseBlockInfo("Verze=3\r\nopsanyObdelnikBloku=700000.5 1000000 701000 1002000\r\nCODEPAGE=852\r\n");
  EXPECT_EQ(info.codePage, cpLatin2);
  ASSERT_TRUE(info.rectangle);
  EXPECT_EQ(info.rectangle->toWorld(), (WorldRect{-701000, -1002000, -700000.5, -1000000}));

  EXPECT_FALSE(parseBlockInfo("OPSANYOBDELNIKBLOKU=0 0 0 0\r\n").rectangle);
  EXPECT_FALSE(parseBlockInfo("OPSANYOBDELNIKBLOKU=1 2 3\r\n").rectangle);
  EXPECT_FALSE(parseBlockInfo("").rectangle);
  EXPECT_EQ(parseBlockInfo("").codePage, cpIBM);
  EXPECT_EQ(readBlockInfo("/nonexistent/block").codePage, cpIBM);
}
