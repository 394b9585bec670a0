#include "viewer/tool_manager.h"

#include "viewer_fixture.h"

#include <QMenuBar>
#include <QMimeData>
#include <chrono>
#include <thread>
#include <QTreeWidget>

#include "viewer/model_browser.h"
#include "temp_dir.h"


TEST_F(Viewer, ShowsTheWholeModelWithItsLinesAndAreas) {
  QWidget* image = manager->GetForm()->Image();
  ASSERT_TRUE(manager->GetForm()->isVisible());
  EXPECT_EQ(manager->GetBitmap()->GetWidth(), image->width());
  expectShows(1000, 2000, 2000, 2500);
  const QImage picture = shown();
  EXPECT_EQ(shownAt(picture, 1200, 2100), kRed);
  EXPECT_EQ(shownAt(picture, 1800, 2400), kRed);
  EXPECT_EQ(shownAt(picture, 1500, 2250), kBlue);
  EXPECT_EQ(shownAt(picture, 1500, 2100), clWhite);
  EXPECT_EQ(manager->GetActiveToolName(), "Prohlížeč");
  EXPECT_EQ(manager->GetForm()->ScaleLabel()->text().toStdString(), manager->ScaleText());

  // After zooming away the fit brings the whole model back.
  manager->SetScale(manager->GetScale() / 8);
  manager->PostMessage(zelto::msg::FitAll, manager.get());
  settle();
  expectShows(1000, 2000, 2000, 2500);
}

TEST_F(Viewer, RubberBandZoomsIntoTheDraggedRectangle) {
  TPageProjection* p = manager->GetProjection();
  const int left = p->WorldToDeviceX(1100), top = p->WorldToDeviceY(2400);
  const int right = p->WorldToDeviceX(1300), bottom = p->WorldToDeviceY(2300);
  geometry::WorldRect wanted{};
  p->DeviceToWorldRect(left, top, right, bottom, wanted);

  mouse(QEvent::MouseButtonPress, left, top, Qt::LeftButton);
  mouse(QEvent::MouseMove, (left + right) / 2, (top + bottom) / 2, Qt::LeftButton);
  mouse(QEvent::MouseMove, right, bottom, Qt::LeftButton);
  // The band shows while it is dragged.
  EXPECT_EQ(render::qt::FromQColor(shown().pixelColor(left, top)), kRed ^ 32768);
  mouse(QEvent::MouseButtonRelease, right, bottom, Qt::NoButton);

  expectShows(wanted.MinX, wanted.MinY, wanted.MaxX, wanted.MaxY);
  EXPECT_EQ(shownAt(shown(), 1200, 2350), kRed);  // redrawn at the new scale, no band left
}

TEST_F(Viewer, ShortDragCentresAndZoomKeysActTwiceWithTheZoomTool) {
  TPageProjection* p = manager->GetProjection();
  const double scale = p->GetScale();
  const int x = p->WorldToDeviceX(1200), y = p->WorldToDeviceY(2100);
  mouse(QEvent::MouseButtonPress, x, y, Qt::LeftButton);
  mouse(QEvent::MouseMove, x + 2, y + 2, Qt::LeftButton);
  mouse(QEvent::MouseButtonRelease, x + 2, y + 2, Qt::NoButton);
  EXPECT_DOUBLE_EQ(p->GetScale(), scale);
  EXPECT_NEAR(p->GetCenterX(), 1200, scale / 1000);
  EXPECT_NEAR(p->GetCenterY(), 2100, scale / 1000);

  manager->GetForm()->PostKey(zelto::key::F5);
  settle();
  EXPECT_DOUBLE_EQ(p->GetScale(), scale / 4);
  manager->GetForm()->PostKey(zelto::key::F6);
  settle();
  EXPECT_DOUBLE_EQ(p->GetScale(), scale);
}

TEST_F(Viewer, ScaleDialogSetsTheScaleOrFitsAll) {
  auto answer = [](const char* text) {
    QTimer::singleShot(0, [text] {
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* dialog = dynamic_cast<Tf_SetScale*>(w); dialog && dialog->isVisible()) {
          dialog->Combo()->setEditText(QString::fromUtf8(text));
          dialog->accept();
          return;
        }
      ADD_FAILURE() << "no scale dialog";
    });
  };
  manager->PostMessage(zelto::msg::ScaleDialog, manager.get());
  answer("2500");
  zelto::RunMessagesUntilIdle();
  EXPECT_DOUBLE_EQ(manager->GetScale(), 2500);

  manager->PostMessage(zelto::msg::ScaleDialog, manager.get());
  answer("Zobraz vše");
  zelto::RunMessagesUntilIdle();
  expectShows(1000, 2000, 2000, 2500);
  // Drawn at once: both areas where the fitted map has them, and the bar
  // under the map names the scale they are drawn at.
  settle();
  const QImage picture = shown();
  EXPECT_EQ(shownAt(picture, 1200, 2100), kRed);
  EXPECT_EQ(shownAt(picture, 1800, 2400), kRed);
  EXPECT_EQ(manager->GetForm()->ScaleLabel()->text().toStdString(), manager->ScaleText());
}

TEST_F(Viewer, RequestsDuringADrawingGiveOneMoreDrawingAndCloseWaitsForTheEnd) {
  TInterpret* interpret = manager->GetInterpret();
  const int before = painter->lines;
  interpret->SetBusy(true);  // a drawing runs and pumps the queue
  for (int i = 0; i < 3; ++i) manager->PostMessage(zelto::msg::RequestReView, manager.get());
  settle();
  EXPECT_EQ(painter->lines, before);
  EXPECT_TRUE(interpret->GetBreakWork());
  interpret->SetBusy(false);
  interpret->SetBreakWork(false);
  interpret->PostMessageToOwners(zelto::msg::Finished);
  settle();
  EXPECT_EQ(painter->lines, before + 1);

  interpret->SetBusy(true);
  manager->PostMessage(zelto::msg::CloseRequest, manager.get());
  settle();
  EXPECT_NE(manager->GetForm(), nullptr);
  EXPECT_EQ(manager->ToolCount(), 1);  // the request closes the viewer, not its zoom tool
  interpret->SetBusy(false);
  interpret->PostMessageToOwners(zelto::msg::Finished);
  settle();
  EXPECT_EQ(manager->GetForm(), nullptr);
}

TEST_F(Viewer, SavesItsBitmapAndReportsAFileThatCannotBeWritten) {
  platform::ScopedScriptedUi ui;
  const test_support::TempDir dir("bitmap");
  const auto file = dir / "zelto_viewer_test.bmp";
  ASSERT_TRUE(manager->SaveToFile(file.string()));
  const QImage saved(QString::fromStdString(file.string()));
  ASSERT_FALSE(saved.isNull());
  EXPECT_EQ(saved.size(), manager->GetBitmap()->Image().size());
  EXPECT_EQ(shownAt(saved, 1200, 2100), kRed);

  const std::string bad = "/nonexistent-dir/x.bmp";
  EXPECT_FALSE(manager->SaveToFile(bad));
  EXPECT_EQ(ui->shownTexts(), (std::vector<std::string>{"Do souboru " + bad + " nejde uložit bitmapa"}));
}

TEST_F(Viewer, ClosingTheWindowGoesThroughTheManager) {
  QCloseEvent first;
  QApplication::sendEvent(manager->GetForm(), &first);
  EXPECT_FALSE(first.isAccepted());
  EXPECT_NE(manager->GetForm(), nullptr);
  settle();  // code 2 reaches the manager, which frees the window
  EXPECT_EQ(manager->GetForm(), nullptr);
}

namespace {
class TCountingTool : public TInteractiveTool {
 public:
  int activations = 0, deactivations = 0;
  void Activate() override { ++activations; }
  void Deactivate() override { ++deactivations; }
};
}  // namespace

TEST_F(Viewer, ActivatingAnotherToolHandsItTheViewAndTheMenuMark) {
  auto* picker = new TCountingTool;
  picker->SetName("Výběr");
  manager->AppendTool(picker);
  picker->PostMessageToOwners(zelto::msg::ActivateTool, picker);
  settle();
  EXPECT_EQ(manager->GetActiveTool(), picker);
  EXPECT_EQ(picker->activations, 1);
  EXPECT_EQ(picker->GetDevice(), manager->GetDevice());
  EXPECT_EQ(picker->Input(), manager->Input());
  QList<QAction*> items = manager->GetForm()->ToolsMenu()->actions();
  ASSERT_EQ(items.size(), 2);
  EXPECT_EQ(items[0]->text().toStdString(), "Prohlížeč");
  EXPECT_EQ(items[0]->objectName().toStdString(), "TViewer");
  EXPECT_FALSE(items[0]->isChecked());
  EXPECT_TRUE(items[1]->isChecked());
  // A name no tool has changes nothing.
  manager->SetActiveToolName("Nic takového");
  EXPECT_EQ(platform::messageQueue().pending(), 0u);
  EXPECT_EQ(manager->GetActiveTool(), picker);
  // F5 now halves the scale once: only the manager reacts to the key.
  const double scale = manager->GetScale();
  manager->GetForm()->PostKey(zelto::key::F5);
  settle();
  EXPECT_DOUBLE_EQ(manager->GetScale(), scale / 2);
  // Code 4 naming something that is no interactive tool is ignored.
  manager->PostMessage(zelto::msg::ActivateTool, manager.get(), model);
  settle();
  EXPECT_EQ(manager->GetActiveTool(), picker);
}

TEST(ViewerInput, ASinglePointIsCentredAtTheScaleInUse) {
  test_support::QtApp();
  RegisterGeometryClasses();
  RegisterViewerClasses();
  TEntity objectModel;
  auto* point = new TPointElement;
  point->GetRectangle()->SetMinX(500);
  point->GetRectangle()->SetMaxX(500);
  point->GetRectangle()->SetMinY(700);
  point->GetRectangle()->SetMaxY(700);
  objectModel.Add(point);
  TFormToolManager manager;
  const double scale = manager.GetScale();
  manager.SetInput(point);
  EXPECT_DOUBLE_EQ(manager.GetScale(), scale);
  EXPECT_DOUBLE_EQ(manager.GetProjection()->GetCenterX(), 500);
  EXPECT_DOUBLE_EQ(manager.GetProjection()->GetCenterY(), 700);
}

TEST(ScaleText, IntegersFromTenAndThreeDecimalsBelow) {
  test_support::QtApp();
  RegisterViewerClasses();
  TFormToolManager manager;
  manager.SetScale(10);
  EXPECT_EQ(manager.ScaleText(), "10");
  manager.SetScale(9.5);
  EXPECT_EQ(manager.ScaleText(), "9.500");
}

namespace {

TEST_F(Viewer, AnExposeShowsTheDrawnImageWithoutDrawingTheModelAgain) {
  const int drawn = painter->lines;
  ASSERT_GT(drawn, 0);
  manager->GetForm()->Image()->repaint();
  manager->GetForm()->hide();
  manager->GetForm()->show();
  settle();
  EXPECT_EQ(painter->lines, drawn);
  EXPECT_EQ(shownAt(shown(), 1200, 2100), kRed);
}

// Fills each area in the Gelix colour its name holds.
class TGelixFill : public TInterpret {
 public:
  bool QGoInside(TElement* e) override { return !e->Is<TPolyElement>() && TInterpret::QGoInside(e); }
  void Process(TElement* e) override {
    if (!e->Is<TAreaElement>()) return;
    const TColor colour = GelixColorToRGB(static_cast<std::int16_t>(std::stoi(e->GetName())));
    GetDevice()->SetPen({colour, 1, psSolid});
    GetDevice()->SetBrush({colour, bsSolid});
    GetDevice()->DrawArea(e);
  }
};

TEST(ViewerColours, GelixColoursReachTheShownPixelsInTheirOwnHues) {
  Viewer::SetUpTestSuite();
  TEntity objectModel;
  auto* model = new TSpaceEntity;
  objectModel.Add(model);
  // Palette red, green and blue, then a 15-bit red, side by side.
  const char* colours[] = {"11", "9", "8", "-31744"};
  for (int i = 0; i < 4; ++i) {
    auto* area = poly<TAreaElement>({{i * 100.0, 0}, {i * 100.0, 100}, {i * 100.0 + 100, 100}, {i * 100.0 + 100, 0}});
    area->SetName(colours[i]);
    model->Add(area);
  }
  model->RecalcEnvelope();
  auto* script = new TInterpretScript;
  script->SetNewClassName("TAreaElement");
  script->SetActualInterpret(new TGelixFill);
  TFormToolManager manager;
  manager.SetInterpretScript(script);
  manager.GetForm()->resize(500, 300);
  manager.SetInput(model);
  manager.DoIt();
  for (int i = 0; i < 5; ++i) {
    QApplication::processEvents();
    zelto::RunMessagesUntilIdle();
  }
  const QImage image = manager.GetForm()->Image()->grab().toImage();
  auto at = [&](double x) {
    TPageProjection* p = manager.GetProjection();
    return image.pixelColor(p->WorldToDeviceX(x), p->WorldToDeviceY(50));
  };
  EXPECT_EQ(at(50), QColor(255, 0, 0));
  EXPECT_EQ(at(150), QColor(0, 255, 0));
  EXPECT_EQ(at(250), QColor(0, 0, 255));
  EXPECT_EQ(at(350), QColor(255, 0, 0));
  platform::messageQueue().discardAll();
}

}  // namespace

namespace {

TEST_F(Viewer, ABrowserNodeDroppedOnTheViewerJoinsTheViewAndIsDrawn) {
  TEntity elsewhere;
  auto* far = poly<TAreaElement>({{5000, 5000}, {5000, 5400}, {5400, 5400}, {5400, 5000}});
  elsewhere.Add(far);
  // What the browser's tree hands to a drag of its root node.
  TExplorer browser;
  browser.SetInput(far);
  browser.DoIt();
  QTreeWidget* tree = browser.Form()->Tree();
  std::unique_ptr<QMimeData> dragged(tree->model()->mimeData({tree->model()->index(0, 0)}));
  ASSERT_NE(dragged, nullptr);
  QWidget* link = manager->GetForm()->LinkButton();
  const QPointF at(link->rect().center());
  QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, dragged.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(manager->GetForm(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(at, Qt::CopyAction, dragged.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(manager->GetForm(), &drop);
  manager->PostMessage(zelto::msg::FitAll, manager.get());
  settle();
  expectShows(1000, 2000, 5400, 5400);
  EXPECT_EQ(shownAt(shown(), 5200, 5200), kRed);
  // The element itself stays where it was; the viewer holds an envelope.
  EXPECT_EQ(far->GetOwnersCount(), 1);
}

}  // namespace

namespace {

TEST(ViewerInput, TheShownElementOutlivesTheViewerUnlessItsModelLetGoOfIt) {
  Viewer::SetUpTestSuite();
  auto root = std::make_unique<TSpaceEntity>();
  auto* model = new TEntity;
  auto* kept = new TSpaceEntity;
  auto* dropped = new TSpaceEntity;
  model->Add(kept);
  model->Add(dropped);
  TElementRef droppedRef;
  droppedRef.Set(dropped);
  {
    // Two viewers on one root, the first closed first.
    auto first = std::make_unique<TFormToolManager>();
    first->SetInput(root.get());
    TFormToolManager second;
    second.SetInput(root.get());
    first.reset();
  }
  // A root without owners (such as the world) is the caller's.
  EXPECT_TRUE(root->IsOrphan());
  {
    TFormToolManager viewer;
    viewer.SetInput(kept);
    TFormToolManager other;
    other.SetInput(dropped);
    model->Remove(dropped);
  }
  EXPECT_EQ(kept->GetOwnersCount(), 1);
  EXPECT_EQ(droppedRef.Get(), nullptr);
  delete model;
  platform::messageQueue().discardAll();
}

}  // namespace

namespace {

// Asks for another drawing in the middle of the first one and takes long
// enough for the drawing to look for messages (it does every 200 ms).
class TSlowPainter : public TPainter {
 public:
  TFormToolManager* manager = nullptr;
  bool asked = false;
  void Process(TElement* e) override {
    if (!asked && e->Is<TAreaElement>()) {
      asked = true;
      manager->PostMessage(zelto::msg::RequestReView, manager);
      std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    TPainter::Process(e);
  }
};

TEST_F(Viewer, ARequestDuringADrawingBreaksItAndDrawsOnceMore) {
  auto* script = new TInterpretScript;
  auto* slow = new TSlowPainter;
  slow->manager = manager.get();
  script->SetNewClassName("TAreaElement");
  script->SetActualInterpret(slow);
  script->SetNewClassName("TPolyLineElement");
  script->SetActualInterpret(slow);
  manager->SetInterpretScript(script);
  manager->PostMessage(zelto::msg::ReviewRequest, manager.get());
  settle();
  EXPECT_TRUE(slow->asked);
  // The broken drawing never reached the line; the one after it did.
  EXPECT_EQ(slow->lines, 1);
  EXPECT_EQ(shownAt(shown(), 1500, 2250), kBlue);
}

}  // namespace

namespace {

// The bar under the map (the quick-view and Link buttons, the coordinates
// and the scale) has a menu of its own on the right button: where the bar
// may go. Its items post nothing and leave the window as it was; the places
// the bar cannot go to show greyed, as do the opening and saving of a model,
// which the viewer does not do.
TEST_F(Viewer, TheBarUnderTheMapOpensItsOwnMenuWhoseItemsChangeNothing) {
  TStandardImageForm& form = *manager->GetForm();
  const auto rightClick = [](QWidget* on) {
    const QPoint at(on->width() - 3, on->height() / 2);
    QContextMenuEvent e(QContextMenuEvent::Mouse, at, on->mapToGlobal(at));
    QApplication::sendEvent(on, &e);
  };
  QStringList items;
  for (QAction* item : form.BarMenu()->actions()) items << item->text();
  EXPECT_EQ(items, QStringList({QString::fromUtf8("Nahoře"), "Dole", "Vlevo", "Vpravo", QString::fromUtf8("Plovoucí"),
                                QString::fromUtf8("Nastavení"), "Storno"}));
  for (QWidget* on : {form.Bar(), static_cast<QWidget*>(form.LinkButton())}) {
    rightClick(on);
    EXPECT_TRUE(form.BarMenu()->isVisible());
    EXPECT_FALSE(form.PopupMenu()->isVisible());
    form.BarMenu()->hide();
  }

  for (QAction* item : form.BarMenu()->actions())
    EXPECT_EQ(item->isEnabled(), item->text() == "Storno") << item->text().toStdString();
  QMenu* file = form.menuBar()->actions().at(0)->menu();
  ASSERT_NE(file, nullptr);
  for (QAction* item : file->actions()) EXPECT_FALSE(item->isEnabled()) << item->text().toStdString();

  const QImage before = shown();
  const QRect barPlace = form.Bar()->geometry();
  for (QAction* item : form.BarMenu()->actions()) {
    item->trigger();
    EXPECT_EQ(platform::messageQueue().pending(), 0u) << item->text().toStdString();
    settle();
  }
  EXPECT_EQ(shown(), before);
  EXPECT_EQ(form.Bar()->geometry(), barPlace);
  EXPECT_TRUE(form.isVisible());
}

}  // namespace
