#include <QTest>

#include <functional>
#include <memory>

#include "read_only.h"
#include "shell_fixture.h"
#include "sample_tree.h"

namespace {

TEST_F(ShellTest, ReadingAGeneratedDistrictBuildsTheHierarchyAndEnablesExports) {
  if (test_support::GeneratedSample().empty()) GTEST_SKIP() << "python3 not installed";
  ASSERT_TRUE(test_support::CopySample(dir_.string()));
  Start();
  TMainForm& form = *MainForm();

  // Without DET.BLK nothing is loaded, every export stays disabled, and
  // the user is told why.
  form.SetDirectory("D:\\GIS\\4107");
  form.btCtiRevir->click();
  zelto::RunMessagesUntilIdle();
  EXPECT_EQ(Tool().SubjectOfInterest(), nullptr);
  EXPECT_FALSE(form.btVse->isEnabled());
  ASSERT_EQ(ui_->shownTexts().size(), 1u);
  EXPECT_EQ(ui_->shownTexts()[0], "Revír D:\\GIS\\4107 nemá blok DET.BLK, není co číst");
  Post(93);
  ASSERT_EQ(ui_->shownTexts().size(), 2u);
  EXPECT_EQ(ui_->shownTexts()[1], "Není načten předmět zájmu");

  form.SetDirectory("D:\\GIS\\4107\\01");
  ASSERT_TRUE(form.DET->isChecked());
  form.btCtiRevir->click();
  zelto::RunMessagesUntilIdle();
  ASSERT_NE(Tool().ForestRoot(), nullptr);
  EXPECT_TRUE(form.btVse->isEnabled());
  EXPECT_TRUE(form.btExpPlochPSk->isEnabled());
  EXPECT_FALSE(form.btExportCest->isEnabled());

  // A second read replaces the model; the old hierarchy is not kept.
  form.SetDirectory("D:\\GIS\\4107");
  form.btCtiRevir->click();
  zelto::RunMessagesUntilIdle();
  EXPECT_EQ(Tool().ForestRoot(), nullptr);
  EXPECT_FALSE(form.btVse->isEnabled());

  // The LHC's lines, read from a district's directory, enable the line exports.
  form.SetDirectory("D:\\GIS\\4107\\02");
  form.btCtiLHC->click();
  zelto::RunMessagesUntilIdle();
  EXPECT_EQ(Tool().DataDirectory(), "D:\\GIS\\4107");
  ASSERT_NE(Tool().SubjectOfInterest(), nullptr);
  EXPECT_TRUE(form.btExportCest->isEnabled());
  EXPECT_FALSE(form.btVse->isEnabled());
}

// Areas whose rows are gone from the district's table are logged one by
// one, and the read ends with one box that counts them, as every job does.
TEST_F(ShellTest, AreasWithoutARowAreToldOnceWithTheirCount) {
  if (test_support::GeneratedSample().empty()) GTEST_SKIP() << "python3 not installed";
  ASSERT_TRUE(test_support::CopySample(dir_.string()));
  // The first three rows are given no number (CISLO 0): they name no area,
  // and a number beyond TN.ARE would damage the read.
  const std::filesystem::path table = dir_ / "GIS" / "4107" / "01" / "DET.BLK" / "P0110.DBF";
  std::string bytes = ReadFile(table);
  ASSERT_GT(bytes.size(), 32u);
  const auto word = [&](std::size_t at) {
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
  };
  const std::size_t header = word(8), record = word(10);
  ASSERT_EQ(bytes.substr(32, 5), "CISLO");
  for (std::size_t row = 0; row < 3; ++row)
    bytes.replace(header + row * record + 1, 8, "       0");
  WriteFile(table, bytes);
  Start();
  TMainForm& form = *MainForm();
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  form.SetDirectory("D:\\GIS\\4107\\01");
  QTest::mouseClick(form.btCtiRevir, Qt::LeftButton, {}, form.btCtiRevir->rect().center());
  zelto::RunMessagesUntilIdle();
  ASSERT_NE(Tool().ForestRoot(), nullptr);
  // Each area on its own protocol line; one box counts them.
  const std::string spelled = "D:\\GIS\\4107\\01\\DET.BLK\\P0110.DBF";
  const std::string lines = ReadFile(Tool().ProtocolFile());
  int logged = 0;
  for (std::size_t at = lines.find(" v tabulce " + spelled); at != std::string::npos;
       at = lines.find(" v tabulce " + spelled, at + 1))
    ++logged;
  EXPECT_GE(logged, 2) << lines;
  ASSERT_EQ(ui_->shownTexts().size(), 1u);
  EXPECT_EQ(ui_->shownTexts()[0], "Lesnická hierarchie: plocha nemá řádek v tabulce " + spelled + " (celkem " +
                                      std::to_string(logged) + "×)");
}

// A read that meets damage says so at once, in one error box worded as the
// jobs that will refuse it word it; the protocol keeps every fault. A table
// that cannot be opened keeps its own box, naming its cause.
TEST_F(ShellTest, ADamagedReadSaysSoInOneBox) {
  namespace fs = std::filesystem;
  if (test_support::GeneratedSample().empty()) GTEST_SKIP() << "python3 not installed";
  ASSERT_TRUE(test_support::CopySample(dir_.string()));
  Start();
  TMainForm& form = *MainForm();
  const fs::path district = dir_ / "GIS" / "4107" / "01";
  const std::string shown = "D:\\GIS\\4107\\01\\";
  const struct {
    const char* what;
    QPushButton* button;
    fs::path file;  // set aside, emptied or made unreadable while the read runs
    char how;       // 'a' aside, 'e' emptied, 'u' unreadable
    std::string box;     // how the box begins; none for no box
    platform::MessageKind kind;
    std::string logged;  // in the protocol
  } rows[] = {
      {"a sound district", form.btCtiRevir, {}, 0, "", {}, ""},
      {"a sound LHC", form.btCtiLHC, {}, 0, "", {}, ""},
      {"a district's areas cut to nothing", form.btCtiRevir, district / "DET.BLK" / "TN.ARE", 'e',
       "Vstupní blok " + shown + "DET.BLK je poškozen (TN.LIN: linie č.", platform::MessageKind::Error,
       "mimo soubor TN.ARE (0 záznamů)"},
      {"a district's lines without their vertices", form.btCtiLHC, district / "SLU.BLK" / "TN.CRD", 'a',
       "Vstupní blok " + shown + "SLU.BLK je poškozen (TN.CRD: soubor neexistuje)", platform::MessageKind::Error,
       "TN.CRD"},
      {"a line table that cannot be opened", form.btCtiLHC, district / "SLU.BLK" / "L0021.DBF", 'u',
       "Vstupní blok " + shown + "SLU.BLK je poškozen (L0021.DBF: ", platform::MessageKind::Error, "L0021.DBF"},
      {"the district table that cannot be opened", form.btCtiRevir, district / "DET.BLK" / "P0110.DBF", 'u',
       "Tabulku " + shown + "DET.BLK\\P0110.DBF nelze otevřít: ", platform::MessageKind::Warning, "P0110.DBF"},
  };
  form.SetDirectory("D:\\GIS\\4107\\01");
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string bytes = row.file.empty() ? "" : ReadFile(row.file);
    std::unique_ptr<test_support::UnreadableFile> unreadable;
    if (row.how == 'a') fs::rename(row.file, dir_ / "aside");
    if (row.how == 'e') WriteFile(row.file, "");
    if (row.how == 'u') unreadable = std::make_unique<test_support::UnreadableFile>(row.file);
    ui_->clear();
    row.button->click();
    zelto::RunMessagesUntilIdle();
    unreadable.reset();
    if (row.how == 'a') fs::rename(dir_ / "aside", row.file);
    if (row.how == 'e') WriteFile(row.file, bytes);
    if (row.box.empty()) {
      EXPECT_EQ(ui_->shownTexts(), std::vector<std::string>{});
      continue;
    }
    ASSERT_EQ(ui_->shown().size(), 1u) << ::testing::PrintToString(ui_->shownTexts());
    const std::string box = ui_->shown()[0].text;
    EXPECT_EQ(box.rfind(row.box, 0), 0u) << box;
    EXPECT_EQ(box.find('\n'), std::string::npos) << box;
    EXPECT_EQ(ui_->shown()[0].kind, row.kind);
    EXPECT_NE(ReadFile(Tool().ProtocolFile()).find(platform::fromUtf8(row.logged, platform::CodePage::Windows1250)),
              std::string::npos)
        << row.logged;
  }
}

}  // namespace
