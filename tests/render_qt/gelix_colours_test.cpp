// Gelix colours travel as Windows colour values (red in the lowest byte)
// until the Qt canvas turns them into Qt's: a red, a green and a blue Gelix
// object must come out red, green and blue in the image's own pixels.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include "geometry/area_element.h"
#include "geometry/geometry_classes.h"
#include "geometry/poly_element.h"
#include "gisblock/gelix_props.h"
#include "render/qt/qt_canvas.h"
#include "render/render_classes.h"
#include "render/universal_interpret.h"
#include "render/universal_script_creator.h"
#include "tests/support/qt_app.h"

TEST(GelixColoursOnQt, RedGreenAndBlueObjectsReachTheImageInTheirColours) {
  test_support::QtApp();
  RegisterGeometryClasses();
  RegisterRenderClasses();
  render::qt::ImageBitmap bitmap{100, 100};
  TCanvasDevice device;
  device.SetCanvas(&bitmap.Canvas());
  device.GetProjection()->ShowWorldRect({0, 0, 100, 100}, device.GetPage());
  TEntity model;
  auto* areas = new TAreaString;
  // Gelix 11 red, 9 green, 8 blue: three areas side by side.
  for (auto [x, colour] : {std::pair{10.0, 11}, {40.0, 9}, {70.0, 8}}) {
    auto* a = new TAreaElement;
    for (auto [dx, dy] : {std::pair{0.0, 0.0}, {0.0, 20.0}, {20.0, 20.0}, {20.0, 0.0}}) a->AddVertex(x + dx, 10 + dy);
    a->RecalcEnvelope();
    auto* p = new TGelixAreaProps;
    p->Barva = static_cast<std::int16_t>(colour);
    p->Znacka = 5;
    a->SetProperties(p);
    areas->Add(a);
  }
  areas->RecalcEnvelope();
  model.Add(areas);
  // A blue line above them.
  auto* lines = new TPolyLineString;
  auto* l = new TPolyLineElement;
  l->AddVertex(10, 60);
  l->AddVertex(90, 60);
  l->RecalcEnvelope();
  auto* lp = new TGelixLineProps;
  lp->Barva = 8;
  l->SetProperties(lp);
  lines->Add(l);
  lines->RecalcEnvelope();
  model.Add(lines);

  TUniversalInterpret universal;
  TUniversalGelixScriptCreator creator;
  creator.DoIt();
  universal.SetScript(static_cast<TInterpretScript*>(creator.Output()));
  universal.BeginOnDevice(&device);
  universal.SetInput(&model);
  universal.DoIt();
  universal.EndOnDevice();
  bitmap.Finish();

  const QImage& image = bitmap.Image();
  const auto pixel = [&](double x, double y) {
    return image.pixelColor(device.GetProjection()->WorldToDeviceX(x), device.GetProjection()->WorldToDeviceY(y));
  };
  EXPECT_EQ(pixel(20, 20), QColor(255, 0, 0));
  EXPECT_EQ(pixel(50, 20), QColor(0, 255, 0));
  EXPECT_EQ(pixel(80, 20), QColor(0, 0, 255));
  EXPECT_EQ(pixel(50, 60), QColor(0, 0, 255));
}
