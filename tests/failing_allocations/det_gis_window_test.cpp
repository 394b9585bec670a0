// The DET-GIS comparison window with its allocations failing one at a time
// while it is built, opens, prepares its tables and compares: each run ends
// with the window closed and the program going on, having either told the
// user that memory ran out or shown the whole comparison, and leaves nothing
// allocated behind it.
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <optional>

#include "app/det_gis_form.h"
#include "dbf_rows.h"
#include "framework/errors.h"
#include "job_runs.h"
#include "qt_app.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;

struct WindowRun {
  bool visible = true;  // after exec() came back
  std::string count;    // what the window counted, when the comparison ended
  bool timedOut = false;
};

class FailingDetGisWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test_support::QtApp();
    const std::vector<platform::DbfField> det = {
        {"LHC", 'C', 4}, {"ODDELENI", 'N', 4}, {"DILEC", 'C', 1}, {"SKUPINA", 'C', 3}, {"PLOCHA", 'N', 14, 6}};
    const std::vector<platform::DbfField> dil = {{"ODD", 'N', 4}, {"DIL", 'C', 1}, {"PLOCHA", 'N', 14, 6}};
    test_support::WriteTable(detTable, det,
                             {{"4107", "1", "a", "1", "1"}, {"4107", "2", "a", "1", "2"}, {"4107", "3", "b", "1", "3"}});
    test_support::WriteTable(gisTable, dil, {{"2", "a", "2"}, {"3", "b", "4"}, {"4", "c", "5"}});
    fs::create_directories(dir / "work");
  }

  // Builds and opens the window on the compartments, armed to fail
  // allocation `failAt` (0: none). Without `allLevels` "Porovnej" is pressed
  // once the tables are prepared; the window is closed once the comparison
  // has ended.
  WindowRun Run(bool allLevels, long failAt) {
    WindowRun run;
    // The test's own timer is set up before arming: its allocations are not
    // the window's.
    TKompDETGISForm* shown = nullptr;
    QElapsedTimer clock;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      if (!shown || !shown->isVisible()) return;
      TKompDETGIS& form = shown->Form();
      if (clock.elapsed() > 30000) {
        failing_allocations::Disarm();
        run.timedOut = true;
        shown->reject();
      } else if (form.Prepared() && form.btPorovnejEnabled && !allLevels) {
        shown->btPorovnej->click();
      } else if (form.Prepared() && !form.btPorovnejEnabled) {
        failing_allocations::Disarm();
        run.count = shown->lbCount->text().toStdString();
        shown->BitBtn1->click();
      }
    });
    clock.start();
    failing_allocations::Arm(failAt);
    std::optional<TKompDETGISForm> window;
    try {
      window.emplace(detgis::GroupLimits{}, dir / "work");
      window->Open("DIL", detTable.string(), gisTable.string(), allLevels);
    } catch (const std::exception& e) {
      // Told as the message dispatch tells any command that failed.
      window.reset();
      platform::showError(framework::CauseOf(e));
    }
    if (window) {
      shown = &*window;
      poll.start();
      window->exec();
    }
    total = failing_allocations::Disarm();
    run.visible = window && window->isVisible();
    return run;
  }

  test_support::TempDir scratch{"detgis"};
  fs::path dir = scratch.path();
  fs::path detTable = dir / "det.dbf";
  fs::path gisTable = dir / "P1400.DBF";
  platform::ScopedScriptedUi ui;
  long total = 0;
};

TEST_F(FailingDetGisWindowTest, AFailedAllocationClosesTheWindowAndSaysSo) {
  for (const bool allLevels : {true, false}) {
    SCOPED_TRACE(allLevels ? "compared as the window opens" : "\"Porovnej\" pressed");
    // Twice: what the first run of a process sets up once is not counted.
    for (int i = 0; i < 2; ++i) {
      ui->clear();
      const WindowRun clean = Run(allLevels, 0);
      ASSERT_EQ(clean.count, "3");
      ASSERT_TRUE(ui->shownTexts().empty()) << ui->shownTexts().front();
    }
    const long allocations = total;
    int told = 0, whole = 0;
    for (long k = 1; k <= allocations; ++k) {
      SCOPED_TRACE("allocation " + std::to_string(k) + " of " + std::to_string(allocations));
      ui->clear();
      const WindowRun run = Run(allLevels, k);
      ASSERT_FALSE(run.timedOut) << "the window was left open";
      ASSERT_FALSE(run.visible) << "the window stayed open";
      const std::vector<std::string> shown = ui->shownTexts();
      ui->clear();
      ASSERT_EQ(failing_allocations::LiveAllocations(), 0) << "allocations left behind the window";
      if (shown.empty()) {
        ASSERT_EQ(run.count, "3") << "a comparison cut short without a word";
        ++whole;
      } else {
        ASSERT_EQ(shown, std::vector<std::string>{"nedostatek paměti"});
        ++told;
      }
    }
    std::printf("DET-GIS window: %ld allocations, %d told, %d whole\n", allocations, told, whole);
    EXPECT_GT(told, 0);
  }
}

}  // namespace
