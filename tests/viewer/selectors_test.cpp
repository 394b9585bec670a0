#include "viewer/selectors.h"

#include "render/interpret_layer.h"
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
