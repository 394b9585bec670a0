#include "viewer/property_editor.h"

#include <gtest/gtest.h>

#include <memory>

#include <QAbstractItemDelegate>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QTabWidget>
#include <QTableWidget>

#include "framework/class_registry.h"
#include "framework/element_class.h"
#include "framework/entity.h"
#include "framework/message_dispatch.h"
#include "platform/scripted_user_interaction.h"
#include "viewer/interaction_events.h"
#include "qt_app.h"

namespace {

// A probe with one property of each kind the editor treats apart.
class TEditorProbe : public TNameEntity {
  ZELTO_ELEMENT(TEditorProbe)
 public:
  std::int32_t width = 3;
  std::int32_t shape = 0;
  TElement* target = nullptr;
};

}  // namespace

ZELTO_IMPLEMENT_ELEMENT(TEditorProbe, TNameEntity, [](auto& p) {
  p.Integer("Width", &TEditorProbe::width, &TEditorProbe::width);
  p.Enumeration("Shape", {"shRound", "shSquare", "shStar"}, &TEditorProbe::shape, &TEditorProbe::shape);
  p.Object("Target", TElement::StaticClass(), &TEditorProbe::target, &TEditorProbe::target);
})

namespace {

int RowOf(QTableWidget* grid, const QString& name) {
  for (int row = 0; row < grid->rowCount(); ++row)
    if (grid->item(row, 0) && grid->item(row, 0)->text() == name) return row;
  return -1;
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

TEST_F(PropertyEditor, ObjectCellOpensNestedEditor) {
  TNameEntity other;
  other.SetName("jiny");
  probe.target = &other;
  editor->FillGrids();
  EXPECT_EQ(ValueOf(form->sgAscProperties, "Target"), "jiny");
  TZeltoMessage* click = new TZeltoMouseEvent(zelto::msg::GridDoubleClick, editor, nullptr, mbLeft, 0,
                                              RowOf(form->sgAscProperties, "Target"), 1, true);
  zelto::DeliverMessage(click);
  ASSERT_NE(editor->LastNested(), nullptr);
  EXPECT_EQ(editor->LastNested()->Editor()->Instance(), &other);
  editor->LastNested()->close();  // frees the nested editor with its window
  QCoreApplication::processEvents();
  EXPECT_EQ(editor->LastNested(), nullptr);
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
