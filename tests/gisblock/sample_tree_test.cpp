// The blocks and tables of a generated district, written by an independent
// generator, read through the codecs and the table layer.
#include "gisblock/are_record.h"
#include "gisblock/attribute_table.h"
#include "gisblock/block_info.h"
#include "gisblock/cislo_index.h"
#include "gisblock/lin_record.h"
#include "gisblock/pnt_record.h"
#include "gisblock/table_creation.h"
#include "gisblock/tbx_record.h"
#include "gisblock/transfer_script.h"

#include "table_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include "process.h"
#include "sample_tree.h"

using namespace gisblock;
using gisblock_test::TableDir;
namespace fs = std::filesystem;

namespace {


template <typename Record>
std::vector<Record> records(const fs::path& file) {
  const std::string bytes = TableDir::bytesOf(file.string());
  std::vector<Record> out;
  for (std::size_t at = 0; at + Record::kSize <= bytes.size(); at += Record::kSize)
    out.push_back(Record::decode(reinterpret_cast<const std::uint8_t*>(bytes.data() + at)));
  return out;
}

template <typename Record, typename Live>
int liveCount(const fs::path& file, Live live) {
  const auto all = records<Record>(file);
  int n = 0;
  for (std::size_t i = 1; i < all.size(); ++i) n += live(all[i]) ? 1 : 0;
  return n;
}

class SampleTreeTest : public TableDir {
 protected:
  void SetUp() override {
    TableDir::SetUp();
    if (test_support::GeneratedSample().empty()) GTEST_SKIP() << "python3 not installed";
    ASSERT_TRUE(test_support::CopySample(dir.string()));
  }
};

}  // namespace

TEST_F(SampleTreeTest, BlocksHoldTheObjectsTheGeneratorMade) {
  // district block lines areas points texts, one line each
  const std::string listing = test_support::Capture(
      "python3 -c \"import json,sys; e=json.load(open(sys.argv[1]))\n"
      "for d in e['districts'].values():\n"
      "  for b,c in d['blocks'].items(): print(d['directory'], b, c['lines'], c['areas'], c['points'], c['texts'])\" '" +
      (dir / "expected.json").string() + "'");
  std::istringstream lines(listing);
  std::string district, block;
  int expectedLines, expectedAreas, expectedPoints, expectedTexts, checked = 0;
  while (lines >> district >> block >> expectedLines >> expectedAreas >> expectedPoints >> expectedTexts) {
    const fs::path b = dir / "GIS" / district / block;
    SCOPED_TRACE(b.string());
    EXPECT_EQ(liveCount<LinRecord>(b / "TN.LIN", [](const LinRecord& l) { return !l.deleted(); }), expectedLines);
    EXPECT_EQ(liveCount<AreRecord>(b / "TN.ARE", [](const AreRecord& a) { return a.live(); }), expectedAreas);
    EXPECT_EQ(liveCount<PntRecord>(b / "TN.PNT", [](const PntRecord& p) { return !p.deleted(); }), expectedPoints);
    EXPECT_EQ(liveCount<TbxRecord>(b / "TN.TBX", [](const TbxRecord& t) { return !t.deleted(); }), expectedTexts);
    const auto lin = records<LinRecord>(b / "TN.LIN");
    for (std::size_t i = 1; i < lin.size(); ++i) EXPECT_EQ(lin[i].cislo, i);
    const BlockInfo info = readBlockInfo(b.string());
    EXPECT_EQ(info.codePage, cpWindows);
    ASSERT_TRUE(info.rectangle);
    EXPECT_LT(info.rectangle->toWorld().minX, info.rectangle->toWorld().maxX);
    ++checked;
  }
  EXPECT_GE(checked, 6);
}

TEST_F(SampleTreeTest, ControlFilesMakeTablesAndRowsAreFoundByNumber) {
  int tables = 0;
  for (const auto& entry : fs::recursive_directory_iterator(dir / "GIS")) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() == ".CRT") {
      EXPECT_TRUE(CreateTableFromCRT(entry.path().string(), path("made_" + name + ".DBF"), messages)) << name;
      ++tables;
    } else if (entry.path().extension() == ".TDS") {
      TransferScript script;
      EXPECT_TRUE(script.load(entry.path().string()));
      EXPECT_GT(script.Count(), 0) << name;
    }
  }
  EXPECT_GT(tables, 10);
  EXPECT_TRUE(shown.empty()) << shown.front();

  const std::string det = (dir / "GIS" / "4107" / "01" / "DET.BLK" / "P0110.DBF").string();
  platform::DbfTable rows;
  rows.open(det, true);
  AttributeTable table(messages);
  int found = 0;
  for (bool row = rows.first(); row; row = rows.next()) {
    const std::int32_t cislo = cisloFromText(rows.text("CISLO"));
    ASSERT_TRUE(table.LocateInFile(det, cislo)) << cislo;
    EXPECT_EQ(table.GetFieldText("SKUPINA"), rows.text("SKUPINA"));
    ++found;
  }
  EXPECT_GT(found, 20);
  EXPECT_FALSE(table.LocateInFile(det, 499999));
}
