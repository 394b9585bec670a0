#include <QAction>
#include <QMouseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>

#include <functional>
#include <map>
#include <set>

#include "geometry/area_element.h"
#include "render/interpret_script.h"
#include "geometry/space_entity.h"
#include "sample_tree.h"
#include "shell_fixture.h"
#include "viewer/model_browser.h"
#include "viewer/property_editor.h"
#include "viewer/tool_manager.h"

namespace {

template <class T>
std::vector<T*> ToolsOf(TMainTool& tool) {
  std::vector<T*> found;
  for (int i = 0; i < tool.ToolCount(); ++i)
    if (auto* t = dynamic_cast<T*>(tool.GetToolByIndex(i))) found.push_back(t);
  return found;
}

// Counts the elements it is handed to draw.
class TCountingInterpret : public TInterpret {
 public:
  std::set<TElement*> areas;
  void Process(TElement* e) override { areas.insert(e); }
};

std::string RootName(TExplorer* explorer) {
  QTreeWidgetItem* root = explorer->Form()->Tree()->topLevelItem(0);
  return root ? root->text(0).toStdString() : std::string();
}

TEST_F(ShellTest, ViewButtonOpensAViewerPerPressAndTheTreeButtonsBrowseTheirElements) {
  Start();
  TMainForm& form = *MainForm();
  form.btZobrazPZ->click();
  zelto::RunMessagesUntilIdle();
  form.btZobrazPZ->click();
  zelto::RunMessagesUntilIdle();
  const auto viewers = ToolsOf<TFormToolManager>(Tool());
  ASSERT_EQ(viewers.size(), 2u);
  EXPECT_NE(viewers[0]->GetForm(), viewers[1]->GetForm());
  for (TFormToolManager* viewer : viewers) {
    EXPECT_TRUE(viewer->GetForm()->isVisible());
    EXPECT_EQ(viewer->GetPageColor(), clWhite);
    // The map's kinds are filed under their renderers.
    EXPECT_NE(viewer->GetInterpretScript(), nullptr);
  }

  // Closing a viewer's window frees that viewer only.
  viewers[0]->GetForm()->close();
  zelto::RunMessagesUntilIdle();
  EXPECT_EQ(ToolsOf<TFormToolManager>(Tool()).size(), 1u);

  form.btStromNastroju->click();
  form.btStromUdaju->click();
  form.btPredmetuZajmu->click();
  zelto::RunMessagesUntilIdle();
  const auto browsers = ToolsOf<TExplorer>(Tool());
  ASSERT_EQ(browsers.size(), 3u);
  EXPECT_EQ(browsers[0]->Input(), &Tool());
  EXPECT_EQ(browsers[1]->Input(), GetWorld()->GetObjectModel());
  EXPECT_EQ(browsers[2]->Input(), GetWorld());
  for (TExplorer* browser : browsers) {
    EXPECT_TRUE(browser->Form()->isVisible());
    EXPECT_EQ(RootName(browser), browser->Input()->GetName());
  }
}

TEST_F(ShellTest, BrowsingOwnersAndTheSubjectOfInterest) {
  Start();
  auto* orphan = new TSpaceEntity;
  orphan->SetName("samotar");
  GetWorld()->GetObjectModel()->Add(orphan);

  Post(37, orphan);
  auto browsers = ToolsOf<TExplorer>(Tool());
  ASSERT_EQ(browsers.size(), 1u);
  EXPECT_EQ(browsers[0]->GetCaption(), "Model vlastníků");
  EXPECT_TRUE(browsers[0]->ShowOwners);

  Post(93);
  EXPECT_EQ(ui_->shownTexts(), std::vector<std::string>{"Není načten předmět zájmu"});
  EXPECT_EQ(ToolsOf<TExplorer>(Tool()).size(), 1u);

  Tool().SetSubjectOfInterest(orphan);
  Post(93);
  browsers = ToolsOf<TExplorer>(Tool());
  ASSERT_EQ(browsers.size(), 2u);
  EXPECT_EQ(RootName(browsers[1]), "samotar");
  EXPECT_FALSE(browsers[1]->ShowOwners);
}

}  // namespace

namespace {

// Every entry of the model browser's menu that can be chosen opens its
// window on the chosen node's element; the entries nothing takes are greyed.
TEST_F(ShellTest, TheModelBrowsersMenuOpensItsWindowsOrShowsItsEntriesGreyed) {
  Start();
  TElement* model = GetWorld()->GetObjectModel();
  Post(36, model);
  TExplorer* browser = ToolsOf<TExplorer>(Tool()).at(0);
  const auto windows = [] {
    int shown = 0;
    for (const QWidget* w : QApplication::topLevelWidgets()) shown += w->isVisible();
    return shown;
  };
  const std::map<QString, std::function<bool()>> opens = {
      {"Zobraz", [&] { return ToolsOf<TFormToolManager>(Tool()).size() == 1; }},
      {QString::fromUtf8("Prohlížej model odtud"), [&] { return ToolsOf<TExplorer>(Tool()).size() == 2; }},
      {QString::fromUtf8("Prohlížej &vlastníky"), [&] { return ToolsOf<TExplorer>(Tool()).size() == 3; }},
  };
  for (QAction* entry : browser->Form()->Tree()->actions()) {
    SCOPED_TRACE(entry->text().toStdString());
    const auto found = opens.find(entry->text());
    EXPECT_EQ(entry->isEnabled(), found != opens.end());
    if (found == opens.end()) continue;
    const int before = windows();
    entry->trigger();
    zelto::RunMessagesUntilIdle();
    EXPECT_EQ(windows(), before + 1);
    EXPECT_TRUE(found->second());
  }
  EXPECT_TRUE(ui_->shownTexts().empty());
}

// What tests and accessibility tools look controls up by.
TEST_F(ShellTest, TheWindowsAndTheirControlsCarryTheirNames) {
  Start();
  TMainForm& form = *MainForm();
  EXPECT_EQ(form.objectName(), "TMainForm");
  for (const char* name : {"DriveComboBox1", "DirectoryListBox1", "DET", "dcbQVR", "edLHC", "edKodRevir", "edLHCKOD",
                           "lbRevir", "lbLHC", "btZobrazPZ", "btStromNastroju", "btStromUdaju", "btPredmetuZajmu",
                           "btCtiLHC", "btExpLinVse", "btUzlovaniKomunikace", "btUzlovaniVody", "btCtiRevir",
                           "btExpPlochPSk", "btVse", "btLHC", "btZRO", "btKOP", "cbJoinExpLHC", "CBVypis", "BitBtn1"})
    EXPECT_NE(form.findChild<QWidget*>(name), nullptr) << name;

  form.btZobrazPZ->click();
  form.btStromUdaju->click();
  zelto::RunMessagesUntilIdle();
  TStandardImageForm* viewer = ToolsOf<TFormToolManager>(Tool()).at(0)->GetForm();
  EXPECT_EQ(viewer->objectName(), "TStandardImageForm");
  for (const char* name : {"Image", "b_QuickView", "btn_Link", "l_x", "l_y", "l_M"})
    EXPECT_NE(viewer->findChild<QWidget*>(name), nullptr) << name;
  EXPECT_NE(viewer->findChild<QAction*>("Tile"), nullptr);
  EXPECT_NE(viewer->findChild<QMenu*>("Tools"), nullptr);
  EXPECT_FALSE(viewer->QuickViewButton()->icon().isNull());

  TExplorerForm* browser = ToolsOf<TExplorer>(Tool()).at(0)->Form();
  EXPECT_EQ(browser->objectName(), "TExplorerForm");
  for (const char* name : {"BitBtn1", "b_W", "SpeedButton1", "SpeedButton2", "SpeedButton3"})
    EXPECT_NE(browser->findChild<QWidget*>(name), nullptr) << name;
}

}  // namespace

namespace {

TEST_F(ShellTest, AnAreaPickedInTheViewerOfTheSampleDistrictOpensItsRecord) {
  if (!StartWithDistrictRead()) GTEST_SKIP() << "python3 not installed";
  TMainForm& form = *MainForm();
  ASSERT_NE(Tool().SubjectOfInterest(), nullptr);
  form.btZobrazPZ->click();
  zelto::RunMessagesUntilIdle();
  TFormToolManager* viewer = ToolsOf<TFormToolManager>(Tool()).at(0);
  // A drawing of the world reaches the district's areas.
  {
    auto* script = new TInterpretScript;
    auto* counter = new TCountingInterpret;
    script->SetNewClassName("TAreaElement");
    script->SetActualInterpret(counter);
    TFormToolManager world;
    world.SetInterpretScript(script);
    world.SetInput(GetWorld());
    world.DoIt();
    for (int i = 0; i < 5; ++i) {
      QApplication::processEvents();
      zelto::RunMessagesUntilIdle();
    }
    EXPECT_GT(counter->areas.size(), 0u);
  }
  // Chosen from the viewer's Tools menu, as the user does.
  QAction* item = viewer->GetForm()->ToolsMenu()->findChild<QAction*>("TAreaSelector");
  ASSERT_NE(item, nullptr);
  item->trigger();
  zelto::RunMessagesUntilIdle();
  EXPECT_TRUE(item->isChecked());
  EXPECT_EQ(viewer->GetForm()->Image()->cursor().shape(), Qt::CrossCursor);

  // The middle of the view lies in some stand of the district.
  QWidget* image = viewer->GetForm()->Image();
  const QPoint at(image->width() / 2, image->height() / 2);
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QMouseEvent e(type, QPointF(at), image->mapToGlobal(QPointF(at)), Qt::LeftButton,
                  type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(image, &e);
    zelto::RunMessagesUntilIdle();
  }
  auto* selector = dynamic_cast<TTool*>(viewer->FindToolByName("Výběr plochy"));
  ASSERT_NE(selector, nullptr);
  auto* area = dynamic_cast<TAreaElement*>(selector->Output());
  ASSERT_NE(area, nullptr);
  TPageProjection* p = viewer->GetProjection();
  EXPECT_TRUE(area->ContainsPoint(p->DeviceToWorldX(at.x()), p->DeviceToWorldY(at.y())));

  QWidget* record = nullptr;
  QWidget* properties = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == "TF_dbfrecForm" && w->isVisible()) record = w;
    if (w->objectName() == "TFProp" && w->isVisible()) properties = w;
  }
  ASSERT_NE(properties, nullptr);
  auto* page = qobject_cast<QTableWidget*>(properties->findChild<QTabWidget*>()->currentWidget());
  ASSERT_NE(page, nullptr);
  EXPECT_GT(page->rowCount(), 1);
  ASSERT_NE(record, nullptr);
  auto* grid = record->findChild<QTableWidget*>();
  ASSERT_NE(grid, nullptr);
  EXPECT_GT(grid->rowCount(), 0);
  EXPECT_FALSE(grid->item(0, 1)->text().isEmpty() && grid->item(0, 0)->text().isEmpty());
  // Both windows of the pick are on the screen, the record window beside the
  // editor or cascaded from it, and the editor shows its values.
  const QRect screen = properties->screen()->availableGeometry();
  const QRect editorFrame = properties->frameGeometry();
  EXPECT_TRUE(screen.contains(editorFrame));
  EXPECT_TRUE(screen.contains(record->frameGeometry()));
  EXPECT_FALSE(record->frameGeometry().intersects(QRect(editorFrame.topLeft(), QSize(20, 20))));
  // The viewer's menu bar stays in sight: "Nástroje" can be reached at once.
  const QMenuBar* bar = viewer->GetForm()->findChild<QMenuBar*>();
  ASSERT_NE(bar, nullptr);
  EXPECT_FALSE(editorFrame.intersects(QRect(bar->mapToGlobal(QPoint(0, 0)), bar->size())));
  EXPECT_GT(page->visualItemRect(page->item(0, 1)).width(), 0);
  delete record;
  // Closed as the user closes it: the window takes its editor along.
  properties->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

namespace {

// Pixels of the viewer's map that are not the white page.
int DrawnPixels(TFormToolManager& viewer) {
  const QImage image = viewer.GetForm()->Image()->grab().toImage();
  int drawn = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) drawn += image.pixelColor(x, y) != Qt::white;
  return drawn;
}

void Redraw(TFormToolManager& viewer) {
  for (QAction* item : viewer.GetForm()->findChildren<QAction*>())
    if (item->text() == QString::fromUtf8("&Přezobraz")) {
      item->trigger();
      break;
    }
  for (int i = 0; i < 5; ++i) {
    QApplication::processEvents();
    zelto::RunMessagesUntilIdle();
  }
}

// The district shown from the model browser is let go of by the next read:
// its viewer does not go on drawing it from its own hold, it says so. A
// viewer on the world shows what the world holds now.
TEST_F(ShellTest, AViewerSaysThatWhatItShowedIsNoLongerLoaded) {
  if (!StartWithDistrictRead()) GTEST_SKIP() << "python3 not installed";
  TElementRef district(Tool().SubjectOfInterest());
  ASSERT_NE(district.Get(), nullptr);
  Post(30, district.Get());
  Post(30, GetWorld());
  const auto viewers = ToolsOf<TFormToolManager>(Tool());
  ASSERT_EQ(viewers.size(), 2u);
  TFormToolManager& shown = *viewers[0];
  TFormToolManager& world = *viewers[1];
  Redraw(shown);
  EXPECT_GT(DrawnPixels(shown), 0);
  ui_->clear();

  MainForm()->btCtiLHC->click();
  zelto::RunMessagesUntilIdle();
  ui_->clear();
  Redraw(shown);
  EXPECT_EQ(ui_->shownTexts(),
            std::vector<std::string>{"Zobrazovaný prvek TRectEntity už není načten, zobrazovač je prázdný"});
  EXPECT_EQ(DrawnPixels(shown), 0);
  EXPECT_TRUE(district.IsDead());
  // Said once: the next drawing shows the empty page without a word.
  ui_->clear();
  Redraw(shown);
  EXPECT_TRUE(ui_->shownTexts().empty());

  Redraw(world);
  EXPECT_TRUE(ui_->shownTexts().empty());
  EXPECT_GT(DrawnPixels(world), 0);
}

}  // namespace

namespace {

TElement* FirstOfClass(TElement* element, const TElementClass& cls) {
  if (!element || element->InheritsFrom(cls)) return element;
  auto* entity = dynamic_cast<TEntity*>(element);
  for (int i = 0; entity && i < entity->GetCount(); ++i)
    if (TElement* found = FirstOfClass(entity->GetItem(i), cls)) return found;
  return nullptr;
}

// The property window of an area that the next read let go of: its buttons
// open no empty viewer and no browser on nothing without a word; they say
// the area is gone, and the window shows no values of it any more.
TEST_F(ShellTest, ThePropertyWindowOfAnElementNoLongerLoadedSaysSo) {
  if (!StartWithDistrictRead()) GTEST_SKIP() << "python3 not installed";
  TElementRef area(FirstOfClass(Tool().SubjectOfInterest(), TAreaElement::StaticClass()));
  ASSERT_NE(area.Get(), nullptr);
  auto* editor = new TObjectPropertyEditor;
  Tool().AppendTool(editor);
  editor->SetInput(area.Get());
  editor->DoIt();
  TFProp* window = editor->Form();
  window->Pages()->setCurrentWidget(window->sgAscProperties);
  ASSERT_NE(window->sgAscProperties->item(0, 0), nullptr);

  MainForm()->btCtiLHC->click();
  zelto::RunMessagesUntilIdle();
  ASSERT_TRUE(area.IsDead());
  ui_->clear();
  for (QPushButton* button : {window->btZobraz, window->btExplore, window->btOwners}) {
    button->click();
    zelto::RunMessagesUntilIdle();
  }
  EXPECT_TRUE(ToolsOf<TFormToolManager>(Tool()).empty());
  EXPECT_TRUE(ToolsOf<TExplorer>(Tool()).empty());
  const std::string gone = "Zobrazovaný prvek TPolyLineAreaElement už není načten, okno vlastností je prázdné";
  EXPECT_EQ(ui_->shownTexts(), std::vector<std::string>(3, gone));
  EXPECT_EQ(window->sgAscProperties->item(0, 0), nullptr);
  // A value typed into what is left is not taken for stored either.
  ui_->clear();
  editor->CellAction(1, 0);
  EXPECT_EQ(ui_->shownTexts(), std::vector<std::string>{gone});
  window->close();
  zelto::RunMessagesUntilIdle();
}

}  // namespace
