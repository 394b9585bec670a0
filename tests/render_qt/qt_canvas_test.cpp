#include <gtest/gtest.h>

#include <QApplication>
#include "qt_app.h"
#include <memory>

#include "geometry/area_element.h"
#include "framework/rect_entity.h"
#include "geometry/geometry_classes.h"
#include "geometry/poly_element.h"
#include "geometry/space_entity.h"
#include "render/device.h"
#include "render/memory_raster.h"
#include "render/qt/qt_canvas.h"
#include "render/interpret_script.h"
#include "render/render_classes.h"
#include "render/tile_device.h"
#include "render/universal_interpret.h"
#include "../render/tiled_page.h"

using render::qt::ImageBitmap;

namespace {

constexpr TColor kRed = RGBColor(255, 0, 0);
constexpr TColor kBlue = RGBColor(0, 0, 255);

template <class T>
T* shape(std::initializer_list<std::pair<double, double>> vertices) {
  auto* e = new T;
  for (auto [x, y] : vertices) e->AddVertex(x, y);
  return e;
}

// A 100 x 100 pixel image showing the world square 0..100 m.
struct Picture {
  ImageBitmap bitmap{100, 100};
  TCanvasDevice device;
  Picture() {
    test_support::QtApp();
    device.SetCanvas(&bitmap.Canvas());
    device.GetProjection()->ShowWorldRect({0, 0, 100, 100}, device.GetPage());
    device.GetPage()->SetPaperColor(clWhite);
    device.BeginDraw();
  }
  TColor at(int x, int y) const { return bitmap.PixelAt(x, y); }
};
}  // namespace

TEST(QtCanvas, WorldObjectsLandOnTheirPixels) {
  Picture p;
  EXPECT_EQ(p.device.GetProjection()->WorldToDeviceX(25), 25);
  EXPECT_EQ(p.device.GetProjection()->WorldToDeviceY(25), 75);

  std::unique_ptr<TAreaElement> area(shape<TAreaElement>({{10, 10}, {10, 90}, {90, 90}, {90, 10}}));
  area->AddHole(shape<TAreaElement>({{40, 40}, {40, 60}, {60, 60}, {60, 40}}));
  p.device.SetPen({kRed, 1, psSolid});
  p.device.SetBrush({kRed, bsSolid});
  p.device.DrawArea(area.get());

  std::unique_ptr<TPolyLineElement> line(shape<TPolyLineElement>({{0, 95}, {200, 95}}));
  p.device.SetPen({kBlue, 1, psSolid});
  p.device.DrawPolyline(line.get());

  EXPECT_EQ(p.at(20, 50), kRed);     // inside the area
  EXPECT_EQ(p.at(50, 50), clWhite);  // inside its hole
  EXPECT_EQ(p.at(5, 50), clWhite);   // outside
  EXPECT_EQ(p.at(50, 5), kBlue);     // the line, cut at the page's edge
  EXPECT_EQ(p.at(99, 5), kBlue);
}

TEST(QtCanvas, TextsAndPicturesAreDrawn) {
  Picture p;
  p.device.GetFont()->Height = 20;
  p.device.GetFont()->Color = clBlack;
  EXPECT_GT(p.device.TextWidthPixels("Porost"), 10);
  EXPECT_DOUBLE_EQ(p.device.TextHeight("Porost"), p.device.TextHeightPixels("Porost") * 1.0);
  p.device.TextOut("MMMM", 10, 90);
  int dark = 0;
  for (int y = 10; y < 35; ++y)
    for (int x = 10; x < 60; ++x) dark += p.at(x, y) != clWhite;
  EXPECT_GT(dark, 20);

  TMemoryRaster stamp(2, 2, kBlue);
  p.device.StretchDrawGraphic(70, 30, 10, 10, {}, &stamp);
  EXPECT_EQ(p.at(75, 75), kBlue);
  EXPECT_EQ(p.at(69, 75), clWhite);
  EXPECT_EQ(p.device.GetPixel(75, 25), kBlue);
}

TEST(QtCanvas, TiledStripsOfQtBitmapsMakeUpTheTargetPicture) {
  Picture direct, tiled;
  std::unique_ptr<TAreaElement> block(shape<TAreaElement>({{20.2, 3.1}, {20.2, 96.3}, {70.7, 96.3}, {70.7, 3.1}}));
  direct.device.SetPen({kRed, 1, psSolid});
  direct.device.SetBrush({kRed, bsSolid});
  direct.device.DrawArea(block.get());

  TTileDevice tiles;
  tiles.SetBudgetOverride(TTileDevice::kDefaultBudget);
  tiles.SetBitmapFactory([](std::int32_t w, std::int32_t h) { return new ImageBitmap(w, h); });
  tiles.SetTarget(&tiled.device);
  EXPECT_EQ(tiles.GetTileCount(), 8);
  while (!tiles.GetDone()) {
    tiles.BeginDraw();
    tiles.SetPen({kRed, 1, psSolid});
    tiles.SetBrush({kRed, bsSolid});
    tiles.DrawArea(block.get());
    tiles.EndDraw();
    tiles.NextTile();
  }
  EXPECT_EQ(tiled.bitmap.Image(), direct.bitmap.Image());
  EXPECT_EQ(tiled.at(40, 50), kRed);
}

TEST(QtCanvas, APageDrawnInQtStripsIsThePageDrawnDirectlyTextsIncluded) {
  Picture direct, tiled;
  tiled_page::Show(direct.device);
  tiled_page::Show(tiled.device);
  direct.device.BeginDraw();
  TMemoryRaster picture(3, 2, tiled_page::kBlue);
  picture.SetPixel(1, 1, tiled_page::kRed);
  tiled_page::Draw(direct.device, picture);
  EXPECT_EQ(tiled_page::DrawTiled(tiled.device, picture), 8);
  EXPECT_GT(tiled_page::Reddish(direct.bitmap), 100) << "the turned text is written";
  EXPECT_LE(tiled_page::Differing(tiled.bitmap, direct.bitmap), 5);
}

namespace {
// Draws the test page for every area it is handed.
class TPagePainter : public TInterpret {
 public:
  explicit TPagePainter(const TGraphic& picture) : picture_(picture) {}
  void Process(TElement* e) override {
    if (e->Is<TAreaElement>()) tiled_page::Draw(*GetDevice(), picture_);
  }
  bool QGoInside(TElement* e) override { return !e->Is<TAreaElement>() && TInterpret::QGoInside(e); }

 private:
  const TGraphic& picture_;
};
}  // namespace

TEST(QtCanvas, TheUniversalInterpretsTiledPrintKeepsItsTexts) {
  RegisterRectEntityClasses();
  RegisterGeometryClasses();
  RegisterRenderClasses();
  TMemoryRaster picture(3, 2, tiled_page::kBlue);
  TUniversalInterpret universal;
  auto* script = new TInterpretScript;
  universal.SetScript(script);
  script->SetNewClassName("TAreaElement");
  ASSERT_EQ(script->Error, 0);
  script->SetActualInterpret(new TPagePainter(picture));
  TSpaceEntity model;
  model.Add(shape<TAreaElement>({{10, 10}, {10, 20}, {20, 20}}));
  universal.GetTileDevice()->SetBudgetOverride(TTileDevice::kDefaultBudget);
  Picture direct, tiled;
  for (Picture* p : {&direct, &tiled}) {
    tiled_page::Show(p->device);
    universal.Tile = p == &tiled;
    universal.BeginOnDevice(&p->device);
    universal.SetInput(&model);
    universal.DoIt();
    universal.EndOnDevice();
  }
  EXPECT_GT(tiled_page::Reddish(tiled.bitmap), 100);
  EXPECT_LE(tiled_page::Differing(tiled.bitmap, direct.bitmap), 5);
}
