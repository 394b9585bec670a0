#include "viewer/record_viewer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTableWidget>
#include <filesystem>

#include "gisblock/gelix_dbf_table.h"
#include "platform/dbase_table.h"
#include "platform/scripted_user_interaction.h"
#include "viewer/property_editor.h"
#include "dbf_rows.h"
#include "qt_app.h"
#include "temp_dir.h"

namespace {

class RecordViewer : public ::testing::Test {
 protected:
  void SetUp() override {
    test_support::QtApp();
    test_support::WriteTable(file, {{"CISLO", 'N', 6, 0}, {"NAZEV", 'C', 10, 0}},
                             {{"10", "smrk"}, {"20", "jedle"}, {"30", "buk"}});
    platform::DbfTable writer;
    writer.open(file, false);
    writer.moveTo(2);
    writer.deleteRecord();
    writer.close();
    ASSERT_TRUE(table.OpenFile(file.string()));
  }
  void TearDown() override { table.Close(); }

  platform::ScopedScriptedUi ui;
  test_support::TempDir dir{"record_viewer"};
  std::filesystem::path file = dir / "RECORD_VIEWER.DBF";
  TGelixDBFTable table;
};

TEST_F(RecordViewer, ShowsLiveRowsAndKeepsTheCurrentRecord) {
  table.Fields().moveTo(3);
  auto* view = new TF_ViewData(&table);
  QTableWidget* grid = view->Grid();
  ASSERT_EQ(grid->rowCount(), 2);  // the deleted row is not shown
  ASSERT_EQ(grid->columnCount(), 2);
  EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), "NAZEV");
  EXPECT_EQ(grid->item(1, 1)->text().trimmed(), "buk");
  EXPECT_EQ(table.Fields().recNo(), 3u);
  EXPECT_EQ(view->CurrentRow(), 1);
  view->First();
  EXPECT_EQ(table.Fields().recNo(), 1u);
  view->Next();
  EXPECT_EQ(table.Fields().recNo(), 3u);
  view->Next();  // stays on the last row
  EXPECT_EQ(table.Fields().recNo(), 3u);
  delete view;
}

TEST_F(RecordViewer, EditorOpensTheViewOnTheRecordOfItsNumber) {
  TObjectPropertyEditor editor;
  editor.IntegerProp = 30;
  editor.SetInput(&table);
  editor.DoIt();
  editor.CellAction(0, 0);
  ASSERT_NE(editor.RecordView(), nullptr);
  EXPECT_EQ(editor.RecordView()->CurrentRow(), 1);
  EXPECT_EQ(ui->shownTexts().back(), "TGelixDBFTable");
}

}  // namespace
