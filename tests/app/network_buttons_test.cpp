// The line, noding, LHC and check buttons of the main window on the
// generated tree: each runs its job, and a "K" opens the comparison window
// as the user sees it, with its grids and listing.
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/det_gis_form.h"
#include "platform/codepage.h"
#include "sample_tree.h"
#include "shell_fixture.h"

namespace {

namespace fs = std::filesystem;

// What the comparison window showed before the test closed it.
struct SeenWindow {
  QString title;
  bool visible = false;
  QString count;
  QString listing;
  int detRows = -1;
  int gisRows = -1;
  int colours = 0;  // distinct colours of its picture
  bool enabled = false;
  // "Přeruš" before "Porovnej" (nothing to stop) and after the comparison.
  bool breakBefore = true;
  bool breakAfter = true;
  // "Čti revír" posted just before "Porovnej": refused with a beep while the
  // comparison lets messages through, the hierarchy left as it was.
  int beepsInComparison = 0;
  bool hierarchyKept = false;
};

int DistinctColours(const QImage& image) {
  std::vector<QRgb> seen;
  for (int y = 0; y < image.height(); y += 4)
    for (int x = 0; x < image.width(); x += 4)
      if (std::find(seen.begin(), seen.end(), image.pixel(x, y)) == seen.end() && seen.size() < 16)
        seen.push_back(image.pixel(x, y));
  return static_cast<int>(seen.size());
}

class NetworkButtonsTest : public ShellTest {
 protected:
  void Generate() {
    if (test_support::GeneratedSample().empty()) GTEST_SKIP() << "python3 not installed";
    ASSERT_TRUE(test_support::CopySample(dir_.string()));
    Start();
  }
  void Click(QPushButton* button) {
    ASSERT_TRUE(button->isEnabled()) << button->text().toStdString();
    button->click();
    zelto::RunMessagesUntilIdle();
  }
  // Presses the "K" button; once its window has prepared the tables, presses
  // "Porovnej", notes what the window shows and closes it.
  SeenWindow Check(QPushButton* button) {
    auto seen = std::make_shared<SeenWindow>();
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [this, seen, poll] {
      auto* window = dynamic_cast<TKompDETGISForm*>(QApplication::activeModalWidget());
      if (!window || !window->Form().Prepared()) return;
      poll->stop();
      seen->enabled = window->isEnabled() && window->btPorovnej->isEnabled();
      seen->breakBefore = window->bbprerus->isEnabled();
      const int beeps = ui_->beeps();
      TForestSpaceUnit* root = Tool().ForestRoot();
      auto* tool = static_cast<TElement*>(&Tool());
      TZeltoMessage::Post(new TZeltoMessage(84, nullptr, tool, tool));
      window->btPorovnej->click();
      seen->beepsInComparison = ui_->beeps() - beeps;
      seen->hierarchyKept = Tool().ForestRoot() == root;
      seen->title = window->windowTitle();
      seen->visible = window->isVisible();
      seen->breakAfter = window->bbprerus->isEnabled();
      seen->count = window->lbCount->text();
      seen->listing = window->Memo->toPlainText();
      seen->detRows = window->DBGDET->rowCount();
      seen->gisRows = window->DBGIS->rowCount();
      seen->colours = DistinctColours(window->grab().toImage());
      window->BitBtn1->click();
    });
    poll->start(20);
    button->click();
    zelto::RunMessagesUntilIdle();
    delete poll;
    return *seen;
  }
  fs::path Lhc() const { return dir_ / "GIS" / "4107"; }
};

TEST_F(NetworkButtonsTest, TheCheckButtonsOpenTheComparisonOfTheirLevel) {
  Generate();
  TMainForm& form = *MainForm();
  form.SetDirectory("D:\\GIS\\4107\\01");
  Click(form.btCtiRevir);
  // Before the level is exported there is nothing to compare.
  form.btKPSk->click();
  zelto::RunMessagesUntilIdle();
  ASSERT_EQ(ui_->shownTexts().size(), 1u);
  EXPECT_EQ(ui_->shownTexts()[0], "Databáze D:\\GIS\\4107\\01\\01_16PSK.BLK\\P1600.DBF neexistuje");
  ui_->clear();

  Click(form.btVse);
  ui_->clear();
  const SeenWindow dil = Check(form.btkDil);
  EXPECT_EQ(dil.title, "Porovnání DET-GIS - vrstva DIL");
  EXPECT_TRUE(dil.visible);
  EXPECT_TRUE(dil.enabled);
  EXPECT_FALSE(dil.breakBefore);
  EXPECT_FALSE(dil.breakAfter);
  EXPECT_EQ(dil.beepsInComparison, 1);
  EXPECT_TRUE(dil.hierarchyKept);
  EXPECT_EQ(dil.count, "0");
  EXPECT_EQ(dil.listing, "");
  EXPECT_EQ(dil.detRows, 0);
  EXPECT_EQ(dil.gisRows, 0);
  EXPECT_GT(dil.colours, 2);

  // The stand group below the smallest area is not exported: one line, and
  // its DET row the only one left in the grids.
  const SeenWindow psk = Check(form.btKPSk);
  EXPECT_EQ(psk.title, "Porovnání DET-GIS - vrstva PSK");
  EXPECT_EQ(psk.count, "1");
  EXPECT_EQ(psk.listing, "1a3: 0.00099 v GIS neexistuje");
  EXPECT_EQ(psk.detRows, 1);
  EXPECT_EQ(psk.gisRows, 0);
  EXPECT_TRUE(fs::exists(dir_ / "GIS" / "4107" / "01" / "01_16PSK.BLK" / "P1600.ERR"));
  EXPECT_TRUE(ui_->shownTexts().empty()) << ui_->shownTexts().front();
}

TEST_F(NetworkButtonsTest, TheLineNodingAndLhcButtonsWriteTheirBlocks) {
  Generate();
  TMainForm& form = *MainForm();
  form.SetDirectory("D:\\GIS\\4107\\01");
  Click(form.btCtiLHC);
  Click(form.btExportCest);
  Click(form.btExportPruseku);
  Click(form.btExportVod);
  for (const char* block : {"_20CES.BLK", "_20PRU.BLK", "_30POT.BLK"}) {
    EXPECT_TRUE(fs::exists(Lhc() / block / "TN.LIN")) << block;
    fs::remove_all(Lhc() / block);
  }
  Click(form.btExpLinVse);
  Click(form.btUzlovaniVody);
  Click(form.btUzlovaniKomunikace);
  for (const char* block : {"_20CES.BLK", "_20PRU.BLK", "_30POT.BLK", "_30VOD.BLK", "_20KOM.BLK"})
    EXPECT_TRUE(fs::exists(Lhc() / block / "TN.LIN")) << block;
  EXPECT_TRUE(ui_->shownTexts().empty()) << ui_->shownTexts().front();
  // Their texts and the protocol name the blocks as the user chose them,
  // whatever directory the tree is mounted in.
  for (const char* block : {"_20CES.BLK", "_30VOD.BLK"})
    EXPECT_NE(ReadFile(Lhc() / block / "TN.TTX").find("blok D:\\GIS\\4107\\" + std::string(block) + "\r\n"),
              std::string::npos)
        << block;
  EXPECT_NE(ReadFile(Tool().ProtocolFile()).find(" (D:\\GIS\\4107\\_20KOM.BLK)\r\n"), std::string::npos);

  for (const char* district : {"D:\\GIS\\4107\\01", "D:\\GIS\\4107\\02"}) {
    form.SetDirectory(district);
    form.btCtiRevir->setEnabled(true);
    Click(form.btCtiRevir);
    Click(form.btExpRev);
    Click(form.btExpZRO);
  }
  ui_->clear();
  form.btLHC->setEnabled(true);
  Click(form.btLHC);
  Click(form.btZRO);
  EXPECT_TRUE(fs::exists(Lhc() / "_11LHC.BLK" / "TN.ARE"));
  EXPECT_TRUE(fs::exists(Lhc() / "_91ZRO.BLK" / "TN.ARE"));
  EXPECT_EQ(ui_->shownTexts(), (std::vector<std::string>{"Konec tvorby LHC", "Konec tvorby LHC"}));
  EXPECT_FALSE(form.btLHC->isEnabled());
  EXPECT_NE(ReadFile(Lhc() / "_11LHC.BLK" / "TN.TTX").find("blok D:\\GIS\\4107\\_11LHC.BLK\r\n"), std::string::npos);
  EXPECT_EQ(ReadFile(Tool().ProtocolFile()).find(dir_.string()), std::string::npos);
}

// "Všechno" is enabled whatever is loaded, and a district of another LHC
// can be chosen after "Čti linie LHC": the LHC's blocks are written from
// its own lines only, and the box says, in the user's paths, what is
// loaded.
TEST_F(NetworkButtonsTest, TheLineButtonsRefuseLinesThatAreNotTheOutputLhcsAsRead) {
  Generate();
  fs::copy(Lhc(), dir_ / "GIS" / "4108", fs::copy_options::recursive);
  TMainForm& form = *MainForm();
  form.SetDirectory("D:\\GIS\\4107\\01");
  Click(form.btCtiRevir);
  Click(form.btExpLinVse);
  form.SetDirectory("D:\\GIS\\4107\\01");
  Click(form.btCtiLHC);
  form.SetDirectory("D:\\GIS\\4108\\01");
  Click(form.btExportCest);
  EXPECT_EQ(ui_->shownTexts(),
            (std::vector<std::string>{
                "Načten je revír D:\\GIS\\4107\\01, ne linie LHC: bloky linií LHC D:\\GIS\\4107 se zapisují jen z "
                "linií, které načte Čti linie LHC. Zvolte revír LHC a stiskněte Čti linie LHC.",
                "Načteny jsou linie LHC D:\\GIS\\4107, výstup je zvolen do LHC D:\\GIS\\4108: do jiného LHC se "
                "nezapisuje. Načtěte linie LHC výstupu (Čti linie LHC v některém jeho revíru), nebo zvolte výstup "
                "načteného LHC."}));
  for (const fs::path& lhc : {Lhc(), dir_ / "GIS" / "4108"})
    for (const char* block : {"_20CES.BLK", "_20PRU.BLK", "_30POT.BLK"}) EXPECT_FALSE(fs::exists(lhc / block)) << block;
  // The protocol is written as the office's Windows reads it.
  EXPECT_NE(ReadFile(Tool().ProtocolFile())
                .find(platform::fromUtf8("; Export linií 2100, 2200, 3100 ukončen, nejsou načteny linie LHC výstupu; "
                                         "neexportovány linie 2200, 3100\r\n",
                                         platform::CodePage::Windows1250)),
            std::string::npos);
}

}  // namespace
