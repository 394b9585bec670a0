// A district whose forest description table is damaged: its rows file the
// areas into the hierarchy, so a table cut short or holding rows that are
// no rows damages the read as damaged block files do, and no export from
// it replaces a block.
#include "files.h"
#include "jobs_fixture.h"
#include "log_probe.h"

namespace jobs_test {
namespace {

class DamagedTableReadTest : public JobsTest {
 protected:
  jobs::LoadedModel state;
};

TEST_F(DamagedTableReadTest, NoLevelIsReplacedFromATableCutShortOrWithoutRowMarks) {
  const jobs::ForestLevel& level = *jobs::FindForestLevel(95);
  const fs::path table = District() / "DET.BLK" / "P0110.DBF";
  const fs::path block = District() / "01_16PSK.BLK" / "TN.ARE";
  ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
  ASSERT_FALSE(state.Damage);
  ASSERT_EQ(jobs::ExportForestLevel(LevelContext(state, District()), level), jobs::ExportResult::Written);
  const std::string written = test_support::ReadFile(block);
  const std::string sound = test_support::ReadFile(table);
  std::string unmarked = sound;
  auto word = [&](std::size_t at) { return static_cast<unsigned char>(sound[at]) | static_cast<unsigned char>(sound[at + 1]) << 8; };
  unmarked[word(8) + 3 * word(10)] = '\x7F';  // the fourth row's mark
  const struct {
    const char* what;
    std::string bytes;
    const char* told;
  } cases[] = {
      {"cut short", sound.substr(0, sound.size() * 2 / 3), "P0110.DBF: soubor končí po "},
      {"a row without its mark", unmarked, " nezačíná značkou řádku"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test_support::WriteFile(table, c.bytes);
    test_support::LogProbe log;
    ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
    ASSERT_TRUE(state.Damage);
    EXPECT_TRUE(log.saw("Čtení bloku: " + table.string() + ": ")) << log.all();
    ui->clear();
    EXPECT_EQ(jobs::ExportForestLevel(LevelContext(state, District()), level), jobs::ExportResult::DamagedInput);
    EXPECT_EQ(test_support::ReadFile(block), written);
    ASSERT_EQ(ui->shownTexts().size(), 1u);
    const std::string text = ui->shownTexts()[0];
    EXPECT_EQ(text.rfind("Vstupní blok " + (District() / "DET.BLK").string() + " je poškozen (", 0), 0u) << text;
    EXPECT_NE(text.find(c.told), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace jobs_test
