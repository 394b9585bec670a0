#include "render/parameter_reader.h"
#include "files.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {
struct Item {
  bool isKey, isSection;
  std::string text, key;
  bool atEof;
};

class ParameterFile : public ::testing::Test {
 protected:
  test_support::TempDir dir{"params"};
  std::filesystem::path path = dir / "params.txt";
  void write(const std::string& bytes) { test_support::WriteFile(path, bytes); }
  std::vector<Item> readAll(TCteniParametru& reader) {
    std::vector<Item> items;
    for (;;) {
      Item i{};
      reader.ReadNextItem(i.isKey, i.isSection, i.text, i.key, i.atEof);
      items.push_back(i);
      if (i.atEof) return items;
    }
  }
};
}  // namespace

TEST_F(ParameterFile, LinesAreClassifiedAsSectionsKeysOrNothing) {
  write("; linie\r\n[Retez]\r\n  kod = 12 \r\n\r\nNAZEV=Hranice lesa\r\n;[END]\r\nRetez\r\nx=\r\n"
        "[A[b]]\r\n[end");
  bool ok = false;
  TCteniParametru reader(path.string(), ok);
  ASSERT_TRUE(ok);
  const std::vector<Item> items = readAll(reader);
  ASSERT_EQ(items.size(), 10u);
  EXPECT_FALSE(items[0].isKey || items[0].isSection);
  EXPECT_TRUE(items[1].isSection);
  EXPECT_EQ(items[1].text, "RETEZ");
  EXPECT_TRUE(items[2].isKey);
  EXPECT_EQ(items[2].key, "KOD");
  EXPECT_EQ(items[2].text, "12");
  EXPECT_FALSE(items[3].isKey || items[3].isSection);
  EXPECT_EQ(items[4].text, "Hranice lesa");
  EXPECT_FALSE(items[5].isKey || items[5].isSection);
  EXPECT_TRUE(items[6].isKey);
  EXPECT_EQ(items[6].key, "RETEZ");
  EXPECT_EQ(items[6].text, "");
  EXPECT_TRUE(items[7].isKey);
  EXPECT_EQ(items[7].text, "");
  EXPECT_EQ(items[8].text, "A[B]");
  EXPECT_TRUE(items[9].isSection);
  EXPECT_EQ(items[9].text, "END");
  EXPECT_TRUE(items[9].atEof);
  EXPECT_FALSE(items[8].atEof);
}

TEST_F(ParameterFile, NumbersComeFromTheLastValue) {
  write("sirka = -1.25 mm\r\nkod=12\r\nbarva=cervena\r\nnazev=Mez \xE8\xE1st\xED\r\n");
  bool ok = false;
  TCteniParametru reader(path.string(), ok);
  ASSERT_TRUE(ok);
  bool isKey, isSection, atEof;
  std::string text, key;
  reader.ReadNextItem(isKey, isSection, text, key, atEof);
  EXPECT_DOUBLE_EQ(reader.ValueAsReal(), -1.25);
  reader.ReadNextItem(isKey, isSection, text, key, atEof);
  EXPECT_EQ(reader.ValueAsInteger(), 12);
  reader.ReadNextItem(isKey, isSection, text, key, atEof);
  EXPECT_EQ(reader.ValueAsInteger(), 0);
  EXPECT_EQ(reader.ValueAsReal(), 0.0);
  reader.ReadNextItem(isKey, isSection, text, key, atEof);
  EXPECT_EQ(text, "Mez částí");
  EXPECT_TRUE(atEof);
}

TEST_F(ParameterFile, LongValuesAreCutAndOneLineFilesEndAtOnce) {
  write("popis=" + std::string(300, 'x'));
  bool ok = false;
  TCteniParametru reader(path.string(), ok);
  ASSERT_TRUE(ok);
  bool isKey, isSection, atEof;
  std::string text, key;
  reader.ReadNextItem(isKey, isSection, text, key, atEof);
  EXPECT_TRUE(atEof);
  EXPECT_EQ(text.size(), 250u);
}

TEST_F(ParameterFile, MissingOrEmptyFilesAreNotOk) {
  bool ok = true;
  TCteniParametru none("", ok);
  EXPECT_FALSE(ok);
  TCteniParametru missing((dir / "no_such.txt").string(), ok);
  EXPECT_FALSE(ok);
  write("");
  TCteniParametru empty(path.string(), ok);
  EXPECT_FALSE(ok);
  EXPECT_TRUE(empty.Opened);
}
