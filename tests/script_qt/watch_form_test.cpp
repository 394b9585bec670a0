#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QPointer>
#include <QTableWidget>
#include <QTest>

#include "attribute_edits.h"
#include "framework/class_registry.h"
#include "framework/entity.h"
#include "platform/scripted_user_interaction.h"
#include "script/command_line.h"
#include "script/qt/watch_form.h"
#include "qt_app.h"
#include "temp_dir.h"

namespace {

class WatchForm : public ::testing::Test {
 protected:
  void SetUp() override {
    test_support::QtApp();
    RegisterElementClasses();
    first.SetName("prvni");
    second.SetName("druhy");
    form = new TWatchForm();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
  }
  void TearDown() override { delete form.data(); }
  void type(int row, const char* text) { form->SG()->setItem(row, 0, new QTableWidgetItem(text)); }
  // Clicks go through the window, as the user's arrive: a double click is
  // press, release, press, release.
  QPoint cell(int row, int column) const {
    QTableWidget* grid = form->SG();
    return grid->viewport()->mapTo(form, grid->visualRect(grid->model()->index(row, column)).center());
  }
  void doubleClick(int row, int column) {
    QTest::mouseDClick(form->windowHandle(), Qt::LeftButton, {}, cell(row, column));
  }
  QString value(int row) const {
    QTableWidgetItem* cell = form->SG()->item(row, 1);
    return cell ? cell->text() : QString();
  }

  platform::ScopedScriptedUi ui;
  TOwnerEntity first, second;
  QPointer<TWatchForm> form;
};

TEST_F(WatchForm, RecalculationFollowsTheSelectedElement) {
  type(0, "ACTIVEELEMENT.Name");
  type(2, "ACTIVEELEMENT.Name = 'nove'");
  type(3, "X:TElement");
  type(4, "X = ACTIVEELEMENT");
  type(5, "ACTIVEELEMENT.Nic.Name");
  form->SetContext(&first);
  form->Recalculate();
  EXPECT_EQ(value(0), "prvni");  // rows run in order: the rename comes after it
  EXPECT_EQ(value(1), "");
  EXPECT_EQ(value(2), "nove");
  EXPECT_EQ(value(4), "");  // an object assignment shows nothing
  EXPECT_EQ(value(5), "");
  ASSERT_EQ(ui->shownTexts().size(), 1u);  // the failing row reports itself; the others still ran
  EXPECT_NE(ui->shownTexts()[0].find("Nemohu nalézt element Nic"), std::string::npos);

  type(2, "");
  form->SetContext(&second);
  form->Recalculate();
  EXPECT_EQ(value(0), "druhy");
  EXPECT_EQ(value(2), "");
  // The variable declared in an earlier recalculation is still there.
  EXPECT_NE(form->Watches().CommandLine().FindVar("X"), nullptr);
}

TEST_F(WatchForm, DoubleClickRecalculatesEvenOnALineBeingTyped) {
  type(0, "ACTIVEELEMENT.Name");
  form->SetContext(&first);
  doubleClick(0, 1);
  EXPECT_EQ(value(0), "prvni");
  // A line typed into an empty row shows its value after a double click on
  // it, while its editor is still open.
  form->SetContext(&second);
  QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, cell(1, 0));
  // Each key goes where the keyboard's focus is: the first one opens the
  // editor.
  for (char key : std::string("ACTIVEELEMENT.Name")) QTest::keyClick(QApplication::focusWidget(), key);
  doubleClick(1, 0);
  EXPECT_EQ(value(1), "druhy");
  EXPECT_EQ(value(0), "druhy");
}

TEST_F(WatchForm, ColumnsFollowTheHeaderSections) {
  // The value section fills the header; its column stays 20 narrower.
  EXPECT_EQ(form->Header()->sectionSize(0) + form->Header()->sectionSize(1), form->Header()->width());
  EXPECT_EQ(form->SG()->columnWidth(1), form->Header()->sectionSize(1) - 20);
  form->Header()->resizeSection(0, 260);
  EXPECT_EQ(form->SG()->columnWidth(0), 260);
  EXPECT_EQ(form->SG()->columnWidth(1), form->Header()->sectionSize(1) - 20);
  form->resize(600, 217);
  EXPECT_EQ(form->SG()->columnWidth(0), 260);
  EXPECT_EQ(form->SG()->columnWidth(1), form->Header()->sectionSize(1) - 20);
  EXPECT_EQ(form->Header()->sectionSize(1), 600 - 260);
}

TEST_F(WatchForm, ClosingTellsItsUsersAndTakesTheCommandLineAlong) {
  bool told = false;
  QObject::connect(form, &TWatchForm::closing, [&] { told = true; });
  TCommandLine* line = &form->Watches().CommandLine();
  const platform::Handle handle = line->GetHandle();
  form->close();
  EXPECT_TRUE(told);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(form.isNull());
  EXPECT_EQ(TElement::FromHandle(handle), nullptr);
}

}  // namespace

namespace {

// The element watched goes (a new read let go of it): its lines are not
// worked out on the world in its place, the values go and the user is told.
TEST_F(WatchForm, AnElementNoLongerLoadedIsNotReplacedByTheWorld) {
  type(0, "ACTIVEELEMENT.Name");
  auto* doomed = new TOwnerEntity;
  doomed->SetName("porost");
  form->SetContext(doomed);
  form->Recalculate();
  EXPECT_EQ(value(0), "porost");
  delete doomed;
  ui->clear();
  doubleClick(0, 1);
  EXPECT_EQ(value(0), "");
  EXPECT_EQ(ui->shownTexts(), std::vector<std::string>{"Sledovaný prvek porost už není načten"});
  // Another element chosen in the browser is watched as before.
  ui->clear();
  form->SetContext(&first);
  form->Recalculate();
  EXPECT_EQ(value(0), "prvni");
  EXPECT_TRUE(ui->shownTexts().empty());
}

}  // namespace

namespace {

// A line that gives an object's attribute a value its table does not take
// as given reports itself, naming the field and the object; the line that
// reads the attribute shows what the table holds, not what was typed.
TEST_F(WatchForm, AnAttributeValueTheTableDoesNotTakeIsToldAndNotShown) {
  test_support::TempDir dir("watch");
  for (const test_support::FailedEdit& edit : test_support::FailedEdits()) {
    SCOPED_TRACE(edit.way);
    test_support::AttributeBlock block(dir / edit.way, edit.cislo, edit.filed);
    edit.prepare(block);
    const std::string field = std::string("ACTIVEELEMENT.") + edit.field;
    type(0, (field + " = '" + edit.value + "'").c_str());
    type(1, field.c_str());
    form->SetContext(block.area);
    ui->clear();
    test_support::GiveValue(edit, block, [&] { doubleClick(0, 1); });

    ASSERT_EQ(ui->shownTexts().size(), 1u);
    const std::string told = ui->shownTexts()[0];
    EXPECT_NE(told.find(std::string("Položku ") + edit.field + " objektu CISLO " + std::to_string(edit.cislo)),
              std::string::npos)
        << told;
    EXPECT_NE(told.find(edit.why), std::string::npos) << told;
    if (edit.held) {
      EXPECT_EQ(value(1).toStdString(), edit.held);
    } else {
      EXPECT_NE(value(1).toStdString(), edit.value);
    }
  }
}

}  // namespace
