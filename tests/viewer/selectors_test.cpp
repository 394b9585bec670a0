#include "viewer/selectors.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QStyle>

#include "gisblock/gelix_dbf_table.h"
#include "platform/dbase_table.h"
#include "render/interpret_layer.h"
#include "grid_typing.h"
#include "temp_dir.h"
#include "viewer/choiced_element.h"
#include "viewer_fixture.h"

namespace {

struct Selection : Viewer {
  TPointElement* first = point(1500, 2400);
  TPointElement* second = point(1500, 2400);
  TElement* leftArea = model->GetItem(0);
  TElement* line = model->GetItem(2);

  TPointElement* point(double x, double y) {
    auto* p = new TPointElement;
    p->SetX(x);
    p->SetY(y);
    model->Add(p);
    return p;
  }
  template <class T>
  T* selector(const char* name) {
    auto* tool = new T;
    tool->SetName(name);
    manager->AppendTool(tool);
    return tool;
  }
  void activate(const char* name) {
    manager->SetActiveToolName(name);
    settle();
  }
  QPoint pixel(double x, double y) {
    TPageProjection* p = manager->GetProjection();
    return {p->WorldToDeviceX(x), p->WorldToDeviceY(y)};
  }
  void click(double x, double y, QPoint offset = {}, Qt::MouseButton button = Qt::LeftButton) {
    const QPoint at = pixel(x, y) + offset;
    mouse(QEvent::MouseButtonPress, at.x(), at.y(), button, button);
    mouse(QEvent::MouseButtonRelease, at.x(), at.y(), Qt::NoButton, button);
  }
  QColor bitmapAt(QPoint at) { return manager->GetBitmap()->Image().pixelColor(at); }
};

TEST_F(Selection, ClicksPickThePointTheLineAndTheAreaUnderTheMouse) {
  auto* points = selector<TPointSelector>("body");
  auto* lines = selector<TLineSelector>("linie");
  auto* areas = selector<TAreaSelector>("plochy");

  // Of two points at one place the earlier child wins; the mark is a red
  // pair of crosses at the point.
  activate("body");
  click(1500, 2400, {2, -2});
  EXPECT_EQ(points->Output(), first);
  EXPECT_EQ(bitmapAt(pixel(1500, 2400) + QPoint(4, 4)), QColor(Qt::red));
  EXPECT_EQ(bitmapAt(pixel(1500, 2400) + QPoint(0, -4)), QColor(Qt::red));
  // A click on nothing keeps what was picked.
  click(1500, 2100);
  EXPECT_EQ(points->Output(), first);
  // A new drawing of the map keeps the mark.
  manager->PostMessage(zelto::msg::ReviewRequest, manager.get());
  settle();
  EXPECT_EQ(bitmapAt(pixel(1500, 2400) + QPoint(4, 4)), QColor(Qt::red));

  activate("linie");
  click(1700, 2250, {0, 3});
  EXPECT_EQ(lines->Output(), line);
  // Every vertex after the first gets a small red diagonal cross.
  EXPECT_EQ(bitmapAt(pixel(2000, 2250) + QPoint(-2, -2)), QColor(Qt::red));
  // Beyond the pixel tolerance nothing is hit.
  click(1700, 2250, {0, 40});
  EXPECT_EQ(lines->Output(), line);

  // The area selector picks with any button, and the right button opens no
  // pop-up menu while it is active; a miss clears its output.
  activate("plochy");
  click(1200, 2100, {}, Qt::RightButton);
  EXPECT_EQ(areas->Output(), leftArea);
  EXPECT_FALSE(manager->GetForm()->PopupMenu()->isVisible());
  click(1500, 2100);
  EXPECT_EQ(areas->Output(), nullptr);
}

// The properties of what was picked come up beside its mark, not over it,
// also over a viewer that fills the screen.
TEST_F(Selection, ThePropertiesOfAPickLeaveItsMarkInSight) {
  TStandardImageForm& form = *manager->GetForm();
  const QRect screen = form.screen()->availableGeometry();
  form.move(screen.topLeft());
  form.resize(screen.size());
  settle();
  manager->PostMessage(zelto::msg::FitAll, manager.get());
  settle();
  auto* areas = selector<TAreaSelector>("plochy");
  areas->ShowProperties = true;
  activate("plochy");
  click(1200, 2100);
  ASSERT_EQ(areas->Output(), leftArea);
  QWidget* properties = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == "TFProp" && w->isVisible()) properties = w;
  ASSERT_NE(properties, nullptr);
  const QRect mark(form.Image()->mapToGlobal(pixel(1000, 2500)), form.Image()->mapToGlobal(pixel(1400, 2000)));
  EXPECT_FALSE(properties->frameGeometry().intersects(mark))
      << properties->frameGeometry().x() << "," << properties->frameGeometry().y() << " mark " << mark.x() << ","
      << mark.y() << " " << mark.width() << "x" << mark.height();
  EXPECT_TRUE(screen.contains(properties->frameGeometry()));
  // Closed as the user closes it: the window takes its editor along.
  properties->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(Selection, ASelectedLayerKeepsTheOtherLayersOut) {
  auto* layer = new TInterpretLayer;
  layer->SetName("Body");
  auto* inLayer = new TPointElement;
  inLayer->SetX(100);
  inLayer->SetY(100);
  layer->Add(inLayer);
  TRectEntity root;
  root.Add(layer);

  TPickUpPoint picker;
  picker.SetX(101);
  picker.SetY(100);
  picker.Tolerance = 2;
  picker.SetInput(&root);
  picker.SelectedLayer = "LINIE";
  picker.DoIt();
  EXPECT_FALSE(picker.GetFound());
  picker.SelectedLayer = "body";
  picker.DoIt();
  EXPECT_TRUE(picker.GetFound());
  EXPECT_EQ(picker.Output(), inLayer);
  picker.Tolerance = 0.5;
  picker.DoIt();
  EXPECT_FALSE(picker.GetFound());
}

}  // namespace

namespace {

// A table of one row, `text` in field `column`, opened on that row.
bool openOneRow(TGelixDBFTable& table, const std::filesystem::path& file,
                const std::vector<platform::DbfField>& fields, int column, const std::string& text) {
  platform::DbfTable::create(file.string(), fields);
  {
    platform::DbfTable rows;
    rows.open(file.string(), false);
    rows.append();
    rows.setText(column, text);
    rows.post();
  }
  return table.OpenFile(file.string()) && table.Fields().first();
}

TEST(RecordWindow, ShowsTwentyRowsAtMostAndFitsTheLongestValue) {
  Viewer::SetUpTestSuite();
  test_support::TempDir dir("record");
  std::vector<platform::DbfField> fields;
  for (int i = 0; i < 25; ++i) fields.push_back({"POLE" + std::to_string(i), 'C', 60});
  TGelixDBFTable table;
  ASSERT_TRUE(openOneRow(table, dir / "T.DBF", fields, 3, std::string(42, 'x')));

  TF_dbfrecForm form;
  form.ShowRecord(table);
  QTableWidget* grid = form.Grid();
  ASSERT_EQ(grid->rowCount(), 25);
  EXPECT_EQ(grid->item(3, 0)->text(), "POLE3");
  EXPECT_EQ(grid->item(3, 1)->text(), QString(42, 'x'));
  EXPECT_GE(form.width(), grid->columnWidth(0) + grid->columnWidth(1));
  EXPECT_EQ(form.height(), 20 * grid->verticalHeader()->defaultSectionSize() + 28);
  table.Close();
}

// What a cell of the value column shows: the value, cut off with an
// ellipsis where the column is too narrow for it in the grid's font.
QString Shown(const QTableWidget& grid, int row) {
  const QString value = grid.item(row, 1)->text();
  const int margin = grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1;
  const int inside = grid.columnWidth(1) - (grid.showGrid() ? 1 : 0) - 2 * margin;
  return QFontMetrics(grid.font()).elidedText(value, Qt::ElideRight, inside);
}

// Values wide in the grid's font (capitals, long numbers) and short ones
// show whole, and the window is wide enough for the column.
TEST(RecordWindow, ShowsEveryValueWhole) {
  Viewer::SetUpTestSuite();
  const struct {
    platform::DbfField field;
    std::string value;
  } cases[] = {
      {{"POZNAMKA", 'C', 50}, std::string(50, 'W')},
      {{"NAZEV", 'C', 50}, "MĚSTSKÉ LESY WOLFSBERG, MYSLIVECKÉ SDRUŽENÍ MOŠOV"},
      {{"OBJEM", 'N', 20, 4}, "-12345678901234.5"},
      {{"LS_KOD", 'C', 2}, "01"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.field.name);
    test_support::TempDir dir("record");
    TGelixDBFTable table;
    ASSERT_TRUE(openOneRow(table, dir / "T.DBF", {c.field}, 0, c.value));
    TF_dbfrecForm form;
    form.ShowRecord(table);
    QTableWidget* grid = form.Grid();
    ASSERT_EQ(grid->rowCount(), 1);
    EXPECT_EQ(Shown(*grid, 0), QString::fromStdString(c.value));
    EXPECT_GE(form.width(), grid->columnWidth(0) + grid->columnWidth(1));
    table.Close();
  }
}

// The record window shows the picked element's row; the table is not
// written from it, so its cells take no typing.
TEST(RecordWindow, ShowsTheRecordWithoutTakingTyping) {
  Viewer::SetUpTestSuite();
  test_support::TempDir dir("record");
  TGelixDBFTable table;
  ASSERT_TRUE(openOneRow(table, dir / "T.DBF", {{"PLOCHA", 'N', 12, 6}}, 0, "1.480358"));
  TF_dbfrecForm form;
  form.ShowRecord(table);
  form.show();
  EXPECT_FALSE(test_support::DoubleClickOpensEditor(*form.Grid(), 0, 1));
  EXPECT_EQ(form.Grid()->item(0, 1)->text(), "1.480358");
  table.Close();
}

}  // namespace
