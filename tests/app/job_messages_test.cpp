#include <filesystem>
#include <functional>

#include "framework/class_registry.h"
#include "gisblock/crd_record.h"
#include "gisblock/lin_record.h"
#include "platform/scripted_progress_form.h"
#include "shell_fixture.h"

namespace {

namespace fs = std::filesystem;

class JobMessagesTest : public ShellTest {
 protected:
  fs::path Det() const { return dir_ / "GIS" / "4107" / "01" / "DET.BLK"; }
  // The district as the user reads it, after `damage` was done to its copy.
  bool ReadDamagedDistrict(const std::function<void()>& damage) {
    if (test_support::GeneratedSample().empty() || !test_support::CopySample(dir_.string())) return false;
    damage();
    Start();
    MainForm()->SetDirectory("D:\\GIS\\4107\\01");
    MainForm()->btCtiRevir->click();
    zelto::RunMessagesUntilIdle();
    return true;
  }
  int ProtocolLinesWith(const std::string& part) {
    const std::string protocol = ReadFile(Tool().ProtocolFile());
    int n = 0;
    for (std::size_t at = protocol.find(part); at != std::string::npos; at = protocol.find(part, at + 1)) ++n;
    return n;
  }
};

// The rows of half the stands are gone from their table, which is whole
// otherwise (its header counts the rows left): each export of a level meets
// the same cause once per area, and tells it once, at its end.
TEST_F(JobMessagesTest, ACauseMetPerRowIsOneBoxWithTheCountAndEveryRowInTheProtocol) {
  if (!ReadDamagedDistrict([&] {
        std::string table = ReadFile(Det() / "P0110.DBF");
        auto word = [&](std::size_t at) {
          return static_cast<unsigned char>(table[at]) | static_cast<unsigned char>(table[at + 1]) << 8;
        };
        const std::size_t rows = (table.size() - word(8)) / word(10) / 2;
        table.resize(word(8) + rows * word(10));
        for (int i = 0; i < 4; ++i) table[4 + i] = static_cast<char>(rows >> (8 * i));
        WriteFile(Det() / "P0110.DBF", table);
      }))
    GTEST_SKIP() << "python3 not installed";
  ui_->clear();
  MainForm()->btExpPlochPSk->click();
  zelto::RunMessagesUntilIdle();
  const int rows = ProtocolLinesWith("Nen\xED nalezen z\xE1znam c.");  // Windows-1250
  ASSERT_GT(rows, 1);
  EXPECT_EQ(ui_->shownTexts(),
            std::vector<std::string>{"Není nalezen záznam v tabulce D:\\GIS\\4107\\01\\DET.BLK\\P0110.DBF (celkem " +
                                     std::to_string(rows) + "×)"});

  // The whole district: one box for all eight levels.
  ui_->clear();
  MainForm()->btVse->click();
  zelto::RunMessagesUntilIdle();
  ASSERT_EQ(ui_->shownTexts().size(), 1u);
  EXPECT_NE(ui_->shownTexts()[0].find("(celkem "), std::string::npos);
}

// A level without units says so, and why when the read shows it; the whole
// district tells its eight levels in one box, not one box after another.
TEST_F(JobMessagesTest, ALevelWithoutUnitsSaysSoOnceForTheWholeDistrict) {
  const struct {
    const char* what;
    std::function<void(const fs::path&)> damage;
    std::string cause;
  } cases[] = {
      {"table gone", [](const fs::path& det) { fs::remove(det / "P0110.DBF"); }, ""},
      {"every stand a hundredth as long and wide",
       [this](const fs::path& det) {
         // Each record of the file through its codec.
         auto rewrite = [this]<class Record>(const fs::path& file, const std::function<void(Record&)>& change) {
           std::string bytes = ReadFile(file);
           for (std::size_t offset = 0; offset + Record::kSize <= bytes.size(); offset += Record::kSize) {
             Record r = Record::decode(reinterpret_cast<const std::uint8_t*>(bytes.data() + offset));
             change(r);
             const auto encoded = r.encode();
             bytes.replace(offset, encoded.size(), reinterpret_cast<const char*>(encoded.data()), encoded.size());
           }
           WriteFile(file, bytes);
         };
         const std::string crd = ReadFile(det / "TN.CRD");
         const gisblock::CrdRecord origin = gisblock::CrdRecord::decode(reinterpret_cast<const std::uint8_t*>(crd.data()));
         auto shrinkX = [&origin](double& x) { x = origin.x + (x - origin.x) / 100; };
         auto shrinkY = [&origin](double& y) { y = origin.y + (y - origin.y) / 100; };
         rewrite.operator()<gisblock::CrdRecord>(det / "TN.CRD", [&](gisblock::CrdRecord& c) {
           shrinkX(c.x);
           shrinkY(c.y);
         });
         // The boxes of the lines with them, or the vertices lie outside.
         rewrite.operator()<gisblock::LinRecord>(det / "TN.LIN", [&](gisblock::LinRecord& l) {
           shrinkX(l.box.minX), shrinkX(l.box.maxX);
           shrinkY(l.box.minY), shrinkY(l.box.maxY);
         });
       },
       ": všechny plochy revíru jsou menší než MinPlochaM = 10"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (!ReadDamagedDistrict([&] { c.damage(Det()); })) GTEST_SKIP() << "python3 not installed";
    // A file is named as the user knows it, on drive D.
    for (const std::string& text : ui_->shownTexts()) EXPECT_EQ(text.find(dir_.string()), std::string::npos) << text;
    ui_->clear();
    MainForm()->btVse->click();
    zelto::RunMessagesUntilIdle();
    ASSERT_EQ(ui_->shownTexts().size(), 1u);
    const std::string box = ui_->shownTexts()[0];
    for (const char* level : {"16PSK", "14DIL", "91ZRO", "13ODD", "17BZL", "18JP", "19OP", "94REG"})
      EXPECT_NE(box.find(std::string("Úroveň ") + level + " nemá žádné jednotky" + c.cause), std::string::npos)
          << level << "\n" << box;
    EXPECT_EQ(box.find("hraniční linie"), std::string::npos) << box;
    // Code page 1250 has no "²": the protocol says "m2".
    EXPECT_EQ(ReadFile(Tool().ProtocolFile()).find("m?"), std::string::npos);
    TearDown();
    SetUp();
  }
}

// The progress windows of the line jobs name what runs in Czech, never by
// a class of the program.
TEST_F(JobMessagesTest, NoProgressWindowIsCaptionedWithAClassName) {
  platform::ScopedScriptedProgressForms forms;
  if (!ReadDamagedDistrict([] {})) GTEST_SKIP() << "python3 not installed";
  MainForm()->btCtiLHC->click();
  zelto::RunMessagesUntilIdle();
  for (int command : {89, 90, 91}) Post(command);
  ASSERT_FALSE(forms->showings().empty());
  for (const auto& shown : forms->showings())
    EXPECT_EQ(FindZeltoClass(shown.caption), nullptr) << shown.caption;
}

}  // namespace
