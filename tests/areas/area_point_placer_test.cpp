// Label points: the rectangle centre where it serves, the middle of the
// nearest crossings, the raster search for L, U and ring shapes, thin
// slivers, many holes, random holed stars, line-bounded areas, the
// multi-area walk, and every area of a generated district.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iomanip>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "areas/area_point_placer.h"
#include "framework/message_dispatch.h"
#include "framework/zelto_message.h"
#include "geometry/area_element.h"
#include "gisblock/gelix_blok_reader.h"
#include "gisblock/gelix_classes.h"
#include "platform/message_queue.h"
#include "platform/real48.h"
#include "platform/scripted_user_interaction.h"
#include "log_probe.h"
#include "sample_tree.h"
#include "temp_dir.h"
#include "walkers_fixture.h"

namespace {

using Pts = std::vector<std::pair<double, double>>;

TAreaElement* area(const Pts& outer, const std::vector<Pts>& holes = {}) {
  auto* a = new TAreaElement;
  for (auto [x, y] : outer) a->AddVertex(x, y);
  for (const Pts& h : holes) {
    auto* hole = new TAreaElement;
    for (auto [x, y] : h) hole->AddVertex(x, y);
    a->AddHole(hole);
  }
  return a;
}

// The ring as the block stores it, in 6-byte reals.
Pts stored(const Pts& ring) {
  Pts out;
  for (auto [x, y] : ring) out.push_back({platform::roundReal48(x), platform::roundReal48(y)});
  return out;
}

class PlacerTest : public testing::Test {
 protected:
  // Places with a fresh placer and checks the point is inside and clear of
  // the holes; returns it.
  std::pair<double, double> place(TAreaElement& a, bool centerOnly = false) {
    placer.CenterOnly = centerOnly;
    placer.SetInput(&a);
    placer.DoIt();
    EXPECT_EQ(placer.Output(), &a);
    const double x = a.GetAbsRefX(), y = a.GetAbsRefY();
    EXPECT_TRUE(a.ContainsPoint(x, y)) << x << " " << y;
    return {x, y};
  }
  platform::ScopedScriptedUi ui;
  TAreaPointPlacer placer;
};

// The rectangle centre where it serves; else the middle of the crossings
// nearest it; else the middle of the widest span of the middle raster row,
// the left one of two equal spans.
TEST_F(PlacerTest, ShapesTakeTheirPoints) {
  const Pts lShape{{0, 0}, {100, 0}, {100, 20}, {20, 20}, {20, 100}, {0, 100}};
  // The same L, turned the other way round, with its sides cut into 30,000
  // vertices is searched alike.
  const Pts reversed(lShape.rbegin(), lShape.rend());
  Pts denseL;
  for (std::size_t i = 0; i < reversed.size(); ++i) {
    auto [x0, y0] = reversed[i];
    auto [x1, y1] = reversed[(i + 1) % reversed.size()];
    for (int k = 0; k < 5000; ++k) denseL.push_back({x0 + (x1 - x0) * k / 5000, y0 + (y1 - y0) * k / 5000});
  }
  const Pts notch{{0, 0}, {100, 0}, {100, 10}, {50.3, 10}, {50.3, 100}, {0, 100}};
  // At S-JTSK coordinates, a centre half a stored step off the grid of the
  // 6-byte reals, well inside: it stays as it is.
  const double x0 = -600000, y0 = -1100000, half = std::ldexp(1.0, -21);
  const Pts offGrid{{x0, y0}, {x0, y0 + 40}, {x0 + 100 + 2 * half, y0 + 40}, {x0 + 100 + 2 * half, y0}};
  const struct {
    const char* name;
    Pts outer;
    std::vector<Pts> holes;
    bool centerOnly;
    double x, y, tolerance;
  } cases[] = {
      {"rectangle", {{0, 0}, {0, 10}, {40, 10}, {40, 0}}, {}, false, 20, 5, 0},
      {"centre near the boundary", notch, {}, false, 25.15, 50, 1e-9},
      {"centre only", notch, {}, true, 50, 50, 0},
      {"L", lShape, {}, false, 10, 50, 0.5},
      {"dense L", denseL, {}, false, 10, 50, 0.5},
      {"ring", {{0, 0}, {0, 90}, {90, 90}, {90, 0}}, {{{30, 30}, {60, 30}, {60, 60}, {30, 60}}}, false, 15, 45, 0.5},
      {"centre between stored values", offGrid, {}, false, x0 + 50 + half, y0 + 20, 0},
      {"centre between stored values, centre only", offGrid, {}, true, x0 + 50 + half, y0 + 20, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<TAreaElement> a(area(c.outer, c.holes));
    auto [x, y] = place(*a, c.centerOnly);
    EXPECT_NEAR(x, c.x, c.tolerance);
    EXPECT_NEAR(y, c.y, c.tolerance);
  }
}

TEST_F(PlacerTest, UShapeAndManyHolesStayInside) {
  std::unique_ptr<TAreaElement> u(area({{0, 0}, {90, 0}, {90, 90}, {60, 90}, {60, 10}, {30, 10}, {30, 90}, {0, 90}}));
  place(*u);
  std::vector<Pts> holes;
  for (int i = 0; i < 10; ++i)
    for (int j = 0; j < 10; ++j) {
      const double x = 10 * i + 1, y = 10 * j + 1;
      holes.push_back({{x, y}, {x + 8.5, y}, {x + 8.5, y + 8.5}, {x, y + 8.5}});
    }
  std::unique_ptr<TAreaElement> sieve(area({{0, 0}, {100, 0}, {100, 100}, {0, 100}}, holes));
  place(*sieve);
  place(*sieve, true);
}

TEST_F(PlacerTest, ThinSliversGetAPointInside) {
  // Thinner than a raster pixel: an L of 0.5 m legs 1 km long, a diagonal
  // needle and a flat strip.
  std::vector<Pts> slivers{
      {{0, 0}, {1000, 0}, {1000, 0.5}, {0.5, 0.5}, {0.5, 1000}, {0, 1000}},
      {{0, 0}, {1000, 1000.2}, {1000, 1000}, {0.1, 0}},
      {{0, 0}, {0, 0.001}, {2000, 0.001}, {2000, 0}},
      {{0, 0}, {500, 0.01}, {1000, 0}, {500, 0.02}}};
  for (const Pts& s : slivers) {
    std::unique_ptr<TAreaElement> a(area(s));
    place(*a);
    place(*a, true);
  }
  EXPECT_TRUE(ui->shown().empty());
}

// A point on the boundary is given to the neighbour by any point-in-polygon
// join; the rectangle centres of these lie exactly on an edge of the area
// or of its hole.
TEST_F(PlacerTest, PointsOnTheBoundaryDoNotCountAsInside) {
  const Pts triangle{{0, 0}, {0, 10}, {10, 0}};
  const Pts square{{0, 0}, {0, 10}, {10, 10}, {10, 0}}, hole{{5, 2}, {5, 8}, {8, 8}, {8, 2}};
  for (bool centerOnly : {false, true}) {
    std::unique_ptr<TAreaElement> a(area(triangle));
    auto [x, y] = place(*a, centerOnly);
    EXPECT_FALSE(areas_test::OnRingEdge(triangle, x, y)) << x << " " << y;
    std::unique_ptr<TAreaElement> b(area(square, {hole}));
    std::tie(x, y) = place(*b, centerOnly);
    EXPECT_FALSE(areas_test::OnRingEdge(hole, x, y) || areas_test::OnRingEdge(square, x, y)) << x << " " << y;
  }
  EXPECT_TRUE(ui->shown().empty());
}

// The block stores a label point as 6-byte reals: at S-JTSK coordinates a
// step of about 1e-6 m. Most rectangle centres here lie half a step inside
// the area and are stored on its boundary: on the inner corner of a U's
// notch or an L, on an edge or a corner of a hole, on the long edge of a
// sliver. The arch's halfway row is stored on its inner edge.
TEST_F(PlacerTest, PointsLieStrictlyInsideAsTheBlockStoresThem) {
  const double x0 = -600000, y0 = -1100000;
  const double ux = std::ldexp(1.0, -20), uy = std::ldexp(1.0, -19);  // a stored step there
  const double top = y0 + 90 + uy, right = x0 + 90 + ux;
  const Pts square{{x0, y0}, {x0, y0 + 100 + uy}, {x0 + 100 + ux, y0 + 100 + uy}, {x0 + 100 + ux, y0}};
  const Pts wide{{x0, y0}, {x0, y0 + 100}, {x0 + 100 + ux, y0 + 100}, {x0 + 100 + ux, y0}};
  const struct {
    const char* name;
    Pts outer;
    std::vector<Pts> holes;
  } cases[] = {
      {"U, centre on the inner corner of its notch",
       {{x0, y0}, {x0, top}, {x0 + 20, top}, {x0 + 20, y0 + 45}, {x0 + 45, y0 + 45}, {x0 + 45, top}, {right, top},
        {right, y0}},
       {}},
      {"L, centre on its inner corner",
       {{x0 + 45, y0}, {x0 + 45, y0 + 45}, {x0, y0 + 45}, {x0, top}, {right, top}, {right, y0}}, {}},
      {"hole, centre on its edge", wide,
       {{{x0 + 30, y0 + 20}, {x0 + 30, y0 + 80}, {x0 + 50, y0 + 80}, {x0 + 50, y0 + 20}}}},
      {"hole, its edge between stored values", wide,
       {{{x0 + 30, y0 + 20}, {x0 + 30, y0 + 80}, {x0 + 50 + ux / 4, y0 + 80}, {x0 + 50 + ux / 4, y0 + 20}}}},
      {"hole, centre on its corner", square,
       {{{x0 + 20, y0 + 20}, {x0 + 20, y0 + 50}, {x0 + 50, y0 + 50}, {x0 + 50, y0 + 20}}}},
      {"sliver, centre on its long edge",
       {{x0, y0}, {x0 + 1000, y0 + 1000}, {x0 + 1000 + ux, y0 + 1000 - 1.0 / 128}},
       {}},
      // Its halfway row lies half a step above its inner edge, and a
      // vertex one step above that edge leaves no stored row between.
      {"arch, halfway row on its inner edge",
       {{x0, y0}, {x0, y0 + 45 + uy}, {x0, y0 + 90}, {x0 + 100, y0 + 90}, {x0 + 100, y0}, {x0 + 80, y0},
        {x0 + 80, y0 + 45}, {x0 + 20, y0 + 45}, {x0 + 20, y0}},
       {}},
      {"strip three steps wide", {{x0, y0}, {x0, y0 + 3 * uy}, {x0 + 2000, y0 + 3 * uy}, {x0 + 2000, y0}}, {}},
      {"ring round a hole over its centre", square,
       {{{x0 + 10, y0 + 10}, {x0 + 10, y0 + 90}, {x0 + 90, y0 + 90}, {x0 + 90, y0 + 10}}}},
  };
  for (const auto& c : cases)
    for (bool centerOnly : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (centerOnly ? ", centre only" : ""));
      std::unique_ptr<TAreaElement> a(area(c.outer, c.holes));
      auto [x, y] = place(*a, centerOnly);
      std::vector<Pts> holes;
      for (const Pts& h : c.holes) holes.push_back(stored(h));
      const double sx = platform::roundReal48(x), sy = platform::roundReal48(y);
      EXPECT_TRUE(areas_test::StrictlyInside(stored(c.outer), holes, sx, sy))
          << std::setprecision(17) << sx << " " << sy;
    }
  EXPECT_TRUE(ui->shown().empty());
}

TEST_F(PlacerTest, AnAreaWithoutInsideIsLoggedNotBoxed) {
  test_support::LogProbe log;
  std::unique_ptr<TAreaElement> flat(area({{0, 0}, {0, 10}, {0, 20}}));
  placer.SetInput(flat.get());
  placer.DoIt();
  EXPECT_TRUE(log.saw("Chyba umístění pop.bodu"));
  EXPECT_EQ(log.texts.size(), 1u);
  EXPECT_TRUE(ui->shown().empty());
}

TEST_F(PlacerTest, RandomHoledStarsStayInside) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> r(0.05, 1.0);
  for (int round = 0; round < 300; ++round) {
    Pts outer;
    const int n = 3 + round % 60;
    const double cx = 1e6 * r(rng), cy = 1e6 * r(rng), size = round % 3 == 0 ? 0.5 : 500;
    for (int k = 0; k < n; ++k) {
      const double a = -2 * M_PI * k / n;  // clockwise
      const double rad = size * (0.05 + r(rng));
      outer.push_back({cx + rad * std::cos(a), cy + rad * std::sin(a)});
    }
    std::vector<Pts> holes;
    holes.push_back({{cx - size * 0.02, cy - size * 0.02}, {cx + size * 0.02, cy - size * 0.02},
                     {cx + size * 0.02, cy + size * 0.02}, {cx - size * 0.02, cy + size * 0.02}});
    std::unique_ptr<TAreaElement> a(area(outer, holes));
    place(*a, round % 2 == 0);
  }
  EXPECT_TRUE(ui->shown().empty());
}

TEST_F(PlacerTest, LineBoundedAreaWithAHole) {
  auto line = [](const Pts& pts) {
    auto* l = new TPolyLineElement;
    for (auto [x, y] : pts) l->AddVertex(x, y);
    return l;
  };
  TPolyLineString lines;
  auto* a = new TPolyLineAreaElement;
  auto* l1 = line({{0, 0}, {0, 90}, {90, 90}});
  auto* l2 = line({{0, 0}, {90, 0}, {90, 90}});
  lines.Add(l1);
  lines.Add(l2);
  a->InsertLine(0, l1, true);
  a->InsertLine(1, l2, false);
  auto* hole = new TPolyLineAreaElement;
  auto* l3 = line({{30, 30}, {60, 30}, {60, 60}, {30, 60}, {30, 30}});
  lines.Add(l3);
  hole->InsertLine(0, l3, true);
  a->AddHole(hole);
  for (TPolyLineElement* l : {l1, l2}) a->ExtendBy(l);
  std::unique_ptr<TAreaElement> owner(a);
  auto [x, y] = place(*a);
  EXPECT_LT(x, 30);
}

TEST_F(PlacerTest, MultiPlacerWalksOnlyAreaStrings) {
  TAreaString areas;
  auto* l = area({{0, 0}, {100, 0}, {100, 20}, {20, 20}, {20, 100}, {0, 100}});
  areas.Add(l);
  TEntity other;
  TMultiAreaPointPlacer multi;
  multi.SetInput(&other);
  multi.DoIt();
  multi.SetInput(&areas);
  multi.DoIt();
  EXPECT_TRUE(l->ContainsPoint(l->GetAbsRefX(), l->GetAbsRefY()));
}

// Every area of the generated district, read as rings of lines and as rings
// of vertices, placed one by one and by the multi-area walk.
TEST(PlacerOnSampleDistrict, EveryAreaGetsAPointInsideItAndOutsideItsHoles) {
  if (test_support::GeneratedSample().empty()) GTEST_SKIP() << "python3 not installed";
  const test_support::TempDir dir("placer_district");
  ASSERT_TRUE(test_support::CopySample(dir.path()));
  RegisterGelixClasses();
  platform::ScopedScriptedUi ui;
  test_support::LogProbe log;  // the main tool for the case, also when it stops halfway
  int placed = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir / "GIS")) {
    if (!entry.is_directory() || entry.path().filename() != "DET.BLK") continue;
    for (bool asBoundary : {false, true}) {
      TEntity model;
      std::unique_ptr<TGeliXBlokReader> reader(TGeliXBlokReader::CreateForBlock(entry.path().string()));
      reader->SetObjectModel(&model);
      reader->ReadAreaAsBoundary = asBoundary;
      std::unique_ptr<TAreaString> areas(reader->ReadAreas());
      ASSERT_TRUE(areas);
      TAreaPointPlacer placer;
      for (TElement* e : areas->Items()) {
        auto* a = static_cast<TAreaElement*>(e);
        placer.SetInput(a);
        placer.DoIt();
        ASSERT_TRUE(a->ContainsPoint(a->GetAbsRefX(), a->GetAbsRefY())) << a->PropertyText("Cislo");
        a->SetAbsRefX(a->GetMinX() - 1);
      }
      TMultiAreaPointPlacer multi;
      multi.SetInput(areas.get());
      multi.DoIt();
      for (TElement* e : areas->Items()) {
        auto* a = static_cast<TAreaElement*>(e);
        ASSERT_TRUE(a->ContainsPoint(a->GetAbsRefX(), a->GetAbsRefY())) << a->PropertyText("Cislo");
        ++placed;
      }
    }
  }
  EXPECT_GT(placed, 100);
  EXPECT_TRUE(ui->shown().empty());
  zelto::RunMessagesUntilIdle();
}

}  // namespace
