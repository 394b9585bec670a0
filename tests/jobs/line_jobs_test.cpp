// The line jobs of an LHC on the generated tree: what each extraction and
// each noding writes, read back independently, against the generator's
// expected values; and the old block kept whenever nothing is written.
#include "app/jobs/line_jobs.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <set>

#include "app/jobs/read_commands.h"
#include "block_records.h"
#include "geometry/poly_element.h"
#include "gisblock/gelix_blok_reader.h"
#include "gisblock/gelix_props.h"
#include "dbf_rows.h"
#include "gisblock/lin_record.h"
#include "gisblock/staged_block.h"
#include "framework/message_dispatch.h"
#include "framework/problem_report.h"
#include "files.h"
#include "jobs_fixture.h"

namespace jobs_test {
namespace {

// How many of the texts hold `part`.
std::size_t Told(const std::vector<std::string>& texts, const std::string& part) {
  return static_cast<std::size_t>(
      std::count_if(texts.begin(), texts.end(), [&](const std::string& t) { return t.find(part) != std::string::npos; }));
}

struct BlockLines {
  std::map<int, int> count;  // by kind
  std::map<int, double> length;
  std::set<int> colours;
  int total = 0;
  int staleLinks = 0;  // links to a line number the block does not hold
  std::vector<std::pair<double, double>> ends;

  // Line ends closer than a centimetre are one node.
  int Nodes() const {
    std::vector<std::pair<double, double>> nodes;
    for (const auto& end : ends)
      if (std::none_of(nodes.begin(), nodes.end(), [&](const auto& n) {
            return std::hypot(n.first - end.first, n.second - end.second) < 0.01;
          }))
        nodes.push_back(end);
    return static_cast<int>(nodes.size());
  }
};

BlockLines ReadLines(const fs::path& block) {
  BlockLines result;
  TEntity model;
  std::unique_ptr<TGeliXBlokReader> reader(TGeliXBlokReader::CreateForBlock(block.string()));
  if (!reader) return result;
  reader->SetObjectModel(&model);
  std::unique_ptr<TPolyLineString> lines(reader->ReadLines());
  if (!lines) return result;
  result.total = lines->GetCount();
  for (TElement* e : lines->Items()) {
    auto* line = static_cast<TPolyLineElement*>(e);
    auto* props = static_cast<TGelixLineProps*>(line->GetProperties());
    ++result.count[props->Druh];
    result.length[props->Druh] += line->GetLength();
    result.colours.insert(props->Barva);
    const int last = line->GetCoordsCount() - 1;
    result.ends.emplace_back(line->GetVertexX(0), line->GetVertexY(0));
    result.ends.emplace_back(line->GetVertexX(last), line->GetVertexY(last));
    for (int k = 0; k < 4; ++k) {
      std::int32_t number = 0;
      for (int b = 0; b < 4; ++b) number |= std::int32_t(props->Links[5 * k + b]) << (8 * b);
      if (number != -1 && (number < 1 || number > result.total)) ++result.staleLinks;
    }
  }
  return result;
}

class LineJobsTest : public LhcJobTest<jobs::LineJobContext> {
 protected:
  // A value of expected.json, given as a Python expression on `e`, the whole file.
  std::string ExpectedTop(const std::string& expression) const { return test_support::Expected(dir, expression); }
  void ReadLhc() { ASSERT_TRUE(jobs::ReadLhcLines(state, District("01").string())); }
};

TEST_F(LineJobsTest, EachExtractionWritesTheLinesOfItsKindsUnderOneKind) {
  ReadLhc();
  jobs::ExportAllLineKinds(context);
  EXPECT_TRUE(ui->shownTexts().empty()) << ui->shownTexts().front();
  const std::map<std::string, int> kinds = {{"roads", 2100}, {"rides", 2200}, {"streams", 3100}};
  for (const jobs::LineKind& kind : jobs::LineKinds()) {
    const std::string name = kind.Kind == 2100 ? "roads" : kind.Kind == 2200 ? "rides" : "streams";
    SCOPED_TRACE(name);
    const fs::path block = lhc / kind.Block;
    const BlockLines lines = ReadLines(block);
    EXPECT_EQ(lines.count.size(), 1u);
    EXPECT_EQ(lines.count.at(kind.Kind), std::stoi(ExpectedTop("e['extractions']['" + name + "']")));
    EXPECT_NEAR(lines.length.at(kind.Kind), std::stod(ExpectedTop("e['extraction_lengths']['" + name + "']")), 0.01);
    EXPECT_TRUE(fs::exists(block / ("L" + std::to_string(kind.Kind) + ".DBF")));
    EXPECT_EQ(lines.staleLinks, 0);
    // No staging directory is left beside the block.
    EXPECT_FALSE(fs::exists(lhc / ("." + std::string(kind.Block) + ".new")));
  }
  // The office's protocols name the lines each exports, each followed by
  // what the block holds.
  ASSERT_EQ(log.size(), 6u);
  const char* named[] = {"cest", "průseků", "potoků"};
  for (std::size_t i = 0; i < log.size(); i += 2) {
    EXPECT_EQ(log[i], "; Export linií " + std::string(named[i / 2]) + " (" + (lhc / jobs::LineKinds()[i / 2].Block).string() + ")");
    EXPECT_EQ(log[i + 1].rfind("; Blok ", 0), 0u) << log[i + 1];
  }
}

TEST_F(LineJobsTest, AKindThatCannotBeWrittenKeepsItsOldBlockAndTheOthersGoOn) {
  ReadLhc();
  jobs::ExportAllLineKinds(context);
  const std::string oldRides = FileBytes(lhc / "_20PRU.BLK" / "TN.LIN");
  ASSERT_FALSE(oldRides.empty());
  fs::remove_all(lhc / "_20CES.BLK");
  fs::remove_all(lhc / "_30POT.BLK");
  fs::remove(dir / "GIS" / "L2200.CRT");
  log.clear();
  jobs::ExportAllLineKinds(context);
  ASSERT_EQ(ui->shownTexts().size(), 1u);
  EXPECT_EQ(ui->shownTexts()[0], "Povinný soubor " + (dir / "GIS" / "L2200.CRT").string() + " neexistuje !");
  EXPECT_TRUE(fs::exists(lhc / "_20CES.BLK" / "TN.LIN"));
  EXPECT_TRUE(fs::exists(lhc / "_30POT.BLK" / "TN.LIN"));
  EXPECT_EQ(FileBytes(lhc / "_20PRU.BLK" / "TN.LIN"), oldRides);

  // No line of the kinds: the old block stays and the log says why.
  SetExportSetting("EXPLINPOTOK", "9999");
  const std::string oldStreams = FileBytes(lhc / "_30POT.BLK" / "TN.LIN");
  log.clear();
  EXPECT_EQ(jobs::ExportLinesByDruh(context, *jobs::FindLineKind(88)), jobs::LineJobResult::NothingToWrite);
  EXPECT_EQ(FileBytes(lhc / "_30POT.BLK" / "TN.LIN"), oldStreams);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NE(log[0].find("Původní blok zůstává beze změny."), std::string::npos) << log[0];

  // A read of a damaged block: no block is written from it.
  const fs::path crd = District("01") / "DET.BLK" / "TN.CRD";
  fs::resize_file(crd, fs::file_size(crd) / 24 * 12);
  ReadLhc();
  ASSERT_TRUE(state.Damage);
  const std::string oldRoads = FileBytes(lhc / "_20CES.BLK" / "TN.LIN");
  ui->clear();
  EXPECT_EQ(jobs::ExportLinesByDruh(context, *jobs::FindLineKind(86)), jobs::LineJobResult::NotWritten);
  EXPECT_EQ(FileBytes(lhc / "_20CES.BLK" / "TN.LIN"), oldRoads);
  ASSERT_EQ(ui->shownTexts().size(), 1u);
  EXPECT_EQ(ui->shownTexts()[0].rfind("Vstupní blok " + (District("01") / "DET.BLK").string() + " je poškozen", 0), 0u)
      << ui->shownTexts()[0];

  // Nothing read: the box, and no block is touched.
  jobs::LoadedModel empty;
  context.Model = &empty;
  ui->clear();
  EXPECT_EQ(jobs::ExportLinesByDruh(context, *jobs::FindLineKind(86)), jobs::LineJobResult::NoSubject);
  jobs::ExportAllLineKinds(context);
  EXPECT_EQ(ui->shownTexts(), (std::vector<std::string>{"Není načten předmět zájmu", "Není načten předmět zájmu"}));
}

// A line block that lacks its vertex file, holds a line whose range runs
// backwards, or whose lines are cut to nothing while their rows remain,
// damages the read: the extraction and the noding that read it keep every
// old block and name the block and its damage.
TEST_F(LineJobsTest, ADamagedLineBlockKeepsTheOldBlocks) {
  ReadLhc();
  jobs::ExportAllLineKinds(context);
  ASSERT_EQ(jobs::NodeWaterLines(context), jobs::LineJobResult::Written);
  ASSERT_EQ(jobs::NodeCommunicationLines(context), jobs::LineJobResult::Written);
  auto files = [&](const char* block) { return FileBytes(lhc / block / "TN.LIN") + FileBytes(lhc / block / "TN.CRD"); };
  std::map<std::string, std::string> before;
  for (const char* block : {"_20CES.BLK", "_30POT.BLK", "_30VOD.BLK", "_20KOM.BLK"}) before[block] = files(block);
  auto refused = [&](jobs::LineJobResult result, const char* output, const fs::path& damaged, const std::string& damage) {
    EXPECT_EQ(result, jobs::LineJobResult::NotWritten);
    ASSERT_EQ(ui->shownTexts().size(), 1u);
    const std::string text = ui->shownTexts()[0];
    EXPECT_EQ(text.rfind("Vstupní blok " + damaged.string() + " je poškozen (" + damage, 0), 0u) << text;
    EXPECT_TRUE(files(output) == before[output]) << output;
    ui->clear();
  };
  auto reversed = [](gisblock::LinRecord& l) { std::swap(l.firstCoord, l.lastCoord); };
  const fs::path aside = dir / "TN.CRD";

  // "Čti linie LHC" for the extractions.
  const fs::path slu = District("01") / "SLU.BLK", ces = lhc / "CES.BLK";
  fs::rename(slu / "TN.CRD", aside);
  ReadLhc();
  ui->clear();
  refused(jobs::ExportLinesByDruh(context, *jobs::FindLineKind(88)), "_30POT.BLK", slu, "TN.CRD: soubor neexistuje)");
  // "Všechno" says it once, and names the kinds it left.
  log.clear();
  jobs::ExportAllLineKinds(context);
  refused(jobs::LineJobResult::NotWritten, "_20CES.BLK", slu, "TN.CRD: soubor neexistuje)");
  EXPECT_EQ(Told(log, "; Export linií 2100, 2200, 3100 ukončen, načtený blok je poškozen; neexportovány linie "
                      "2200, 3100"),
            1u);
  fs::rename(aside, slu / "TN.CRD");
  // Lines cut to nothing, while their rows still name them: the read finds
  // no line to visit, yet the extractions would write fewer lines.
  const std::string situation = FileBytes(slu / "TN.LIN");
  std::ofstream(slu / "TN.LIN", std::ios::binary | std::ios::trunc).close();
  ReadLhc();
  ui->clear();
  const std::string cut = "L0021.DBF: řádek 1 má CISLO 4 mimo soubor TN.LIN (0 záznamů)";
  refused(jobs::ExportLinesByDruh(context, *jobs::FindLineKind(88)), "_30POT.BLK", slu, cut);
  jobs::ExportAllLineKinds(context);
  refused(jobs::LineJobResult::NotWritten, "_20CES.BLK", slu, cut);
  std::ofstream(slu / "TN.LIN", std::ios::binary) << situation;
  const std::string roads = FileBytes(ces / "TN.LIN");
  std::ofstream(ces / "TN.LIN", std::ios::binary | std::ios::trunc).close();
  ReadLhc();
  ui->clear();
  refused(jobs::ExportLinesByDruh(context, *jobs::FindLineKind(86)), "_20CES.BLK", ces,
          "L0350.DBF: řádek 1 má CISLO 1 mimo soubor TN.LIN (0 záznamů)");
  std::ofstream(ces / "TN.LIN", std::ios::binary) << roads;
  test_support::PatchRecord<gisblock::LinRecord>(ces / "TN.LIN", 1, reversed);
  ReadLhc();
  ui->clear();
  refused(jobs::ExportLinesByDruh(context, *jobs::FindLineKind(86)), "_20CES.BLK", ces,
          "TN.LIN: linie č.1 má souřadnice ");
  std::ofstream(ces / "TN.LIN", std::ios::binary) << roads;

  // The noding reads the extracted blocks.
  fs::rename(lhc / "_20CES.BLK" / "TN.CRD", aside);
  refused(jobs::NodeCommunicationLines(context), "_20KOM.BLK", lhc / "_20CES.BLK", "TN.CRD: soubor neexistuje)");
  fs::rename(aside, lhc / "_20CES.BLK" / "TN.CRD");
  const std::string streams = FileBytes(lhc / "_30POT.BLK" / "TN.LIN");
  test_support::PatchRecord<gisblock::LinRecord>(lhc / "_30POT.BLK" / "TN.LIN", 1, reversed);
  refused(jobs::NodeWaterLines(context), "_30VOD.BLK", lhc / "_30POT.BLK", "TN.LIN: linie č.1 má souřadnice ");
  std::ofstream(lhc / "_30POT.BLK" / "TN.LIN", std::ios::binary) << streams;
  EXPECT_EQ(jobs::NodeWaterLines(context), jobs::LineJobResult::Written);
}

// Lines written from another block keep, at their ends without a node, the
// links they had there: line numbers beyond their own block's TN.LIN, as
// the format allows. Blocks as the writers leave them, such links and a
// TN.ARE of nothing or of its dummy beside the lines, are extracted and
// noded as sound ones are.
TEST_F(LineJobsTest, LinksFromTheBlockALineCameFromStopNoJob) {
  ReadLhc();
  jobs::ExportAllLineKinds(context);
  const std::string roads = ExpectedTop("e['networks']['communication']['lines']");
  const std::string water = ExpectedTop("e['networks']['water']['lines']");
  ASSERT_EQ(jobs::NodeWaterLines(context), jobs::LineJobResult::Written);
  ASSERT_EQ(jobs::NodeCommunicationLines(context), jobs::LineJobResult::Written);
  // Lines 1 to 7 link, as those of an office's blocks do, to the end of
  // the block's n records and beyond it, and to 0.
  auto linksElsewhere = [](const fs::path& block) {
    const std::int32_t n = test_support::RecordCount<gisblock::LinRecord>(block / "TN.LIN");
    for (std::int32_t i = 1; i <= 7; ++i)
      test_support::PatchRecord<gisblock::LinRecord>(block / "TN.LIN", i, [n, i](gisblock::LinRecord& l) {
        l.link1 = {n, 1}, l.leftNext = {n + 19, 0}, l.rightNext = {0, 1}, l.link4 = {2 * n + i, 0};
      });
  };
  auto areasOf = [](const fs::path& block, std::size_t bytes) {
    std::ofstream(block / "TN.ARE", std::ios::binary | std::ios::trunc) << std::string(bytes, '\0');
    if (bytes) test_support::PatchRecord<gisblock::AreRecord>(block / "TN.ARE", 0, [](gisblock::AreRecord& a) { a.flags = 4; });
  };
  const fs::path ces = lhc / "_20CES.BLK", pot = lhc / "_30POT.BLK";
  const struct {
    const char* what;
    std::function<void()> change;
    std::function<jobs::LineJobResult()> job;
    fs::path written;
    const std::string& lines;
  } cases[] = {
      {"the roads' links", [&] { linksElsewhere(ces); }, [&] { return jobs::NodeCommunicationLines(context); },
       lhc / "_20KOM.BLK", roads},
      {"the streams' links", [&] { linksElsewhere(pot); }, [&] { return jobs::NodeWaterLines(context); },
       lhc / "_30VOD.BLK", water},
      {"the roads' areas of nothing", [&] { areasOf(ces, 0); }, [&] { return jobs::NodeCommunicationLines(context); },
       lhc / "_20KOM.BLK", roads},
      {"the streams' areas of the dummy alone", [&] { areasOf(pot, gisblock::AreRecord::kSize); },
       [&] { return jobs::NodeWaterLines(context); }, lhc / "_30VOD.BLK", water},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    c.change();
    ui->clear();
    EXPECT_EQ(c.job(), jobs::LineJobResult::Written);
    EXPECT_EQ(ui->shownTexts(), std::vector<std::string>{});
    EXPECT_EQ(ReadLines(c.written).total, std::stoi(c.lines));
  }
  // The situation lines read for an extraction, likewise.
  linksElsewhere(District("01") / "SLU.BLK");
  linksElsewhere(lhc / "CES.BLK");
  ReadLhc();
  ASSERT_FALSE(state.Damage) << state.Damage->Damage;
  ui->clear();
  jobs::ExportAllLineKinds(context);
  EXPECT_EQ(ui->shownTexts(), std::vector<std::string>{});
  EXPECT_EQ(ReadLines(pot).count.at(3100), std::stoi(ExpectedTop("e['extractions']['streams']")));
}

TEST_F(LineJobsTest, NodedNetworksHoldTheGeneratorsNodesAndLines) {
  ReadLhc();
  jobs::ExportAllLineKinds(context);
  log.clear();
  ASSERT_EQ(jobs::NodeWaterLines(context), jobs::LineJobResult::Written);
  ASSERT_EQ(jobs::NodeCommunicationLines(context), jobs::LineJobResult::Written);
  EXPECT_TRUE(ui->shownTexts().empty()) << ui->shownTexts().front();
  // The protocol names each noding as its button does, then what its block holds.
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0], "; Uzlování vod (" + (lhc / "_30VOD.BLK").string() + ")");
  EXPECT_EQ(log[2], "; Uzlování komunikací (" + (lhc / "_20KOM.BLK").string() + ")");
  for (std::size_t i : {1, 3}) EXPECT_EQ(log[i].rfind("; Blok ", 0), 0u) << log[i];
  for (const auto& [name, block] : {std::pair{"water", "_30VOD.BLK"}, std::pair{"communication", "_20KOM.BLK"}}) {
    SCOPED_TRACE(name);
    const BlockLines lines = ReadLines(lhc / block);
    const std::string net = "e['networks']['" + std::string(name) + "']";
    EXPECT_EQ(lines.total, std::stoi(ExpectedTop(net + "['lines']")));
    EXPECT_EQ(lines.Nodes(), std::stoi(ExpectedTop(net + "['nodes']")));
    double length = 0;
    for (const auto& [kind, sum] : lines.length) length += sum;
    EXPECT_NEAR(length, std::stod(ExpectedTop(net + "['length']")), 0.05);
    EXPECT_EQ(lines.staleLinks, 0);
  }
  EXPECT_EQ(ReadLines(lhc / "_30VOD.BLK").colours, std::set<int>{1});
  // The joined lines stay the subject of interest.
  ASSERT_NE(state.GetSubject(), nullptr);
  EXPECT_EQ(static_cast<TEntity*>(state.GetSubject())->GetCount(),
            std::stoi(ExpectedTop("e['networks']['communication']['lines']")));

  // Without the rides the roads are noded alone.
  fs::remove_all(lhc / "_20PRU.BLK");
  ASSERT_EQ(jobs::NodeCommunicationLines(context), jobs::LineJobResult::Written);
  EXPECT_EQ(ReadLines(lhc / "_20KOM.BLK").total, std::stoi(ExpectedTop("e['networks']['roads_alone']['lines']")));
}

TEST_F(LineJobsTest, ABadSettingOrAMissingInputLeavesModelAndBlockAlone) {
  ReadLhc();
  jobs::ExportAllLineKinds(context);
  ASSERT_EQ(jobs::NodeWaterLines(context), jobs::LineJobResult::Written);
  const std::string written = FileBytes(lhc / "_30VOD.BLK" / "TN.LIN");
  TElement* subject = state.GetSubject();
  for (const auto& [key, value] : {std::pair{"VODBL", "modrá"}, std::pair{"VODZL", "40000"}, std::pair{"VODZL", "-3"},
                                   std::pair{"MezPripojVod", "-1"}, std::pair{"MezPripojVod", "0.5"}}) {
    SCOPED_TRACE(key);
    SetExportSetting(key, value);
    ui->clear();
    EXPECT_EQ(jobs::NodeWaterLines(context), jobs::LineJobResult::BadSetting);
    ASSERT_EQ(ui->shownTexts().size(), 1u);
    EXPECT_NE(ui->shownTexts()[0].find(key), std::string::npos) << ui->shownTexts()[0];
    EXPECT_EQ(state.GetSubject(), subject);
    SetExportSetting(key, key == std::string("VODBL") || key == std::string("MezPripojVod") ? "1" : "0");
  }
  EXPECT_EQ(FileBytes(lhc / "_30VOD.BLK" / "TN.LIN"), written);

  fs::remove_all(lhc / "_30POT.BLK");
  log.clear();
  EXPECT_EQ(jobs::NodeWaterLines(context), jobs::LineJobResult::NothingToWrite);
  EXPECT_EQ(FileBytes(lhc / "_30VOD.BLK" / "TN.LIN"), written);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NE(log[0].find("_30POT.BLK"), std::string::npos) << log[0];
}

// A noding that read an extraction's block while a new one took its place
// would join part of the old lines with part of the new: while an
// extraction writes a block the noding reads, the noding keeps its old
// block and says why.
TEST_F(LineJobsTest, ANodingDoesNotReadABlockBeingWritten) {
  ReadLhc();
  jobs::ExportAllLineKinds(context);
  ASSERT_EQ(jobs::NodeWaterLines(context), jobs::LineJobResult::Written);
  ASSERT_EQ(jobs::NodeCommunicationLines(context), jobs::LineJobResult::Written);
  for (const auto& [input, output] : {std::pair{"_30POT.BLK", "_30VOD.BLK"}, std::pair{"_20PRU.BLK", "_20KOM.BLK"}}) {
    SCOPED_TRACE(input);
    const std::string noded = FileBytes(lhc / output / "TN.LIN");
    gisblock::StagedBlock writer((lhc / input).string());
    ASSERT_TRUE(writer.ok()) << writer.error();
    ui->clear();
    log.clear();
    EXPECT_EQ(std::string(input) == "_30POT.BLK" ? jobs::NodeWaterLines(context) : jobs::NodeCommunicationLines(context),
              jobs::LineJobResult::NotWritten);
    const std::string text = "Blok " + (lhc / output).string() + " nebyl zapsán: do bloku " + (lhc / input).string() +
                             " právě zapisuje jiná úloha; zkuste to znovu, až skončí. Původní blok zůstává beze změny.";
    EXPECT_EQ(ui->shownTexts(), std::vector<std::string>{text});
    EXPECT_EQ(log, std::vector<std::string>{"; " + text});
    EXPECT_EQ(FileBytes(lhc / output / "TN.LIN"), noded);
  }
}

// The extractions write a row for every line: a noding whose input block
// lost its table, or the row of a line, would write lines without their
// names, widths and surfaces. It keeps its old block and names the table.
TEST_F(LineJobsTest, ANodingWhoseInputLostItsRowsKeepsItsOldBlock) {
  ReadLhc();
  jobs::ExportAllLineKinds(context);
  ASSERT_EQ(jobs::NodeWaterLines(context), jobs::LineJobResult::Written);
  ASSERT_EQ(jobs::NodeCommunicationLines(context), jobs::LineJobResult::Written);
  const std::string water = FileBytes(lhc / "_30VOD.BLK" / "L3100.DBF"), roads = FileBytes(lhc / "_20KOM.BLK" / "L2100.DBF");
  auto refused = [&](jobs::LineJobResult result, const std::string& cause) {
    EXPECT_EQ(result, jobs::LineJobResult::NotWritten);
    ASSERT_EQ(ui->shownTexts().size(), 1u);
    EXPECT_NE(ui->shownTexts()[0].find(cause), std::string::npos) << ui->shownTexts()[0];
    EXPECT_EQ(FileBytes(lhc / "_30VOD.BLK" / "L3100.DBF"), water);
    EXPECT_EQ(FileBytes(lhc / "_20KOM.BLK" / "L2100.DBF"), roads);
    ui->clear();
  };
  const fs::path rides = lhc / "_20PRU.BLK" / "L2200.DBF", aside = dir / "L2200.DBF";
  fs::rename(rides, aside);
  ui->clear();
  refused(jobs::NodeCommunicationLines(context), rides.string() + ": tabulka neexistuje");
  fs::rename(aside, rides);
  // Joined lines keep the row of one of their pieces: every row goes.
  const auto renumberRows = [&](const std::function<std::string(std::uint32_t)>& cislo) {
    platform::DbfTable streams;
    streams.open(lhc / "_30POT.BLK" / "L3100.DBF", false);
    for (std::uint32_t row = 1; row <= streams.recordCount(); ++row) {
      streams.moveTo(row);
      streams.edit();
      streams.setText(streams.fieldIndex("CISLO"), cislo(row));
      streams.post();
    }
  };
  // Rows of lines the block does not hold damage the block.
  renumberRows([](std::uint32_t row) { return std::to_string(90000 + row); });
  refused(jobs::NodeWaterLines(context), "(L3100.DBF: řádek 1 má CISLO 90001 mimo soubor TN.LIN (");
  // Rows without a number name no line.
  renumberRows([](std::uint32_t) { return "0"; });
  refused(jobs::NodeWaterLines(context), "není nalezen záznam");
}

// An extraction whose source lines lost their table still writes them (a
// kind may have no table), but the fields its script would have copied are
// told empty, once per export, not left so without a word.
TEST_F(LineJobsTest, AnExtractionWhoseSourceTableIsMissingSaysWhatItCouldNotCopy) {
  const fs::path table = District("01") / "SLU.BLK" / "L0026.DBF";
  fs::remove(table);
  ReadLhc();
  zelto::ProblemTally problems;
  ASSERT_EQ(jobs::ExportLinesByDruh(context, *jobs::FindLineKind(88)), jobs::LineJobResult::Written);
  zelto::RunMessagesUntilIdle();
  const std::string told = "zdrojová tabulka " + table.string() + " neexistuje, nepřenese se NAZEV";
  EXPECT_NE(problems.Summary().find(told), std::string::npos) << problems.Summary();
  EXPECT_EQ(problems.total(), 1u);
}

// The program stays open while the office edits a roads table in another
// program between two extractions, its .IND left as it was: each
// extraction copies every row the table holds then, and tells only a row
// it no longer holds.
TEST_F(LineJobsTest, EachExtractionCopiesTheRowsOfATableEditedSinceTheOneBefore) {
  const fs::path table = District("01") / "DET.BLK" / "L0021.DBF";
  auto written = [&] {
    test_support::DbfRows rows = test_support::LiveRows(lhc / "_20CES.BLK" / "L2100.DBF", {"NAZEV", "SIRKA", "POVRCH"});
    std::sort(rows.begin(), rows.end());
    return rows;
  };
  ReadLhc();
  ASSERT_EQ(jobs::ExportLinesByDruh(context, *jobs::FindLineKind(86)), jobs::LineJobResult::Written);
  const test_support::DbfRows all = written();
  using Rows = test_support::DbfRows;
  struct Edit {
    std::function<void(Rows&)> edit;
    std::size_t missing;  // rows then missing
    bool keepsTime;       // saved in place with the old time, size and row count
  };
  const Edit edits[] = {
      {[](Rows& rows) { std::reverse(rows.begin(), rows.end()); }, 0, false},
      {[](Rows& rows) { std::rotate(rows.begin(), rows.begin() + 4, rows.end()); }, 0, false},
      {[](Rows& rows) { rows.erase(rows.begin() + 2); }, 1, false},
      {[](Rows& rows) { rows.erase(rows.begin() + 5); }, 2, false},
      // A row really missing marks no later state of the file as searched.
      {[](Rows& rows) { std::reverse(rows.begin(), rows.end()); }, 2, true},
      {[](Rows& rows) { std::rotate(rows.begin(), rows.begin() + 7, rows.end()); }, 2, true},
  };
  for (const auto& [edit, missing, keepsTime] : edits) {
    SCOPED_TRACE(testing::Message() << missing << (keepsTime ? " kept time" : ""));
    test_support::RewriteRows(table, edit, false, keepsTime);
    zelto::ProblemTally problems;
    ASSERT_EQ(jobs::ExportLinesByDruh(context, *jobs::FindLineKind(86)), jobs::LineJobResult::Written);
    EXPECT_TRUE(ui->shownTexts().empty()) << ui->shownTexts().front();
    EXPECT_EQ(problems.total(), missing) << problems.Summary();
    // Only the lines of the rows taken out lose their values.
    const Rows rows = written();
    Rows lost;
    std::set_difference(all.begin(), all.end(), rows.begin(), rows.end(), std::back_inserter(lost));
    EXPECT_EQ(lost.size(), missing);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), std::vector<std::string>{"", "", ""}),
              std::count(all.begin(), all.end(), std::vector<std::string>{"", "", ""}) + static_cast<long>(missing));
  }
}

// In a tree where no block of the job's was ever written, a job that writes
// none does not say that an old one stays.
TEST_F(LineJobsTest, AJobThatWritesNoBlockWhereNoneWasSaysNoneWasWritten) {
  ReadLhc();
  SetExportSetting("EXPLINPOTOK", "9999");
  EXPECT_EQ(jobs::ExportLinesByDruh(context, *jobs::FindLineKind(88)), jobs::LineJobResult::NothingToWrite);
  EXPECT_EQ(jobs::NodeWaterLines(context), jobs::LineJobResult::NothingToWrite);
  EXPECT_EQ(log, (std::vector<std::string>{
                     "Blok " + (lhc / "_30POT.BLK").string() + " nebyl zapsán: žádná linie druhů 9999. Žádný blok nebyl zapsán.",
                     "Blok " + (lhc / "_30VOD.BLK").string() + " nebyl zapsán: v " + lhc.string() +
                         " chybí _30POT.BLK. Žádný blok nebyl zapsán."}));
}

// A table written on DOS marks its code page: the names and surfaces of its
// lines reach the written block as the same letters as from a table
// written on Windows, none of them lost.
TEST_F(LineJobsTest, TablesWrittenOnDosGiveTheSameRowsAsTablesWrittenOnWindows) {
  const fs::path written = lhc / "_20CES.BLK" / "L2100.DBF";
  ReadLhc();
  ASSERT_EQ(jobs::ExportLinesByDruh(context, *jobs::FindLineKind(86)), jobs::LineJobResult::Written);
  const test_support::DbfRows sound = test_support::LiveRows(written, {"NAZEV", "POVRCH"});
  std::string letters;
  for (const auto& row : sound) letters += row[0] + row[1];
  ASSERT_TRUE(std::any_of(letters.begin(), letters.end(), [](char c) { return c & 0x80; })) << "no Czech letters";
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(lhc))
    if (entry.path().extension() == ".DBF") test_support::RecodeAsDos(entry.path());
  ReadLhc();
  ASSERT_EQ(jobs::ExportLinesByDruh(context, *jobs::FindLineKind(86)), jobs::LineJobResult::Written);
  EXPECT_EQ(test_support::LiveRows(written, {"NAZEV", "POVRCH"}), sound);
  EXPECT_EQ(FileBytes(written)[29], '\xC8');  // made from its control file, as ever
}

// The LHC's line blocks as an extraction left them, by block and file.
std::map<std::string, std::string> LineBlocksOf(const fs::path& lhc) {
  std::map<std::string, std::string> files;
  for (const jobs::LineKind& kind : jobs::LineKinds())
    if (fs::exists(lhc / kind.Block))
      for (const auto& [name, bytes] : test_support::Snapshot(lhc / kind.Block)) files[kind.Block + ("/" + name)] = bytes;
  return files;
}

// The files that differ between two snapshots of the blocks, by name.
std::string Differing(const std::map<std::string, std::string>& a, const std::map<std::string, std::string>& b) {
  std::set<std::string> names;
  for (const auto* files : {&a, &b})
    for (const auto& file : *files) names.insert(file.first);
  std::string differing;
  for (const std::string& name : names)
    if (!a.contains(name) || !b.contains(name) || a.at(name) != b.at(name)) differing += name + " ";
  return differing;
}

// An extraction writes the output LHC's blocks from that LHC's lines as
// "Čti linie LHC" read them, and from nothing else: a district read since,
// or the lines of another LHC whose district was chosen afterwards, would
// take the place of the whole LHC's lines under a message that they were
// written.
TEST_F(LineJobsTest, AnExtractionWritesTheOutputLhcsBlocksOnlyFromItsOwnLinesAsRead) {
  // A second LHC without the first one's district 02: fewer lines.
  const fs::path other = dir / "GIS" / "4108";
  fs::copy(lhc, other, fs::copy_options::recursive);
  fs::remove_all(other / "02");
  const auto writeAll = [&](const fs::path& of) {
    ASSERT_TRUE(jobs::ReadLhcLines(state, (of / "01").string()));
    context.LhcDirectory = of.string();
    jobs::ExportAllLineKinds(context);
    ASSERT_TRUE(ui->shownTexts().empty()) << ui->shownTexts().front();
  };
  writeAll(other);
  const auto otherBlocks = LineBlocksOf(other);
  writeAll(lhc);
  const auto ownBlocks = LineBlocksOf(lhc);
  ASSERT_EQ(ownBlocks.size(), otherBlocks.size());
  ASSERT_NE(Differing(ownBlocks, otherBlocks), "");

  // A copy kept beside the LHC, named as its code could be written.
  const fs::path copy = dir / "GIS" / "04107";
  fs::copy(lhc, copy, fs::copy_options::recursive);
  const std::string lhcText = lhc.string(), otherText = other.string(), copyText = copy.string();
  struct Run {
    const char* name;
    std::function<bool()> read;
    fs::path output;
    bool all;             // "Všechno", else "Cesty"
    std::string refusal;  // empty: written as a fresh run writes it
  };
  const Run runs[] = {
      {"a district read, then every kind", [&] { return jobs::ReadDistrict(state, District("01").string()); }, lhc,
       true, "Načten je revír " + District("01").string() + ", ne linie LHC: bloky linií LHC " + lhcText},
      {"another LHC's lines, then the roads", [&] { return jobs::ReadLhcLines(state, District("01").string()); },
       other, false, "Načteny jsou linie LHC " + lhcText + ", výstup je zvolen do LHC " + otherText},
      {"another LHC's lines, then every kind", [&] { return jobs::ReadLhcLines(state, District("01").string()); },
       other, true, "Načteny jsou linie LHC " + lhcText + ", výstup je zvolen do LHC " + otherText},
      {"a copy's lines under the code written otherwise, then every kind",
       [&] { return jobs::ReadLhcLines(state, (copy / "01").string()); }, lhc, true,
       "Načteny jsou linie LHC " + copyText + ", výstup je zvolen do LHC " + lhcText},
      {"another district of the same LHC, then every kind",
       [&] { return jobs::ReadLhcLines(state, District("02").string()); }, lhc, true, ""},
  };
  for (const Run& run : runs) {
    SCOPED_TRACE(run.name);
    ASSERT_TRUE(run.read());
    context.LhcDirectory = run.output.string();
    const auto before = LineBlocksOf(run.output);
    ui->clear();
    log.clear();
    jobs::LineJobResult result = jobs::LineJobResult::Written;
    if (run.all) jobs::ExportAllLineKinds(context);
    else result = jobs::ExportLinesByDruh(context, *jobs::FindLineKind(86));
    const std::vector<std::string> shown = ui->shownTexts();
    if (run.refusal.empty()) {
      EXPECT_TRUE(shown.empty()) << shown.front();
      EXPECT_EQ(Differing(LineBlocksOf(run.output), ownBlocks), "");
      continue;
    }
    EXPECT_EQ(Differing(LineBlocksOf(run.output), before), "");
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(Told(shown, run.refusal), 1u);
    EXPECT_EQ(Told(log, "– neprovedeno: " + run.refusal), 1u);
    EXPECT_EQ(Told(log, "zapsán"), 0u);
    if (run.all)
      EXPECT_EQ(Told(log, "ukončen, nejsou načteny linie LHC výstupu; neexportovány linie 2200, 3100"), 1u);
    else
      EXPECT_EQ(result, jobs::LineJobResult::NotOutputLhcLines);
  }
}

// A noding or merge lets go of the read lines before it reads its input;
// where that input is missing it writes nothing and leaves nothing loaded,
// and an extraction then asks for the lines to be read again, as after a
// noding that wrote.
TEST_F(LineJobsTest, AnExtractionAfterANodingOrMergeThatWroteNothingAsksForTheLinesAgain) {
  struct Replacing {
    const char* name;  // as the refusal names the job
    std::function<void()> run;
  };
  const Replacing jobsThatWriteNothing[] = {
      {"Uzlování vod",
       [&] {
         fs::remove_all(lhc / "_30POT.BLK");
         EXPECT_EQ(jobs::NodeWaterLines(context), jobs::LineJobResult::NothingToWrite);
       }},
      {jobs::LhcLayer().Marker,
       [&] {
         jobs::LhcMergeContext merge;
         merge.Model = &state;
         merge.LhcDirectory = lhc.string();
         merge.GisRoot = context.GisRoot;
         merge.Log = context.Log;
         EXPECT_NE(jobs::MergeLhcLayer(merge, jobs::LhcLayer()), jobs::MergeResult::Written);
       }},
  };
  for (const Replacing& job : jobsThatWriteNothing) {
    SCOPED_TRACE(job.name);
    ReadLhc();
    ASSERT_EQ(jobs::ExportLinesByDruh(context, *jobs::FindLineKind(86)), jobs::LineJobResult::Written);
    job.run();
    const auto before = LineBlocksOf(lhc);
    ui->clear();
    EXPECT_EQ(jobs::ExportLinesByDruh(context, *jobs::FindLineKind(86)), jobs::LineJobResult::NoSubject);
    log.clear();
    jobs::ExportAllLineKinds(context);
    // "Všechno" names the kinds it left, as its other refusals do.
    EXPECT_EQ(Told(log, "; Export linií 2100, 2200, 3100 ukončen, nejsou načteny linie LHC; neexportovány linie "
                        "2200, 3100"),
              1u);
    EXPECT_EQ(Differing(LineBlocksOf(lhc), before), "");
    const std::vector<std::string> shown = ui->shownTexts();
    EXPECT_EQ(Told(shown, "Není načten předmět zájmu"), 0u);
    EXPECT_EQ(Told(shown, "Předmětem zájmu je výsledek úlohy " + std::string(job.name) +
                              ", ne načtené linie; linie LHC načtěte znovu"),
              2u);
  }
}

}  // namespace
}  // namespace jobs_test
