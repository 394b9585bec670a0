#include "viewer/model_browser.h"

#include <gtest/gtest.h>

#include <QToolButton>

#include <QApplication>
#include "qt_app.h"
#include <QImage>
#include <filesystem>
#include <QTableWidget>
#include <QTreeWidget>

#include "framework/class_registry.h"
#include "framework/entity.h"
#include "framework/system_register.h"
#include "framework/world.h"
#include "platform/scripted_user_interaction.h"
#include "script/qt/watch_form.h"
#include "temp_dir.h"

namespace {

QStringList ChildNames(QTreeWidgetItem* node) {
  QStringList names;
  for (int i = 0; i < node->childCount(); ++i) names << node->child(i)->text(0);
  return names;
}

// district holds two stands; the first stand is also owned by a second
// district; the second stand is a leaf.
class ModelBrowser : public ::testing::Test {
 protected:
  void SetUp() override {
    test_support::QtApp();
    RegisterElementClasses();
    RegisterModelBrowserClasses();
    district = new TOwnerEntity;
    district->SetName("revir");
    other = new TOwnerEntity;
    other->SetName("jiny");
    stand = new TOwnerEntity;
    stand->SetName("porost");
    leaf = new TOwnerEntity;
    leaf->SetName("list");
    part = new TOwnerElement;
    part->SetName("cast");
    district->Add(stand);
    district->Add(leaf);
    other->Add(stand);
    stand->Add(part);
    browser = new TExplorer;
  }
  void TearDown() override {
    delete browser;
    delete district;
    delete other;
  }
  QTreeWidgetItem* Open(TElement* root, bool owners) {
    browser->ShowOwners = owners;
    browser->SetInput(root);
    browser->DoIt();
    return browser->Form()->Tree()->topLevelItem(0);
  }

  TOwnerEntity* district = nullptr;
  TOwnerEntity* other = nullptr;
  TOwnerEntity* stand = nullptr;
  TOwnerEntity* leaf = nullptr;
  TOwnerElement* part = nullptr;
  TExplorer* browser = nullptr;
  platform::ScopedScriptedUi ui;
};

TEST_F(ModelBrowser, ExpandsChildrenLazilyAndAfresh) {
  QTreeWidgetItem* root = Open(district, false);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->text(0), "revir");
  EXPECT_EQ(root->childCount(), 1);  // only the placeholder so far
  root->setExpanded(true);
  EXPECT_EQ(ChildNames(root), (QStringList{"porost", "list"}));
  EXPECT_EQ(root->child(0)->childCount(), 1);  // stand can expand
  EXPECT_EQ(root->child(1)->childCount(), 0);  // an empty entity cannot
  EXPECT_EQ(browser->Form()->StatusText(), "revir (TOwnerEntity) R+");
  ASSERT_EQ(browser->Form()->List()->topLevelItemCount(), 2);
  EXPECT_EQ(browser->Form()->List()->topLevelItem(0)->text(0), "porost");
  root->setExpanded(false);
  district->Add(new TOwnerEntity);
  root->setExpanded(true);
  EXPECT_EQ(root->childCount(), 3);  // read afresh, no duplicates
}

TEST_F(ModelBrowser, ExpandsOwners) {
  QTreeWidgetItem* root = Open(part, true);
  root->setExpanded(true);
  EXPECT_EQ(ChildNames(root), QStringList{"porost"});
  QTreeWidgetItem* owner = root->child(0);
  owner->setExpanded(true);
  EXPECT_EQ(ChildNames(owner), (QStringList{"revir", "jiny"}));
  EXPECT_EQ(owner->child(0)->childCount(), 0);  // an orphan district ends the way up
  browser->Form()->Tree()->setCurrentItem(owner);
  QTreeWidget* list = browser->Form()->List();
  ASSERT_EQ(list->topLevelItemCount(), 2);
  EXPECT_EQ(list->topLevelItem(0)->text(1), "2");  // revir's count
  EXPECT_EQ(list->topLevelItem(0)->text(2), "0");
  // An orphan has no owners to show.
  EXPECT_EQ(Open(district, true)->childCount(), 0);
  EXPECT_EQ(list->topLevelItemCount(), 0);
}

TEST_F(ModelBrowser, WatchWindowFollowsSelection) {
  QTreeWidgetItem* root = Open(district, false);
  root->setExpanded(true);
  TExplorerForm* form = browser->Form();
  form->ToggleWatch();
  ASSERT_NE(form->Watch(), nullptr);
  form->Watch()->SG()->setItem(0, 0, new QTableWidgetItem("ACTIVEELEMENT.Name"));
  form->Tree()->setCurrentItem(root->child(0));
  EXPECT_EQ(form->Watch()->SG()->item(0, 1)->text(), "porost");
  form->ToggleWatch();
  EXPECT_EQ(form->Watch(), nullptr);
}

TEST_F(ModelBrowser, ClassModelSetsTheListColumns) {
  RegisterModelClasses();
  TWorld world;
  SetWorld(&world);
  TRegisterClassModels* models = world.GetSystemRegister()->GetClassModels();
  models->SetNewClassName("TOwnerEntity");
  auto* columns = dynamic_cast<TRegisterClassModel*>(models->ActualItem());
  ASSERT_NE(columns, nullptr);
  // A name with a colon is taken as it stands, any other from the program's directory.
  EXPECT_EQ(model_browser::ImageFilePath("C:/obr/les.bmp", "/opt/z/"), "C:/obr/les.bmp");
  EXPECT_EQ(model_browser::ImageFilePath("les.bmp", "/opt/z/"), "/opt/z/les.bmp");
  const test_support::TempDir dir("browser");
  const std::string image = (dir / "model_browser:les.png").string();
  QImage pixels(8, 8, QImage::Format_RGB32);
  pixels.fill(Qt::green);
  ASSERT_TRUE(pixels.save(QString::fromStdString(image)));
  world.GetSystemRegister()->GetImages()->AddNamed("les", image);
  columns->ImageIndex = 0;

  auto* name = new TRegisterPropertyModel;
  name->SetName("Name");
  name->Alias = "Jméno";
  columns->GetPropertyModels()->Add(name);
  QTreeWidgetItem* root = Open(district, false);
  EXPECT_FALSE(root->icon(0).isNull());
  std::filesystem::remove(image);
  QTreeWidget* list = browser->Form()->List();
  ASSERT_EQ(list->columnCount(), 2);
  EXPECT_EQ(list->headerItem()->text(1), "Jméno");
  EXPECT_EQ(list->topLevelItem(1)->text(1), "list");
  // Icons and plain list show names only; the report brings the columns back.
  browser->Form()->findChild<QToolButton*>("SpeedButton1")->click();
  EXPECT_TRUE(list->isColumnHidden(1));
  browser->Form()->findChild<QToolButton*>("SpeedButton3")->click();
  EXPECT_FALSE(list->isColumnHidden(1));
  delete browser;  // before the world goes
  browser = nullptr;
}

TEST_F(ModelBrowser, FreedElementLeavesAnEmptyNode) {
  QTreeWidgetItem* root = Open(district, false);
  root->setExpanded(true);
  QTreeWidgetItem* gone = root->child(1);
  delete leaf;  // unlinks itself from the district
  browser->Form()->Tree()->setCurrentItem(gone);
  EXPECT_EQ(browser->Form()->StatusText(), "");
  gone->setExpanded(true);
  EXPECT_EQ(gone->childCount(), 0);
  root->setExpanded(false);
  root->setExpanded(true);
  EXPECT_EQ(ChildNames(root), QStringList{"porost"});
}

TEST_F(ModelBrowser, HiddenListIsNotFilled) {
  browser->DontShowList = true;
  Open(district, false);
  EXPECT_TRUE(browser->Form()->ListHidden());
  EXPECT_EQ(browser->Form()->List()->topLevelItemCount(), 0);
  browser->Form()->SetListHidden(false);
  EXPECT_EQ(browser->Form()->List()->topLevelItemCount(), 2);
}

}  // namespace

namespace {

// The pop-up menu's commands on a node whose element is gone open nothing
// without a word: they say it is no longer loaded.
TEST_F(ModelBrowser, ACommandOnAFreedElementSaysItIsGone) {
  QTreeWidgetItem* root = Open(district, false);
  root->setExpanded(true);
  QTreeWidgetItem* gone = root->child(1);
  delete leaf;
  browser->Form()->Tree()->setCurrentItem(gone);
  const QList<QAction*> menu = browser->Form()->Tree()->actions();
  ASSERT_FALSE(menu.isEmpty());
  EXPECT_EQ(menu.first()->text(), "Zobraz");
  menu.first()->trigger();
  EXPECT_EQ(ui->shownTexts(), std::vector<std::string>{"Zobrazovaný prvek list už není načten"});
}

}  // namespace
