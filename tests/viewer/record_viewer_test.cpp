#include "viewer/record_viewer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTableWidget>
#include <filesystem>
#include <unistd.h>

#include "gisblock/gelix_dbf_table.h"
#include "platform/dbase_table.h"
#include "platform/scripted_user_interaction.h"
#include "viewer/property_editor.h"

namespace {

void EnsureApp() {
  static int argc = 1;
  static char name[] = "test_viewer";
  static char* argv[] = {name, nullptr};
  if (!QApplication::instance()) new QApplication(argc, argv);
}

class RecordViewer : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApp();
    file = std::filesystem::temp_directory_path() / ("record_viewer_" + std::to_string(getpid()) + ".dbf");
    platform::DbfTable::create(file, {{"CISLO", 'N', 6, 0}, {"NAZEV", 'C', 10, 0}});
    platform::DbfTable writer;
    writer.open(file, false);
    for (const auto& [cislo, name] : {std::pair{"10", "smrk"}, {"20", "jedle"}, {"30", "buk"}}) {
      writer.append();
      writer.setText("CISLO", cislo);
      writer.setText("NAZEV", name);
      writer.post();
    }
    writer.moveTo(2);
    writer.deleteRecord();
    writer.close();
    ASSERT_TRUE(table.OpenFile(file.string()));
  }
  void TearDown() override {
    table.Close();
    std::filesystem::remove(file);
  }

  platform::ScopedScriptedUi ui;
  std::filesystem::path file;
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
