#include "viewer/property_editor.h"

#include <gtest/gtest.h>

#include <memory>

#include <QAbstractItemDelegate>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include "framework/class_registry.h"
#include "framework/element_class.h"
#include "framework/entity.h"
#include "framework/errors.h"
#include "framework/message_dispatch.h"
#include "platform/scripted_user_interaction.h"
#include "viewer/interaction_events.h"
#include "grid_typing.h"
#include "qt_app.h"

namespace {

// A probe with one property of each kind the editor treats apart.
class TEditorProbe : public TNameEntity {
  ZELTO_ELEMENT(TEditorProbe)
 public:
  std::int32_t width = 3;
  double ratio = 0.5;
  std::int32_t shape = 0;
  TElement* target = nullptr;
  std::int32_t Group() const { return 7; }
};

// A probe whose only property cannot be read.
class TUnreadableProbe : public TNameEntity {
  ZELTO_ELEMENT(TUnreadableProbe)
 public:
  std::string Note() const { throw EZeltoError("poznámka chybí"); }
};

}  // namespace

ZELTO_IMPLEMENT_ELEMENT(TEditorProbe, TNameEntity, [](auto& p) {
  p.Integer("Width", &TEditorProbe::width, &TEditorProbe::width);
  p.Float("Ratio", &TEditorProbe::ratio, &TEditorProbe::ratio);
  p.Enumeration("Shape", {"shRound", "shSquare", "shStar"}, &TEditorProbe::shape, &TEditorProbe::shape);
  p.Object("Target", TElement::StaticClass(), &TEditorProbe::target, &TEditorProbe::target);
  p.Integer("Group", &TEditorProbe::Group);
})
ZELTO_IMPLEMENT_ELEMENT(TUnreadableProbe, TNameEntity, [](auto& p) { p.String("Note", &TUnreadableProbe::Note); })

namespace {

int RowOf(QTableWidget* grid, const QString& name) {
  for (int row = 0; row < grid->rowCount(); ++row)
    if (grid->item(row, 0) && grid->item(row, 0)->text() == name) return row;
  return -1;
}

// Whether any pixel of the image differs from its first one: text drawn.
bool HasInk(const QImage& image) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) != image.pixel(0, 0)) return true;
  return false;
}

QString ValueOf(QTableWidget* grid, const QString& name) {
  const int row = RowOf(grid, name);
  return row < 0 ? QString("<missing>") : grid->item(row, 1)->text();
}

class PropertyEditor : public ::testing::Test {
 protected:
  void SetUp() override {
    test_support::QtApp();
    RegisterPropertyEditorClasses();
    probe.SetName("sonda");
    editor = new TObjectPropertyEditor;
    editor->SetInput(&probe);
    editor->DoIt();
    form = editor->Form();
    form->Pages()->setCurrentWidget(form->sgAscProperties);
  }
  void TearDown() override { delete editor; }
  void type(const QString& name, const QString& text) {
    QTableWidget* grid = form->sgAscProperties;
    grid->setCurrentCell(RowOf(grid, name), 1);
    grid->item(RowOf(grid, name), 1)->setText(text);
    QCoreApplication::processEvents();
  }

  platform::ScopedScriptedUi ui;
  TEditorProbe probe;
  TObjectPropertyEditor* editor = nullptr;
  TFProp* form = nullptr;
};

TEST_F(PropertyEditor, ShowsBaseOwnAndObjectProperties) {
  EXPECT_EQ(form->lbClassName->text(), "sonda : TEditorProbe");
  EXPECT_EQ(form->Pages()->tabText(0), "TNameEntity");
  EXPECT_TRUE(form->Pages()->isTabEnabled(0));
  EXPECT_EQ(ValueOf(form->sgElementProperties, "Name"), "sonda");
  EXPECT_EQ(RowOf(form->sgAscProperties, "Name"), -1);
  EXPECT_EQ(ValueOf(form->sgAscProperties, "Width"), "3");
  EXPECT_EQ(ValueOf(form->sgAscProperties, "Shape"), "shRound");
  EXPECT_EQ(ValueOf(form->sgAscProperties, "Target"), "nil");
  form->sgAscProperties->setCurrentCell(RowOf(form->sgAscProperties, "Width"), 1);
  EXPECT_EQ(form->PropName(), "Width");
  EXPECT_EQ(form->PropString(), "3");
}

TEST_F(PropertyEditor, ValuesShowWhenTheWindowOpens) {
  TObjectPropertyEditor opened;
  opened.SetInput(&probe);
  opened.DoIt();
  QCoreApplication::processEvents();
  ASSERT_TRUE(opened.Form()->isVisible());
  QTableWidget* grid = opened.Form()->CurrentGrid();
  const QRect cell = grid->visualItemRect(grid->item(0, 1));
  EXPECT_GE(cell.width(), grid->fontMetrics().horizontalAdvance(grid->item(0, 1)->text()));
  EXPECT_LE(cell.right(), grid->viewport()->width());
  EXPECT_TRUE(HasInk(grid->viewport()->grab(cell).toImage()));
}

TEST_F(PropertyEditor, TypedValueIsWrittenAndShownAsStored) {
  type("Width", "$10");
  EXPECT_EQ(probe.width, 16);
  EXPECT_EQ(ValueOf(form->sgAscProperties, "Width"), "16");
  type("Shape", "shOval");  // refused by the property: the stored name comes back
  EXPECT_EQ(probe.shape, 0);
  EXPECT_EQ(ValueOf(form->sgAscProperties, "Shape"), "shRound");
  EXPECT_EQ(ui->shownTexts().size(), 1u);
  type("Shape", "shStar");
  EXPECT_EQ(probe.shape, 2);
  // An enumeration's cell offers its names.
  QTableWidget* grid = form->sgAscProperties;
  const QModelIndex cell = grid->model()->index(RowOf(grid, "Shape"), 1);
  std::unique_ptr<QWidget> widget(grid->itemDelegateForIndex(cell)->createEditor(grid->viewport(), {}, cell));
  auto* box = qobject_cast<QComboBox*>(widget.get());
  ASSERT_NE(box, nullptr);
  ASSERT_EQ(box->count(), 3);
  EXPECT_EQ(box->itemText(2), "shStar");
}

// A typo in a number keeps the value the element had, and the user is told
// which property refused which text.
TEST_F(PropertyEditor, ANumberThatDoesNotReadIsRefusedAndTheValueKept) {
  const struct {
    const char* property;
    const char* typed;
  } cases[] = {{"Width", "abc"}, {"Width", "12a"}, {"Width", ""}, {"Width", "1.5"},
               {"Ratio", "abc"}, {"Ratio", "0,5x"}, {"Ratio", ""}, {"Ratio", "1,234.5"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.property) + " <- '" + c.typed + "'");
    ui->clear();
    type(c.property, c.typed);
    EXPECT_EQ(probe.width, 3);
    EXPECT_EQ(probe.ratio, 0.5);
    EXPECT_EQ(ValueOf(form->sgAscProperties, c.property), std::string(c.property) == "Width" ? "3" : "0.5");
    EXPECT_EQ(ui->shownTexts(), std::vector<std::string>{std::string("Vlastnost ") + c.property +
                                                         " nelze nastavit na text " + c.typed});
  }
  type("Ratio", "0,25");  // either decimal separator
  EXPECT_EQ(probe.ratio, 0.25);
}

TEST_F(PropertyEditor, AValueWithoutASetterCannotBeTyped) {
  QTableWidget* grid = form->sgAscProperties;
  EXPECT_TRUE(test_support::DoubleClickOpensEditor(*grid, RowOf(grid, "Width"), 1));
  EXPECT_FALSE(test_support::DoubleClickOpensEditor(*grid, RowOf(grid, "Group"), 1));
  EXPECT_EQ(ValueOf(grid, "Group"), "7");
  EXPECT_EQ(probe.width, 3);
  EXPECT_TRUE(ui->shownTexts().empty());
}

TEST_F(PropertyEditor, APropertyThatCannotBeReadIsToldInCzech) {
  TUnreadableProbe unreadable;
  TObjectPropertyEditor other;
  other.SetInput(&unreadable);
  other.DoIt();
  EXPECT_EQ(ui->shownTexts(), std::vector<std::string>{"Chyba při plnění formuláře vlastností (poznámka chybí)"});
}

TEST_F(PropertyEditor, DoubleClickOrEnterOnAnObjectCellOpensANestedEditorBesideIt) {
  TNameEntity other;
  other.SetName("jiny");
  probe.target = &other;
  editor->FillGrids();
  QTableWidget* grid = form->sgAscProperties;
  EXPECT_EQ(ValueOf(grid, "Target"), "jiny");
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
  const QRect cell = grid->visualItemRect(grid->item(RowOf(grid, "Target"), 1));
  QTest::mouseDClick(form->windowHandle(), Qt::LeftButton, {}, grid->viewport()->mapTo(form, cell.center()));
  ASSERT_NE(editor->LastNested(), nullptr);
  EXPECT_EQ(editor->LastNested()->Editor()->Instance(), &other);
  EXPECT_TRUE(editor->LastNested()->isVisible());
  EXPECT_FALSE(editor->LastNested()->geometry().contains(form->geometry().topLeft()));
  editor->LastNested()->close();  // frees the nested editor with its window
  QCoreApplication::processEvents();
  EXPECT_EQ(editor->LastNested(), nullptr);

  QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, grid->viewport()->mapTo(form, cell.center()));
  QTest::keyClick(grid, Qt::Key_Return);
  ASSERT_NE(editor->LastNested(), nullptr);
  EXPECT_EQ(editor->LastNested()->Editor()->Instance(), &other);
  editor->LastNested()->close();
  QCoreApplication::processEvents();
}

TEST_F(PropertyEditor, FreedElementEmptiesTheGridsInsteadOfCrashing) {
  auto* doomed = new TEditorProbe;
  TObjectPropertyEditor other;
  other.SetInput(doomed);
  other.DoIt();
  delete doomed;
  other.Form()->Pages()->setCurrentWidget(other.Form()->sgAscProperties);
  other.CellAction(1, 0);
  EXPECT_EQ(other.Instance(), nullptr);
  EXPECT_EQ(other.Form()->sgAscProperties->item(0, 0), nullptr);
  TObjectPropertyEditor none;  // without input it opens nothing
  none.DoIt();
  EXPECT_EQ(none.Instance(), nullptr);
}

}  // namespace
