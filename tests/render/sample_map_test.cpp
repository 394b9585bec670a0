// The generated sample district drawn with the default interpret script and
// the generated symbol libraries on a memory raster, a metre a pixel: area
// fills and hatches, boundary lines, line symbols, point symbols and texts
// must show where the objects are.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "framework/entity.h"
#include "geometry/area_element.h"
#include "geometry/geometry_classes.h"
#include "geometry/poly_element.h"
#include "geometry/space_entity.h"
#include "gisblock/gelix_blok_reader.h"
#include "gisblock/gelix_props.h"
#include "platform/message_queue.h"
#include "platform/path_resolver.h"
#include "platform/scripted_user_interaction.h"
#include "render/gelix_color.h"
#include "render/memory_raster.h"
#include "render/render_classes.h"
#include "render/universal_interpret.h"
#include "render/universal_script_creator.h"
#include "tests/support/sample_tree.h"

namespace {

class SampleMapTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterGeometryClasses();
    RegisterRenderClasses();
  }

  void SetUp() override {
    root_ = test_support::GeneratedSample();
    if (root_.empty()) GTEST_SKIP() << "python3 not installed";
    // The generated tree stands for drive C: too, for its C:\TTRIZENI.
    platform::pathResolver().setDrive('C', root_);
    platform::setUi(&ui_);
    const std::filesystem::path district = root_ / "GIS" / "4107" / "01";
    Read((district / "DET.BLK").string(), true);
    Read((district / "SLU.BLK").string(), false);
    Draw();
  }

  void TearDown() override {
    platform::setUi(nullptr);
    platform::messageQueue().discardAll();
    platform::pathResolver().removeDrive('C');
  }

  void Read(const std::string& block, bool withAreas) {
    std::unique_ptr<TGeliXBlokReader> reader(TGeliXBlokReader::CreateForBlock(block));
    reader->SetObjectModel(&registers_);
    if (withAreas) {
      areas_ = reader->ReadAreas();
      model_.Add(areas_);
    }
    TPolyLineString* lines = reader->ReadLines();
    (withAreas ? detLines_ : sluLines_) = lines;
    model_.Add(lines);
    TPointString* points = reader->ReadPoints();
    (withAreas ? detPoints_ : sluPoints_) = points;
    model_.Add(points);
    TTextString* texts = reader->ReadTexts();
    if (withAreas) detTexts_ = texts;
    model_.Add(texts);
  }

  void Draw() {
    const double cx = (areas_->GetMinX() + areas_->GetMaxX()) / 2, cy = (areas_->GetMinY() + areas_->GetMaxY()) / 2;
    raster_.SetSize(static_cast<int>(areas_->GetWidth()) + 40, static_cast<int>(areas_->GetHeight()) + 40);
    raster_.SetLogPixels(254, 254);
    device_.SetCanvas(&raster_);
    // 254 dots per inch at 1:10000: a metre a pixel.
    device_.GetProjection()->Setup({cx, cy}, device_.GetPage(), 10000);
    TUniversalGelixScriptCreator creator;
    creator.DoIt();
    universal_.SetScript(static_cast<TInterpretScript*>(creator.Output()));
    universal_.BeginOnDevice(&device_);
    universal_.SetInput(&model_);
    universal_.DoIt();
    universal_.EndOnDevice();
  }

  TColor At(double x, double y) const {
    const TPageProjection* p = device_.GetProjection();
    return raster_.GetPixel(p->WorldToDeviceX(x), p->WorldToDeviceY(y));
  }
  // Pixels of the colour within r pixels of the world point.
  int Near(double x, double y, int r, TColor colour) const {
    const TPageProjection* p = device_.GetProjection();
    const int px = p->WorldToDeviceX(x), py = p->WorldToDeviceY(y);
    int n = 0;
    for (int dy = -r; dy <= r; ++dy)
      for (int dx = -r; dx <= r; ++dx) n += raster_.GetPixel(px + dx, py + dy) == colour;
    return n;
  }

  // Share of an area's inner pixels (3 m inside its bounding box) of each
  // colour asked for.
  double Share(TAreaElement& area, TColor colour) const {
    int inside = 0, hits = 0;
    for (double y = area.GetMinY() + 3; y < area.GetMaxY() - 3; y += 1)
      for (double x = area.GetMinX() + 3; x < area.GetMaxX() - 3; x += 1) {
        if (!area.ContainsPoint(x, y)) continue;
        ++inside;
        hits += At(x, y) == colour;
      }
    return inside ? static_cast<double>(hits) / inside : 0.0;
  }

  template <class T>
  T* First(TEntity* string, const std::function<bool(T&, TGelixProps&)>& test) {
    for (TElement* e : string->Items()) {
      auto* props = e->Is<TSpaceEntity>() ? dynamic_cast<TGelixProps*>(static_cast<TSpaceEntity*>(e)->GetProperties()) : nullptr;
      if (props && e->Is<T>() && test(*static_cast<T*>(e), *props)) return static_cast<T*>(e);
    }
    return nullptr;
  }

  std::filesystem::path root_;
  platform::ScriptedUserInteraction ui_;
  TEntity registers_;
  TEntity model_;
  TAreaString* areas_ = nullptr;
  TPolyLineString* detLines_ = nullptr;
  TPolyLineString* sluLines_ = nullptr;
  TPointString* detPoints_ = nullptr;
  TPointString* sluPoints_ = nullptr;
  TTextString* detTexts_ = nullptr;
  TMemoryRaster raster_{10, 10};
  TCanvasDevice device_;
  TUniversalInterpret universal_;
};

TEST_F(SampleMapTest, AreasAreFilledOrHatchedInTheirColours) {
  ASSERT_TRUE(areas_);
  int filled = 0, hatched = 0;
  for (TElement* e : areas_->Items()) {
    auto& area = static_cast<TAreaElement&>(*e);
    auto* props = dynamic_cast<TGelixAreaProps*>(area.GetProperties());
    if (!props || area.IsHole || area.GetHoles() || std::min(area.GetWidth(), area.GetHeight()) < 40) continue;
    SCOPED_TRACE(props->Cislo);
    if (props->Znacka == 105 && filled < 5) {
      EXPECT_GT(Share(area, GelixColorToRGB(props->Barva)), 0.6);
      ++filled;
    } else if (props->Znacka == 1201 && hatched < 3) {
      // Lime background, green stripes.
      EXPECT_GT(Share(area, GelixColorToRGB(9)), 0.4);
      EXPECT_GT(Share(area, GelixColorToRGB(2)), 0.05);
      ++hatched;
    }
  }
  EXPECT_GT(filled, 0);
  EXPECT_GT(hatched, 0);
}

TEST_F(SampleMapTest, BoundaryLinesAndLineSymbolsFollowTheirLines) {
  ASSERT_TRUE(detLines_ && sluLines_);
  // A plain boundary (symbol 0) lies on its line in its colour.
  TPolyLineElement* boundary = First<TPolyLineElement>(detLines_, [](TPolyLineElement& l, TGelixProps& p) {
    return p.Znacka == 0 && p.Barva != 0 && l.GetCoordsCount() >= 2;
  });
  ASSERT_TRUE(boundary);
  const TColor boundaryColour = GelixColorToRGB(dynamic_cast<TGelixProps*>(boundary->GetProperties())->Barva);
  int onLine = 0;
  for (int i = 0; i + 1 < boundary->GetCoordsCount(); ++i) {
    const double x = (boundary->GetVertexX(i) + boundary->GetVertexX(i + 1)) / 2;
    const double y = (boundary->GetVertexY(i) + boundary->GetVertexY(i + 1)) / 2;
    onLine += Near(x, y, 1, boundaryColour) > 0;
  }
  EXPECT_GE(onLine * 2, boundary->GetCoordsCount() - 1);

  // A road: both edges 0.6 mm (3 m) off the line, none on it.
  TPolyLineElement* road = First<TPolyLineElement>(sluLines_, [](TPolyLineElement& l, TGelixProps& p) {
    return p.Znacka == 1004 && l.GetLength() > 60;
  });
  ASSERT_TRUE(road);
  const TColor roadColour = GelixColorToRGB(dynamic_cast<TGelixProps*>(road->GetProperties())->Barva);
  int edges = 0, segments = 0;
  for (int i = 0; i + 1 < road->GetCoordsCount(); ++i) {
    const double x0 = road->GetVertexX(i), y0 = road->GetVertexY(i);
    const double dx = road->GetVertexX(i + 1) - x0, dy = road->GetVertexY(i + 1) - y0, len = std::hypot(dx, dy);
    if (len < 10) continue;
    ++segments;
    const double mx = x0 + dx / 2, my = y0 + dy / 2, nx = -dy / len, ny = dx / len;
    edges += Near(mx + 3 * nx, my + 3 * ny, 1, roadColour) > 0 && Near(mx - 3 * nx, my - 3 * ny, 1, roadColour) > 0;
  }
  ASSERT_GT(segments, 0);
  EXPECT_GE(edges * 2, segments);

  // A stream: arrows of the symbol font reach off the line.
  TPolyLineElement* stream = First<TPolyLineElement>(sluLines_, [](TPolyLineElement& l, TGelixProps& p) {
    return p.Znacka == 1003 && l.GetLength() > 40;
  });
  ASSERT_TRUE(stream);
  const TColor streamColour = GelixColorToRGB(dynamic_cast<TGelixProps*>(stream->GetProperties())->Barva);
  int off = 0;
  for (int i = 0; i < stream->GetCoordsCount(); ++i)
    off += Near(stream->GetVertexX(i), stream->GetVertexY(i), 6, streamColour);
  EXPECT_GT(off, 3 * stream->GetCoordsCount());
}

TEST_F(SampleMapTest, PointSymbolsAndTextsAppearAtTheirPlaces) {
  ASSERT_TRUE(detPoints_ && detTexts_);
  // Boundary stones: a red square of 3 mm (15 m) round the point.
  int stones = 0;
  for (TElement* e : detPoints_->Items()) {
    auto* props = dynamic_cast<TGelixProps*>(static_cast<TPointElement*>(e)->GetProperties());
    if (!props || props->Znacka != 1065) continue;
    auto* p = static_cast<TPointElement*>(e);
    EXPECT_GT(Near(p->GetAbsRefX(), p->GetAbsRefY(), 7, GelixColorToRGB(11)), 15) << props->Cislo;
    ++stones;
  }
  EXPECT_GT(stones, 0);

  // Every text of the place names leaves its colour right of its start.
  int texts = 0;
  for (TElement* e : detTexts_->Items()) {
    auto* props = dynamic_cast<TGelixTextProps*>(static_cast<TTextElement*>(e)->GetProperties());
    if (!props || props->Druh != 10 || props->Direction != 0) continue;
    T2DCoordinate* start = props->GetStartPoint();
    const double h = 0.000376 * props->Height * 10000;
    int drawn = 0;
    for (double x = start->X; x < start->X + 4 * h; x += 1)
      for (double y = start->Y; y < start->Y + h; y += 1) drawn += At(x, y) == GelixColorToRGB(props->Barva);
    EXPECT_GT(drawn, 20) << static_cast<TTextElement*>(e)->Text;
    ++texts;
  }
  EXPECT_GT(texts, 0);
}

}  // namespace
