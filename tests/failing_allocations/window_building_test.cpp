// The program's windows built with each of their allocations failing in
// turn: the building either throws std::bad_alloc or gives the window, and
// once the window is gone nothing that the building allocated is left.
#include <gtest/gtest.h>

#include <QWidget>
#include <functional>
#include <memory>
#include <new>
#include <string>

#include "app/det_gis_form.h"
#include "app/main_form.h"
#include "app/progress_monitor.h"
#include "dbf_rows.h"
#include "failing_allocations.h"
#include "gisblock/gelix_dbf_table.h"
#include "platform/message_queue.h"
#include "platform/progress_form.h"
#include "platform/qt/progress_form_qt.h"
#include "platform/scripted_user_interaction.h"
#include "qt_app.h"
#include "render/qt/text_window.h"
#include "script/qt/watch_form.h"
#include "temp_dir.h"
#include "viewer/choiced_element.h"
#include "viewer/image_form.h"
#include "viewer/model_browser.h"
#include "viewer/print_dialog.h"
#include "viewer/property_editor.h"
#include "viewer/record_viewer.h"
#include "viewer/scale_dialog.h"

namespace {

struct BuiltWindow {
  const char* name;
  std::function<std::unique_ptr<QWidget>()> build;
};

TEST(FailingWindowBuildingTest, AWindowThatCannotBeBuiltLeavesNothingBehind) {
  test_support::QtApp();
  platform::ScopedScriptedUi ui;
  test_support::TempDir dir{"window_building"};
  const std::filesystem::path file = dir / "P1400.DBF";
  test_support::WriteTable(file, {{"ODD", 'N', 4}, {"DIL", 'C', 1}}, {{"1", "a"}, {"2", "b"}});
  TGelixDBFTable table;
  ASSERT_TRUE(table.OpenFile(file.string()));
  platform::ProgressForm progress;
  const BuiltWindow windows[] = {
      {"DET-GIS", [&] { return std::make_unique<TKompDETGISForm>(detgis::GroupLimits{}, dir.path()); }},
      {"main", [] { return std::make_unique<TMainForm>(); }},
      {"progress host", [] { return std::make_unique<TProgressMonitorForm>(); }},
      {"progress of a tool", [] { return std::make_unique<TProcessMonitorForm>(); }},
      {"scale", [] { return std::make_unique<Tf_SetScale>(); }},
      {"table rows", [&] { return std::make_unique<TF_ViewData>(&table); }},
      {"table record", [] { return std::make_unique<TF_dbfrecForm>(); }},
      {"model browser", [] { return std::make_unique<TExplorerForm>(nullptr); }},
      {"properties", [] { return std::make_unique<TFProp>(nullptr); }},
      {"print", [] { return std::make_unique<TPrnDlg>(nullptr); }},
      {"viewer", [] { return std::make_unique<TStandardImageForm>(nullptr); }},
      {"progress", [&] { return std::make_unique<platform::qt::ProgressFormWidget>(progress); }},
      {"text", [] { return std::make_unique<TStdtxtForm>(); }},
      {"watches", [] { return std::make_unique<TWatchForm>(); }},
  };
  for (const BuiltWindow& window : windows) {
    SCOPED_TRACE(window.name);
    // Once unarmed: what the first building in a process sets up once is
    // not counted.
    ASSERT_TRUE(window.build());
    long k = 0;
    for (bool failed = true; failed;) {
      SCOPED_TRACE("allocation " + std::to_string(++k));
      bool threw = false;
      {
        failing_allocations::Armed armed(k);
        try {
          window.build();
        } catch (const std::bad_alloc&) {
          threw = true;
        }
      }
      failed = failing_allocations::Failed();
      ASSERT_TRUE(failed || !threw);
      platform::messageQueue().discardAll();
      ui->clear();
      ASSERT_EQ(failing_allocations::LiveAllocations(), 0) << "allocations left behind the window";
    }
    std::printf("%s window: %ld allocations\n", window.name, k - 1);
  }
  table.Close();
}

}  // namespace
