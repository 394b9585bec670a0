// The LHC merges on the generated tree: the districts' exported blocks
// merged into one block of the LHC, read back and held against the
// generator's areas; and the old block kept when a district's block fails.
#include "app/jobs/lhc_merge.h"

#include "../areas/export_fixture.h"
#include "areas/area_point_placer.h"
#include "areas/export_areas.h"
#include "block_records.h"
#include "dbf_rows.h"
#include "files.h"
#include "gisblock/are_record.h"
#include "gisblock/lin_record.h"
#include "gisblock/staged_block.h"
#include "jobs_fixture.h"
#include "platform/path_resolver.h"

namespace jobs_test {
namespace {

class LhcMergeTest : public LhcJobTest<jobs::LhcMergeContext> {
 protected:
  // The district and ZRO levels of both districts, as the level exports write them.
  void ExportDistricts() {
    ExportDistrictLevels({99, 116});
    ui->clear();
  }
  using Level = areas_test::ExportLevel;
  using Lines = std::vector<std::vector<std::pair<double, double>>>;
  // The district and ZRO blocks of a district of one area, bounded by the
  // lines given, written as the level exports write them.
  void WriteDistrictBlocks(const std::string& code, const Lines& ring) {
    for (const jobs::LhcLayerKind* layer : {&jobs::LhcLayer(), &jobs::LhcZroLayer()}) {
      Level shapes;  // owns the lines and their nodes
      std::vector<std::pair<TPolyLineElement*, bool>> lines;
      for (const auto& points : ring) {
        TPolyLineElement* line = areas_test::Line({});
        for (auto [px, py] : points) line->AddVertex(px, py);
        shapes.lineList->Add(line);
        shapes.node(points.front().first, points.front().second)->AddLine(line, true);
        shapes.node(points.back().first, points.back().second)->AddLine(line, false);
        lines.emplace_back(line, true);
      }
      auto* areas = new TAreaString;
      shapes.root.Add(areas);
      areas->Add(Level::area(lines));
      TMultiAreaPointPlacer labels;
      labels.SetInput(areas);
      labels.DoIt();
      TExportAreasToGelix exporter;
      exporter.SetInput(areas);
      exporter.BlockName = (District(code) / (code + std::string(layer->DistrictBlock))).string();
      exporter.ControlDir = context.GisRoot;
      exporter.ExportDBF = true;
      exporter.PlochyVHa = true;
      exporter.DruhPloch = layer->Zro ? 1400 : 9400;
      fs::create_directories(District(code));
      exporter.DoIt();
      ASSERT_TRUE(exporter.LastRun().Written) << exporter.LastRun().Text(exporter.BlockName);
    }
  }
  double ExpectedSum(const std::string& expression) const {
    return std::stod(test_support::Expected(dir, expression));
  }
};

TEST_F(LhcMergeTest, TheDistrictsMergeIntoTheLhcAreaAndTheLhcZroLayer) {
  ExportDistricts();
  ASSERT_EQ(jobs::MergeLhcLayer(context, jobs::LhcLayer()), jobs::MergeResult::Written);
  EXPECT_EQ(ui->shownTexts().back(), "Konec tvorby LHC");
  std::map<int, KindSums> lhcAreas = ReadAreas(lhc / "_11LHC.BLK");
  // Kind 9400 of the districts becomes 1100; their holes stay empty areas.
  // The districts' shared edges lie 4 mm apart: snapped together, they
  // leave no sliver, and the strip between them goes to an LHC area.
  const std::string reg = "e['districts'][c]['levels']['REG']";
  const double gap = ExpectedSum("e['lhc_shared_gap_m2']");
  EXPECT_GT(gap, 1);
  EXPECT_EQ(lhcAreas[1100].count, ExpectedSum("sum(" + reg + "['count'] for c in ('01','02'))"));
  EXPECT_NEAR(lhcAreas[1100].net, ExpectedSum("sum(" + reg + "['sum_net_m2'] for c in ('01','02'))") + gap, 0.1);
  EXPECT_EQ(lhcAreas[134].count, ExpectedSum("sum(" + reg + "['empty_count'] for c in ('01','02'))"));
  EXPECT_NEAR(lhcAreas[1100].net + lhcAreas[134].net, ExpectedSum("e['lhc_area_m2']") + gap, 0.1);
  EXPECT_EQ(lhcAreas.count(0), 0u);
  EXPECT_EQ(lhcAreas[1100].colours, (std::map<int, int>{{7, 2}}));
  EXPECT_TRUE(fs::exists(lhc / "_11LHC.BLK" / "P1100.DBF"));

  ui->clear();
  ASSERT_EQ(jobs::MergeLhcLayer(context, jobs::LhcZroLayer()), jobs::MergeResult::Written);
  EXPECT_EQ(ui->shownTexts().back(), "Konec tvorby LHC");
  std::map<int, KindSums> zro = ReadAreas(lhc / "_91ZRO.BLK");
  const std::string levels = "e['districts'][c]['levels']['ZRO']";
  EXPECT_EQ(zro[1400].count, ExpectedSum("sum(" + levels + "['count'] for c in ('01','02'))"));
  EXPECT_NEAR(zro[1400].net, ExpectedSum("sum(" + levels + "['sum_net_m2'] for c in ('01','02'))") + gap, 0.1);
  EXPECT_EQ(zro[1400].colours.size(), 1u);
  EXPECT_EQ(zro[1400].colours.begin()->first, 12);
  EXPECT_EQ(zro[134].count, ExpectedSum("sum(" + levels + "['empty_count'] for c in ('01','02'))"));
  for (const auto& [colour, n] : zro[134].colours) EXPECT_TRUE(colour == 15 || colour == 13) << colour;
}

// A district's block replaced while the merge reads it would give the
// merge part of the old block's files and part of the new one's: a merge
// started while an export writes a district's block keeps the old LHC block
// and names the block; a merge holds its districts' blocks until it has
// written its own.
TEST_F(LhcMergeTest, ADistrictBlockBeingWrittenIsNotMerged) {
  ExportDistricts();
  ASSERT_EQ(jobs::MergeLhcLayer(context, jobs::LhcLayer()), jobs::MergeResult::Written);
  const std::string merged = FileBytes(lhc / "_11LHC.BLK" / "TN.ARE");
  for (const jobs::LhcLayerKind* layer : {&jobs::LhcLayer(), &jobs::LhcZroLayer()}) {
    SCOPED_TRACE(layer->Block);
    const fs::path written = District("02") / ("02" + std::string(layer->DistrictBlock));
    gisblock::StagedBlock writer(written.string());
    ASSERT_TRUE(writer.ok()) << writer.error();
    ui->clear();
    log.clear();
    EXPECT_EQ(jobs::MergeLhcLayer(context, *layer), jobs::MergeResult::Failed);
    EXPECT_EQ(ui->shownTexts(),
              std::vector<std::string>{"Blok " + (lhc / layer->Block).string() + " nebyl zapsán: do bloku " +
                                       written.string() + " právě zapisuje jiná úloha; zkuste to znovu, až skončí. " +
                                       (layer->Zro ? "Žádný blok nebyl zapsán." : "Původní blok zůstává beze změny.")});
    EXPECT_EQ(log, ui->shownTexts());
  }
  EXPECT_FALSE(fs::exists(lhc / "_91ZRO.BLK"));
  {
    // Another merge writing the LHC's block is another job, not an export.
    gisblock::StagedBlock other((lhc / "_11LHC.BLK").string());
    ASSERT_TRUE(other.ok()) << other.error();
    ui->clear();
    EXPECT_EQ(jobs::MergeLhcLayer(context, jobs::LhcLayer()), jobs::MergeResult::Failed);
    EXPECT_EQ(ui->shownTexts(), std::vector<std::string>{"Blok " + (lhc / "_11LHC.BLK").string() +
                                                         " nelze zapsat: do bloku právě zapisuje jiná úloha; "
                                                         "zkuste to znovu, až skončí"});
  }
  EXPECT_EQ(FileBytes(lhc / "_11LHC.BLK" / "TN.ARE"), merged);
  // Released with the merge: the next export and merge go through.
  ASSERT_EQ(jobs::MergeLhcLayer(context, jobs::LhcZroLayer()), jobs::MergeResult::Written);
  gisblock::StagedBlock writer((District("02") / "02_91ZRO.BLK").string());
  EXPECT_TRUE(writer.ok()) << writer.error();
}

// A district whose block is missing (never exported, or left only as the
// hidden copy of a replacement that was broken off) or gives no area keeps
// the old LHC block, and the user learns which block.
TEST_F(LhcMergeTest, AMissingOrUnreadableDistrictBlockKeepsTheOldBlock) {
  fs::create_directories(lhc / "_11LHC.BLK");
  std::ofstream(lhc / "_11LHC.BLK" / "TN.ARE") << "old";
  const fs::path reg01 = District("01") / "01_94REG.BLK", reg02 = District("02") / "02_94REG.BLK";
  auto failsNaming = [&](const std::vector<fs::path>& blocks) {
    ui->clear();
    log.clear();
    EXPECT_EQ(jobs::MergeLhcLayer(context, jobs::LhcLayer()), jobs::MergeResult::Failed);
    ASSERT_EQ(ui->shownTexts().size(), 1u);
    const std::string text = ui->shownTexts()[0];
    for (const fs::path& block : blocks) EXPECT_NE(text.find(block.string()), std::string::npos) << text;
    EXPECT_NE(text.find("Původní blok zůstává beze změny."), std::string::npos) << text;
    EXPECT_EQ(log, ui->shownTexts());
    EXPECT_EQ(FileBytes(lhc / "_11LHC.BLK" / "TN.ARE"), "old");
  };
  failsNaming({reg01, reg02});  // districts with a DET block, not yet exported
  // Where no LHC block was, none stays.
  ui->clear();
  EXPECT_EQ(jobs::MergeLhcLayer(context, jobs::LhcZroLayer()), jobs::MergeResult::Failed);
  EXPECT_EQ(ui->shownTexts(), std::vector<std::string>{"Blok " + (lhc / "_91ZRO.BLK").string() +
                                                       " nebyl zapsán: chybí bloky revírů " +
                                                       (District("01") / "01_91ZRO.BLK").string() + ", " +
                                                       (District("02") / "02_91ZRO.BLK").string() +
                                                       ". Žádný blok nebyl zapsán."});

  ExportDistricts();
  // A block that a killed commit left aside comes back for the merge.
  fs::rename(reg01, District("01") / ".01_94REG.BLK.old");
  EXPECT_EQ(jobs::MergeLhcLayer(context, jobs::LhcLayer()), jobs::MergeResult::Written);
  EXPECT_TRUE(fs::is_directory(reg01));
  fs::remove_all(lhc / "_11LHC.BLK");
  fs::create_directories(lhc / "_11LHC.BLK");
  std::ofstream(lhc / "_11LHC.BLK" / "TN.ARE") << "old";

  // Damaged: a line file cut inside a record, or no areas at all.
  const fs::path lin = reg02 / "TN.LIN";
  fs::resize_file(lin, fs::file_size(lin) - 1);
  failsNaming({reg02});
  fs::resize_file(reg02 / "TN.ARE", 0);
  failsNaming({reg02});

  // A bad snap distance is named before anything is read.
  SetExportSetting("LHCSnapDistance", "-0.01");
  ui->clear();
  EXPECT_EQ(jobs::MergeLhcLayer(context, jobs::LhcLayer()), jobs::MergeResult::BadSetting);
  ASSERT_EQ(ui->shownTexts().size(), 1u);
  EXPECT_NE(ui->shownTexts()[0].find("LHCSnapDistance"), std::string::npos);
}

// A district block the merge cannot use is named in the box as the user
// chose the LHC directory; a damaged one with the damage, since a block
// that reads as empty or short would otherwise look merely unreadable.
TEST_F(LhcMergeTest, ADamagedOrMissingDistrictBlockIsNamedWithItsCause) {
  struct Drive {
    explicit Drive(const fs::path& directory) { platform::pathResolver().setDrive('D', directory); }
    ~Drive() { platform::pathResolver().removeDrive('D'); }
  } drive(dir);
  ExportDistricts();
  context.LhcDirectory = "D:\\GIS\\4107";
  for (const jobs::LhcLayerKind* layer : {&jobs::LhcLayer(), &jobs::LhcZroLayer()}) {
    SCOPED_TRACE(layer->Block);
    const std::string name = "02" + std::string(layer->DistrictBlock);
    const fs::path district = District("02") / name;
    const std::string chosen = "D:\\GIS\\4107\\02\\" + name;
    fs::remove_all(lhc / layer->Block);
    fs::create_directories(lhc / layer->Block);
    std::ofstream(lhc / layer->Block / "TN.ARE") << "old";
    auto failsSaying = [&](const std::vector<std::string>& parts) {
      ui->clear();
      log.clear();
      EXPECT_EQ(jobs::MergeLhcLayer(context, *layer), jobs::MergeResult::Failed);
      ASSERT_EQ(ui->shownTexts().size(), 1u);
      const std::string text = ui->shownTexts()[0];
      for (const std::string& part : parts) EXPECT_NE(text.find(part), std::string::npos) << part << " in " << text;
      EXPECT_EQ(text.find(dir.string()), std::string::npos) << text;
      EXPECT_EQ(FileBytes(lhc / layer->Block / "TN.ARE"), "old");
      EXPECT_EQ(std::distance(fs::directory_iterator(lhc / layer->Block), fs::directory_iterator()), 1);
    };
    const std::string lin = FileBytes(district / "TN.LIN"), crd = FileBytes(district / "TN.CRD");
    // TN.LIN cut inside a record.
    fs::resize_file(district / "TN.LIN", lin.size() - 1);
    failsSaying({"Vstupní blok " + chosen + " je poškozen (", "TN.LIN"});
    std::ofstream(district / "TN.LIN", std::ios::binary) << lin;
    // Vertices past the first record overwritten with garbage.
    std::string garbage = crd;
    for (std::size_t i = garbage.size() / 2; i < garbage.size(); ++i) garbage[i] = static_cast<char>(0xA5 ^ i);
    std::ofstream(district / "TN.CRD", std::ios::binary) << garbage;
    failsSaying({"Vstupní blok " + chosen + " je poškozen (TN.CRD"});
    std::ofstream(district / "TN.CRD", std::ios::binary) << crd;
    // Gone, leaving the district's other blocks.
    const fs::path aside = dir / "aside";
    fs::rename(district, aside);
    failsSaying({"chybí blok revíru " + chosen});
    fs::rename(aside, district);
    ui->clear();
    EXPECT_EQ(jobs::MergeLhcLayer(context, *layer), jobs::MergeResult::Written) << ui->shownTexts().front();
  }
}

// The LHC rows take their keys (REVIR, LHC_KOD) from the districts' rows: a
// district table that is missing, lacks the row of an area or cannot find
// rows at all, fails the merge, which names the table once and keeps the
// old LHC and ZRO blocks.
TEST_F(LhcMergeTest, AMergeThatCannotReadADistrictsRowsKeepsTheOldBlocks) {
  ExportDistricts();
  for (const jobs::LhcLayerKind* layer : {&jobs::LhcLayer(), &jobs::LhcZroLayer()}) {
    SCOPED_TRACE(layer->Block);
    const fs::path block = District("01") / ("01" + std::string(layer->DistrictBlock));
    const fs::path table = block / (layer->Zro ? "P1400.DBF" : "P9400.DBF");
    const std::string rows = FileBytes(table);
    auto keepsOldBlock = [&](const std::string& cause) {
      fs::remove_all(lhc / layer->Block);
      fs::create_directories(lhc / layer->Block);
      std::ofstream(lhc / layer->Block / "TN.ARE") << "old";
      ui->clear();
      log.clear();
      EXPECT_EQ(jobs::MergeLhcLayer(context, *layer), jobs::MergeResult::Failed);
      ASSERT_EQ(ui->shownTexts().size(), 1u);
      const std::string text = ui->shownTexts()[0];
      const std::size_t named = text.find(table.filename().string());
      EXPECT_NE(named, std::string::npos) << text;
      EXPECT_EQ(text.find(table.filename().string(), named + 1), std::string::npos) << text;  // once
      EXPECT_NE(text.find(cause), std::string::npos) << text;
      EXPECT_EQ(FileBytes(lhc / layer->Block / "TN.ARE"), "old");
      EXPECT_EQ(std::distance(fs::directory_iterator(lhc / layer->Block), fs::directory_iterator()), 1);
    };
    fs::remove(table);
    keepsOldBlock("tabulka neexistuje");
    // The table with its header and no rows.
    std::string empty = rows.substr(0, static_cast<unsigned char>(rows[8]) | static_cast<unsigned char>(rows[9]) << 8);
    empty[4] = empty[5] = empty[6] = empty[7] = 0;
    std::ofstream(table, std::ios::binary) << empty << '\x1A';
    keepsOldBlock("není nalezen záznam c.");
    // Its rows without their numbers: CISLO renamed in a spreadsheet.
    std::string unnumbered = rows;
    unnumbered.replace(unnumbered.find(std::string("CISLO\0", 6)), 6, std::string("CISLA\0", 6));
    std::ofstream(table, std::ios::binary) << unnumbered;
    keepsOldBlock("při čtení záznamu: tabulka nemá položku CISLO");
    std::ofstream(table, std::ios::binary) << rows;
    ui->clear();
    EXPECT_EQ(jobs::MergeLhcLayer(context, *layer), jobs::MergeResult::Written);
  }
}

// A district table without a key the LHC takes from it (a field renamed in
// a spreadsheet), or holding a value the LHC's field would keep only
// rounded, cut short or with letters its code page lacks, or not at all,
// fails the merge, which names the district's table and row; the old LHC
// block stays. A ZRO table of the LHC is made like the first district's:
// that table is held against its kind's control file, the others against
// it.
TEST_F(LhcMergeTest, AKeyADistrictsRowCannotGiveWholeKeepsTheOldBlockAndNamesTheRow) {
  ExportDistricts();
  enum Table { kAsExported, kWidened, kDos };  // the district's table before the value is set
  const struct {
    const jobs::LhcLayerKind* layer;
    const char* field;
    const char* value;  // the field's bytes; none: the field renamed
    const char* told;
    Table table = kAsExported;
    const char* code = "02";
    const char* kindTable = nullptr;  // none: the layer's own
  } cases[] = {
      {&jobs::LhcLayer(), "REVIR", nullptr, ": tabulka nemá položku REVIR (přenos položek dle "},
      // Whichever district's table the LHC's is made like (here 02's), the
      // one without the key is named.
      {&jobs::LhcZroLayer(), "ODD", nullptr, ": tabulka nemá položku ODD"},
      {&jobs::LhcZroLayer(), "DIL", nullptr, ": tabulka nemá položku DIL", kAsExported, "01"},
      {&jobs::LhcZroLayer(), "SKUPINA", nullptr, ": tabulka nemá položku SKUPINA", kAsExported, "02", "P0134.DBF"},
      // The LHC's empty areas take the keys the districts' rows hold under
      // the names the script wrote them by.
      {&jobs::LhcLayer(), "ODD", nullptr, ": tabulka nemá položku ODD (přenos položek dle ", kAsExported, "02",
       "P0134.DBF"},
      {&jobs::LhcZroLayer(), "ODD", "1,5",
       ": řádek 1, položka ODD: Hodnotu \"1,5\" nelze zapsat do položky ODD: není celé číslo"},
      {&jobs::LhcZroLayer(), "ODD", "2.5",
       ": řádek 1, položka ODD: Hodnotu \"2.5\" nelze zapsat do položky ODD: není celé číslo"},
      {&jobs::LhcZroLayer(), "ODD", "***",
       ": řádek 1, položka ODD: Hodnotu \"***\" nelze zapsat do položky ODD: není to číslo"},
      // The LHC's REVIR is C 2 by its control file; the other rows' "02"
      // stand in the wider field with blanks after them.
      {&jobs::LhcLayer(), "REVIR", "02AB",
       ": řádek 1, položka REVIR: Hodnotu \"02AB\" nelze zapsat do položky REVIR: text je delší, než položka pojme "
       "(šířka 2)",
       kWidened},
      // Shading of a DOS program (code page 852), which Windows-1250 lacks.
      {&jobs::LhcLayer(), "REVIR", "\xB1\xB1",
       ": řádek 1, položka REVIR: Hodnotu \"▒▒\" nelze zapsat do položky REVIR: obsahuje znaky, které tabulka "
       "neumí uložit",
       kDos},
  };
  for (const auto& c : cases) {
    const jobs::LhcLayerKind& layer = *c.layer;
    SCOPED_TRACE(std::string(layer.Block) + " " + c.code + " " + c.field + " " + (c.value ? c.value : "renamed"));
    ASSERT_EQ(jobs::MergeLhcLayer(context, layer), jobs::MergeResult::Written);
    const std::string merged = FileBytes(lhc / layer.Block / "TN.ARE");
    const fs::path table = District(c.code) / (c.code + std::string(layer.DistrictBlock)) /
                           (c.kindTable ? c.kindTable : layer.Zro ? "P1400.DBF" : "P9400.DBF");
    const std::string sound = FileBytes(table);
    if (c.table == kWidened) test_support::ResizeField(table, c.field, 4);
    if (c.table == kDos) test_support::RecodeAsDos(table);
    if (c.value)
      test_support::SetRawField(table, 1, c.field, c.value);
    else
      test_support::RenameField(table, c.field, std::string(c.field) + "_1");
    ui->clear();
    EXPECT_EQ(jobs::MergeLhcLayer(context, layer), jobs::MergeResult::Failed);
    ASSERT_EQ(ui->shownTexts().size(), 1u);
    const std::string text = ui->shownTexts()[0];
    EXPECT_NE(text.find("soubor " + table.string() + c.told), std::string::npos) << text;
    EXPECT_EQ(FileBytes(lhc / layer.Block / "TN.ARE"), merged);
    test_support::WriteFile(table, sound);
  }
}

// Damage in a district block the merge reads (a line a live area still
// names flagged deleted, a line's last vertex index lowered or its first put
// after its last, a link changed to another line) fails the merge as a
// missing row does: the box names the block and the damage, and the old
// LHC block stays.
TEST_F(LhcMergeTest, ADistrictBlockWhoseRingsContradictThemselvesKeepsTheOldBlock) {
  using gisblock::LinRecord;
  ExportDistricts();
  for (const jobs::LhcLayerKind* layer : {&jobs::LhcLayer(), &jobs::LhcZroLayer()}) {
    SCOPED_TRACE(layer->Block);
    const fs::path block = District("01") / ("01" + std::string(layer->DistrictBlock));
    const fs::path lin = block / "TN.LIN";
    const std::string sound = FileBytes(lin);
    const std::int32_t count = test_support::RecordCount<LinRecord>(lin);
    // A line of three vertices or more with an area on its left, and a side
    // of another line that is not that area's.
    std::int32_t line = 1, other = 1;
    auto record = [&](std::int32_t n) { return *test_support::ReadRecord<LinRecord>(lin, n); };
    while (line < count && (record(line).lastCoord - record(line).firstCoord < 2 ||
                            static_cast<std::int32_t>(record(line).leftArea) < 1))
      ++line;
    ASSERT_LT(line, count);
    const std::uint32_t area = record(line).leftArea;
    while (other < count && (other == line || (record(other).leftArea == area && record(other).rightArea == area)))
      ++other;
    ASSERT_LT(other, count);
    const std::uint8_t side = record(other).leftArea != area;
    const struct {
      const char* what;
      std::function<void(LinRecord&)> change;
    } cases[] = {
        {"deleted", [](LinRecord& l) { l.flags |= LinRecord::kDeleted; }},
        {"last index lowered", [](LinRecord& l) { --l.lastCoord; }},
        {"first index after last", [](LinRecord& l) { std::swap(l.firstCoord, l.lastCoord); }},
        {"linked to another line", [&](LinRecord& l) { l.leftNext = {other, side}; }},
    };
    for (const auto& c : cases) {
      SCOPED_TRACE(c.what);
      std::ofstream(lin, std::ios::binary) << sound;
      test_support::PatchRecord<LinRecord>(lin, line, c.change);
      fs::remove_all(lhc / layer->Block);
      fs::create_directories(lhc / layer->Block);
      std::ofstream(lhc / layer->Block / "TN.ARE") << "old";
      ui->clear();
      EXPECT_EQ(jobs::MergeLhcLayer(context, *layer), jobs::MergeResult::Failed);
      ASSERT_EQ(ui->shownTexts().size(), 1u);
      const std::string text = ui->shownTexts()[0];
      EXPECT_NE(text.find("Vstupní blok " + block.string() + " je poškozen (TN.LIN: "), std::string::npos) << text;
      EXPECT_NE(text.find("č." + std::to_string(line)), std::string::npos) << text;
      EXPECT_EQ(FileBytes(lhc / layer->Block / "TN.ARE"), "old");
    }
    std::ofstream(lin, std::ios::binary) << sound;
    EXPECT_EQ(jobs::MergeLhcLayer(context, *layer), jobs::MergeResult::Written);
  }
}

// An empty island a district block holds deleted: the hole it leaves in
// its father stays an empty area with its row in both merges, as the level
// exports make such a hole, and the log says where.
TEST_F(LhcMergeTest, ADeletedIslandOfADistrictStaysAnEmptyArea) {
  ExportDistricts();
  for (const jobs::LhcLayerKind* layer : {&jobs::LhcLayer(), &jobs::LhcZroLayer()}) {
    SCOPED_TRACE(layer->Block);
    ASSERT_EQ(jobs::MergeLhcLayer(context, *layer), jobs::MergeResult::Written);
    const std::map<int, KindSums> sound = ReadAreas(lhc / layer->Block);
    const fs::path block = District("01") / ("01" + std::string(layer->DistrictBlock));
    std::string bytes = FileBytes(block / "TN.ARE");
    const std::size_t n = bytes.size() / gisblock::AreRecord::kSize;
    std::size_t island = 0;
    gisblock::AreRecord record;
    for (std::size_t i = 1; i < n && !island; ++i) {
      record = gisblock::AreRecord::decode(reinterpret_cast<const std::uint8_t*>(bytes.data()) +
                                           i * gisblock::AreRecord::kSize);
      if (record.paterNo && !record.hasChildren && record.druh == 134) island = i;
    }
    ASSERT_NE(island, 0u);
    // The island's ring carries its father on the outer side.
    const std::string lin = FileBytes(block / "TN.LIN");
    int ring = 0;
    for (std::size_t i = 1; i < lin.size() / gisblock::LinRecord::kSize; ++i) {
      const auto line = gisblock::LinRecord::decode(reinterpret_cast<const std::uint8_t*>(lin.data()) +
                                                    i * gisblock::LinRecord::kSize);
      if (line.leftArea != record.cislo && line.rightArea != record.cislo) continue;
      ++ring;
      EXPECT_EQ(line.leftArea + line.rightArea - record.cislo, record.paterNo) << "line " << line.cislo;
    }
    EXPECT_GT(ring, 0);
    bytes[island * gisblock::AreRecord::kSize + 6] = 1;  // deleted
    std::ofstream(block / "TN.ARE", std::ios::binary) << bytes;
    log.clear();
    ASSERT_EQ(jobs::MergeLhcLayer(context, *layer), jobs::MergeResult::Written);
    std::map<int, KindSums> merged = ReadAreas(lhc / layer->Block);
    const int kind = layer->Zro ? 1400 : 1100;
    EXPECT_NEAR(merged[kind].net, sound.at(kind).net, 0.01);
    EXPECT_EQ(merged[134].count, sound.at(134).count);
    EXPECT_NEAR(merged[134].net, sound.at(134).net, 0.01);
    EXPECT_EQ(test_support::LiveRows(lhc / layer->Block / "P0134.DBF", {"DRUH"}).size(),
              static_cast<std::size_t>(merged[134].count));
    std::string all;
    for (const std::string& line : log) all += line + "\n";
    EXPECT_NE(all.find(std::string(layer->Marker) + ": plocha mimo plochy revírů"), std::string::npos) << all;
  }
}

// The districts' empty areas keep their keys in the LHC's table: the
// districts' rows hold what the transfer script wrote into them, not the
// forest description's names it reads them by.
TEST_F(LhcMergeTest, TheDistrictsEmptyAreasKeepTheirKeysInBothMerges) {
  ExportDistricts();
  const std::vector<std::string> keys = {"ODD", "DIL", "SKUPINA"};
  for (const jobs::LhcLayerKind* layer : {&jobs::LhcLayer(), &jobs::LhcZroLayer()}) {
    SCOPED_TRACE(layer->Block);
    test_support::DbfRows districts;
    for (const char* code : {"01", "02"})
      for (auto& row : test_support::LiveRows(District(code) / (code + std::string(layer->DistrictBlock)) / "P0134.DBF", keys))
        districts.push_back(std::move(row));
    ASSERT_FALSE(districts.empty());
    ASSERT_TRUE(std::any_of(districts.begin(), districts.end(), [](const auto& row) { return !row[0].empty(); }));
    ASSERT_EQ(jobs::MergeLhcLayer(context, *layer), jobs::MergeResult::Written);
    test_support::DbfRows merged = test_support::LiveRows(lhc / layer->Block / "P0134.DBF", keys);
    std::sort(districts.begin(), districts.end());
    std::sort(merged.begin(), merged.end());
    EXPECT_EQ(merged, districts);
  }
}

// A face that no district's area covers (a notch a district left out)
// becomes an empty area with its row in both merges, and the log says where.
TEST_F(LhcMergeTest, AFaceNoDistrictCoversBecomesAnEmptyAreaWithItsRow) {
  fs::remove_all(District("01"));
  fs::remove_all(District("02"));
  const double x = Level::X0 + 1000, y = Level::Y0;  // clear of the level's own grid
  // Two squares side by side, each bounded by two lines; district 03 leaves
  // a notch of 10 × 20 m in its edge that district 04 does not fill.
  const std::pair<const char*, Lines> districts[] = {
      {"03", {{{x, y}, {x, y + 100}, {x + 100, y + 100}, {x + 100, y + 60}, {x + 90, y + 60}},
              {{x + 90, y + 60}, {x + 90, y + 40}, {x + 100, y + 40}, {x + 100, y}, {x, y}}}},
      {"04", {{{x + 100, y}, {x + 100, y + 100}, {x + 200, y + 100}}, {{x + 200, y + 100}, {x + 200, y}, {x + 100, y}}}}};
  for (const auto& [code, ring] : districts) WriteDistrictBlocks(code, ring);
  for (const jobs::LhcLayerKind* layer : {&jobs::LhcLayer(), &jobs::LhcZroLayer()}) {
    SCOPED_TRACE(layer->Block);
    log.clear();
    ASSERT_EQ(jobs::MergeLhcLayer(context, *layer), jobs::MergeResult::Written);
    std::map<int, KindSums> merged = ReadAreas(lhc / layer->Block);
    EXPECT_EQ(merged.count(0), 0u);
    EXPECT_EQ(merged[134].count, 1);
    EXPECT_NEAR(merged[134].net, 200, 1e-6);
    EXPECT_EQ(test_support::LiveRows(lhc / layer->Block / "P0134.DBF", {"DRUH"}), (test_support::DbfRows{{"134"}}));
    std::string all;
    for (const std::string& line : log) all += line + "\n";
    EXPECT_NE(all.find(std::string(layer->Marker) + ": plocha mimo plochy revírů (X 10999"), std::string::npos) << all;
    EXPECT_EQ(all.find("nevytvořena"), std::string::npos) << all;
  }
}

// A lake of some 11,000 ha that neither district covers: the empty area
// of the LHC keeps its whole area in square metres in both merges.
TEST_F(LhcMergeTest, AnEmptyAreaOfARealLhcKeepsItsRow) {
  fs::remove_all(District("01"));
  fs::remove_all(District("02"));
  const double x = Level::X0, y = Level::Y0 + 20000;
  // District 03 holds the lake on three sides, district 04 closes it.
  WriteDistrictBlocks("03", {{{x, y}, {x, y + 12000}, {x + 1000, y + 12000}},
                             {{x + 1000, y + 12000}, {x + 1000, y + 1000}, {x + 11000, y + 1000}, {x + 11000, y + 12000}},
                             {{x + 11000, y + 12000}, {x + 12000, y + 12000}, {x + 12000, y}, {x, y}}});
  WriteDistrictBlocks("04", {{{x + 1000, y + 12000}, {x + 1000, y + 13000}, {x + 11000, y + 13000}, {x + 11000, y + 12000}},
                             {{x + 11000, y + 12000}, {x + 1000, y + 12000}}});
  const double lake = 10000.0 * 11000.0;
  for (const jobs::LhcLayerKind* layer : {&jobs::LhcLayer(), &jobs::LhcZroLayer()}) {
    SCOPED_TRACE(layer->Block);
    ui->clear();
    ASSERT_EQ(jobs::MergeLhcLayer(context, *layer), jobs::MergeResult::Written) << ui->shownTexts().front();
    EXPECT_NEAR(ReadAreas(lhc / layer->Block)[134].net, lake, 1e-3);
    const test_support::DbfRows rows = test_support::LiveRows(lhc / layer->Block / "P0134.DBF", {"PLOCHA"});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_NEAR(std::stod(rows[0][0]), lake, 1e-3);
  }
}

// A file of the user's named like the LHC block is no block to replace.
TEST_F(LhcMergeTest, AFileUnderTheLhcBlocksNameStays) {
  fs::remove_all(District("01"));
  fs::remove_all(District("02"));
  const double x = Level::X0 + 1000, y = Level::Y0;
  WriteDistrictBlocks("03", {{{x, y}, {x, y + 100}, {x + 100, y + 100}}, {{x + 100, y + 100}, {x + 100, y}, {x, y}}});
  std::ofstream(lhc / "_11LHC.BLK") << "poznámky";
  EXPECT_EQ(jobs::MergeLhcLayer(context, jobs::LhcLayer()), jobs::MergeResult::Failed);
  EXPECT_EQ(ui->shownTexts(), std::vector<std::string>{"Blok " + (lhc / "_11LHC.BLK").string() +
                                                       " nelze zapsat: pod tímto jménem leží soubor, ne adresář "
                                                       "bloku; soubor zůstává beze změny"});
  EXPECT_EQ(FileBytes(lhc / "_11LHC.BLK"), "poznámky");
}

TEST_F(LhcMergeTest, DistrictCodesAreTwoCharacterNamesInOneOrderEverywhere) {
  const fs::path root = dir / "CODES";
  for (const char* name : {"ab", "abc", "AA", "b", "0c", "Zz", "čx"}) fs::create_directories(root / name);
  EXPECT_EQ(jobs::DistrictCodes(root), (std::vector<std::string>{"0c", "AA", "ab", "Zz", "čx"}));
}

}  // namespace
}  // namespace jobs_test
