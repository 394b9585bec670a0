// A district whose stand map contradicts itself in its rings or its
// islands' fathers: a link changed to another line that exists, a father
// that is no live area or does not hold its island. The read is damaged as
// one of files cut short is, and no level export from it replaces a block.
#include "block_records.h"
#include "files.h"
#include "gisblock/are_record.h"
#include "gisblock/lin_record.h"
#include "jobs_fixture.h"

namespace jobs_test {
namespace {

using gisblock::AreRecord;
using gisblock::LinRecord;
using test_support::PatchRecord;
using test_support::ReadRecord;
using test_support::RecordCount;

class DamagedDistrictReadTest : public JobsTest {
 protected:
  jobs::LoadedModel state;
};

TEST_F(DamagedDistrictReadTest, NoLevelIsReplacedFromRingsOrFathersThatContradictTheBlock) {
  const jobs::ForestLevel& level = *jobs::FindForestLevel(95);
  const fs::path det = District() / "DET.BLK", lin = det / "TN.LIN", are = det / "TN.ARE";
  const fs::path written = District() / "01_16PSK.BLK" / "TN.ARE";
  ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
  ASSERT_FALSE(state.Damage);
  ASSERT_EQ(jobs::ExportForestLevel(LevelContext(state, District()), level), jobs::ExportResult::Written);
  const std::string block = test_support::ReadFile(written);
  const std::string lines = test_support::ReadFile(lin), areas = test_support::ReadFile(are);

  // A line with an area on its left, and a line that borders it on neither side.
  const std::int32_t lineCount = RecordCount<LinRecord>(lin), areaCount = RecordCount<AreRecord>(are);
  std::int32_t line = 1, other = 1, island = 1, stand = 1;
  while (line < lineCount && static_cast<std::int32_t>(ReadRecord<LinRecord>(lin, line)->leftArea) < 1) ++line;
  const std::uint32_t left = ReadRecord<LinRecord>(lin, line)->leftArea;
  auto borders = [&](std::int32_t n) {
    const LinRecord l = *ReadRecord<LinRecord>(lin, n);
    return l.leftArea == left || l.rightArea == left;
  };
  while (other < lineCount && borders(other)) ++other;
  // An island, and an area that is neither it nor its father.
  while (island < areaCount && static_cast<std::int32_t>(ReadRecord<AreRecord>(are, island)->paterNo) < 1) ++island;
  const auto father = static_cast<std::int32_t>(ReadRecord<AreRecord>(are, island)->paterNo);
  while (stand == island || stand == father) ++stand;
  ASSERT_LT(other, lineCount);
  ASSERT_LT(island, areaCount);

  const struct {
    const char* what;
    std::function<void()> damage;
    std::string expected;
  } cases[] = {
      {"a link to another line", [&] { PatchRecord<LinRecord>(lin, line, [&](LinRecord& l) { l.leftNext = {other, 1}; }); },
       "TN.LIN: linie č." + std::to_string(line) + " vede po hranici plochy č." + std::to_string(left) +
           " k linii č." + std::to_string(other)},
      // A record past the last one, all zeros: no live area.
      {"a father that is gone",
       [&] {
         PatchRecord<AreRecord>(are, areaCount, [](AreRecord&) {});
         PatchRecord<AreRecord>(are, island, [&](AreRecord& a) { a.paterNo = static_cast<std::uint32_t>(areaCount); });
       },
       "TN.ARE: plocha č." + std::to_string(island) + " má otce č." + std::to_string(areaCount) +
           ", který není platnou plochou"},
      {"a father that does not hold its island",
       [&] { PatchRecord<AreRecord>(are, stand, [&](AreRecord& a) { a.paterNo = static_cast<std::uint32_t>(island); }); },
       "TN.ARE: plocha č." + std::to_string(stand) + " nemá obdélník uvnitř obdélníku svého otce č." +
           std::to_string(island)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test_support::WriteFile(lin, lines);
    test_support::WriteFile(are, areas);
    c.damage();
    ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
    ASSERT_TRUE(state.Damage);
    EXPECT_EQ(state.Damage->Damage.rfind(c.expected, 0), 0u) << state.Damage->Damage;
    ui->clear();
    EXPECT_EQ(jobs::ExportForestLevel(LevelContext(state, District()), level), jobs::ExportResult::DamagedInput);
    EXPECT_EQ(test_support::ReadFile(written), block);
    ASSERT_EQ(ui->shownTexts().size(), 1u);
    EXPECT_EQ(ui->shownTexts()[0].rfind("Vstupní blok " + det.string() + " je poškozen (" + c.expected, 0), 0u)
        << ui->shownTexts()[0];
  }
}

}  // namespace
}  // namespace jobs_test
