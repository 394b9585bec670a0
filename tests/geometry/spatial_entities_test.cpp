#include "geometry/area_element.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TAreaElement* ring(std::initializer_list<std::pair<double, double>> pts) {
  auto* area = new TAreaElement;
  for (auto [x, y] : pts) area->AddVertex(x, y);
  return area;
}

TPolyLineElement* line(std::initializer_list<std::pair<double, double>> pts) {
  auto* l = new TPolyLineElement;
  for (auto [x, y] : pts) l->AddVertex(x, y);
  return l;
}

}  // namespace

TEST(SignedArea, ShoelaceSignAndClosingVertex) {
  std::unique_ptr<TAreaElement> ccw(ring({{0, 0}, {1, 0}, {1, 1}, {0, 1}}));
  EXPECT_EQ(ccw->GetArea1(), -1.0);
  std::unique_ptr<TAreaElement> cw(ring({{0, 0}, {0, 1}, {1, 1}, {1, 0}}));
  EXPECT_EQ(cw->GetArea1(), 1.0);
  std::unique_ptr<TAreaElement> closed(ring({{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}}));
  EXPECT_EQ(closed->GetWholeArea(), -1.0);
  EXPECT_EQ(closed->SavedArea, -1.0);
  TAreaElement empty;
  empty.SavedArea = 7;
  EXPECT_EQ(empty.GetWholeArea(), 0.0);
  EXPECT_EQ(empty.SavedArea, 7);
}

TEST(SignedArea, LineSharesOverAChainAddUpToTheRing) {
  // The ring (0,0) (4,0) (4,3) (0,3) as three lines, one of them reversed.
  std::unique_ptr<TPolyLineElement> a(line({{0, 0}, {4, 0}}));
  std::unique_ptr<TPolyLineElement> b(line({{0, 3}, {4, 3}, {4, 0}}));  // walked backwards
  std::unique_ptr<TPolyLineElement> c(line({{0, 3}, {0, 0}}));
  const double sum = LineSignedArea(a.get(), true) + LineSignedArea(b.get(), false) +
                     LineSignedArea(c.get(), true);
  std::unique_ptr<TAreaElement> r(ring({{0, 0}, {4, 0}, {4, 3}, {0, 3}}));
  EXPECT_EQ(sum, r->GetArea1());
  EXPECT_EQ(sum, -12.0);
  std::unique_ptr<TPolyLineElement> point(line({{1, 1}}));
  EXPECT_EQ(LineSignedArea(point.get(), true), 0.0);
}

TEST(SignedArea, HolesShrinkTheMagnitudeWhateverTheOrientation) {
  auto build = [](bool clockwise) {
    auto* outer = clockwise ? ring({{0, 0}, {0, 10}, {1, 10}, {1, 0}})
                            : ring({{0, 0}, {1, 0}, {1, 10}, {0, 10}});
    outer->AddHole(ring({{0, 0}, {0, 2}, {1, 2}, {1, 0}}));  // +2
    outer->AddHole(ring({{0, 0}, {3, 0}, {3, 1}, {0, 1}}));  // -3
    return std::unique_ptr<TAreaElement>(outer);
  };
  EXPECT_EQ(build(false)->GetArea1(), -5.0);
  EXPECT_EQ(build(true)->GetArea1(), 5.0);
  auto area = build(true);
  auto* hole = static_cast<TAreaElement*>(area->GetHoles()->GetItem(0));
  EXPECT_TRUE(hole->IsHole);
  EXPECT_EQ(hole->GetHoleOwnerArea(), area.get());
  EXPECT_TRUE(area->ContainsPoint(0.5, 5));
  EXPECT_FALSE(area->ContainsPoint(0.5, 1.5));
}

TEST(PolyLineArea, BoundaryFromLinesAndDirectionBits) {
  TPolyLineAreaElement area;
  std::unique_ptr<TPolyLineElement> a(line({{0, 0}, {2, 0}, {2, 2}}));
  std::unique_ptr<TPolyLineElement> b(line({{0, 2}, {2, 2}}));  // reversed
  std::unique_ptr<TPolyLineElement> c(line({{0, 2}, {0, 1}, {0, 0.5}, {0, 0}}));
  area.AddItemsFrom(a.get(), true);
  area.AddItemsFrom(b.get(), false);
  area.AddItemsFrom(c.get(), true);
  EXPECT_EQ(area.GetCoordsCount(), 6);
  EXPECT_EQ(area.GetCoord(3)->X, 0.0);  // b walked backwards ends at (0, 2)
  EXPECT_EQ(area.GetCoord(3)->Y, 2.0);
  EXPECT_EQ(area.GetArea1(), -4.0);
  EXPECT_TRUE(area.IsInOuterRing(1, 1));
  EXPECT_TRUE(area.HasLine(b.get(), false));
  std::unique_ptr<TAreaElement> copy(area.CloneAsArea());
  EXPECT_EQ(copy->GetCoordsCount(), 7);  // ends with a repeat of the first vertex
  EXPECT_EQ(copy->GetArea1(), -4.0);
  area.Remove(b.get());
  EXPECT_TRUE(area.GetLineOrigin(1));  // c moved down to position 1
}

// The length of a ring of lines is the walk over its vertices one by one
// (the closing segment not counted), whatever the directions of the lines.
TEST(PolyLineArea, LengthIsTheWalkOverTheVertices) {
  TPolyLineAreaElement area;
  std::vector<std::unique_ptr<TPolyLineElement>> lines;  // leave the area before it goes
  for (int k = 0; k < 40; ++k) {
    const double x = k;
    lines.emplace_back(k % 3 ? line({{x, 0}, {x + 0.5, 0.25 * k}, {x + 1, 0}}) : line({{x + 1, 0}, {x, 0}}));
    area.AddItemsFrom(lines.back().get(), k % 3 != 0);
  }
  double walked = 0;
  for (int i = 1; i < area.GetCoordsCount(); ++i)
    walked += Distance(area.GetVertexX(i - 1), area.GetVertexY(i - 1), area.GetVertexX(i), area.GetVertexY(i));
  EXPECT_GT(walked, 40.0);
  EXPECT_EQ(area.GetLength(), walked);
  EXPECT_NEAR(std::stod(area.PropertyText("Length")), walked, 1e-6);  // the published one too
}

TEST(PolyLineArea, LinesOriginesHexParsesBeforeReplacing) {
  TPolyLineAreaElement area;
  area.SetLineOrigin(0, true);
  area.SetLineOrigin(9, true);
  EXPECT_EQ(area.GetLinesOriginesHex(), "0102");
  area.SetLinesOriginesHex("0102");
  EXPECT_EQ(area.GetLinesOriginesHex(), "0102");
  area.SetLinesOriginesHex("ff0");
  EXPECT_EQ(area.GetLinesOriginesHex(), "FF");
  area.SetLinesOriginesHex("01G2");  // not hexadecimal: the bits stay
  EXPECT_EQ(area.GetLinesOriginesHex(), "FF");
  area.SetLinesOriginesHex("");
  EXPECT_EQ(area.GetLinesOriginesHex(), "");
}

TEST(PolyElement, LengthMidPointAndHitTest) {
  std::unique_ptr<TPolyLineElement> l(line({{0, 0}, {10, 0}}));
  EXPECT_EQ(l->GetLength(), 10.0);
  l->SetLabelPoint();
  EXPECT_EQ(l->GetAbsRefX(), 5.0);
  EXPECT_EQ(l->Angle, DirectionAngle(10, 0) + 1.5707963267948966);
  double x, y, angle;
  l->PointAtDistance(x, y, angle, 10);
  EXPECT_EQ(x, 10.0);
  EXPECT_EQ(angle, 0.0);
  T2DCoordinate near(3, 0.5), off(11, 0);
  EXPECT_TRUE(l->HitTest(&near, 1));
  EXPECT_FALSE(l->HitTest(&off, 2));
  std::unique_ptr<TPolyLineElement> one(line({{2, 3}}));
  one->GetMidPoint(x, y, angle);
  EXPECT_EQ(x, 2.0);
  EXPECT_EQ(angle, 0.0);
}

TEST(SpaceEntity, PropertiesFallThroughToTheRecord) {
  TPolyLineString layer;
  layer.SetPropertyText("Barva", "7");  // a collection keeps unknown names
  EXPECT_NE(layer.GetProperties(), nullptr);
  EXPECT_EQ(layer.PropertyText("Barva"), "7");
  TPointElement point;
  point.SetPropertyText("Barva", "7");  // a plain entity without a record drops them
  EXPECT_EQ(point.GetProperties(), nullptr);
  EXPECT_EQ(point.GetSpaceID(), -1);
  EXPECT_FALSE(point.GetIsDone());
  point.SetIsDone(true);
  EXPECT_EQ(point.ID, 0);
}

#include "framework/zelto_message.h"

TEST(PolyLineArea, SplitPieceJoinsNextToItsLineWithTheSameDirection) {
  TPolyLineAreaElement area;
  TPolyLineString keep;
  std::vector<TPolyLineElement*> lines;
  for (int k = 0; k < 4; ++k) {
    lines.push_back(line({{double(k), 0}, {double(k + 1), 0}}));
    keep.Add(lines.back());
    area.AddItemsFrom(lines.back(), k != 2);
  }
  auto* piece = line({{2.5, 0}, {3, 0}});
  keep.Add(piece);
  TZeltoMessage message(zelto::msg::LineSplit, piece, &area, lines[2]);
  TZeltoMessage* msg = &message;
  bool handled = false;
  area.HandleMessage(msg, handled);
  ASSERT_EQ(area.GetCount(), 5);
  EXPECT_EQ(area.GetItem(3), piece);
  EXPECT_FALSE(area.GetLineOrigin(2));
  EXPECT_FALSE(area.GetLineOrigin(3));
  EXPECT_TRUE(area.GetLineOrigin(4));  // line 3 moved up with its bit
  EXPECT_TRUE(area.GetLineOrigin(0));
}

// A ring of two lines with many vertices: its rectangle covers every vertex,
// and its plain copy keeps a hole that is a ring of vertices.
TEST(PolyLineArea, EnvelopeAndCopyCoverEveryVertexAndEveryHole) {
  TPolyLineAreaElement area;
  std::unique_ptr<TPolyLineElement> bottom(line({{0, 0}, {5, -1}, {10, 0}, {10, 10}}));
  std::unique_ptr<TPolyLineElement> top(line({{10, 10}, {5, 12}, {0, 10}, {0, 0}}));
  area.AddItemsFrom(bottom.get(), true);
  area.AddItemsFrom(top.get(), true);
  area.RecalcEnvelope();
  EXPECT_EQ(area.GetMinY(), -1.0);
  EXPECT_EQ(area.GetMaxY(), 12.0);
  EXPECT_EQ(area.GetMaxX(), 10.0);

  area.AddHole(ring({{4, 4}, {6, 4}, {6, 6}, {4, 6}}));
  std::unique_ptr<TAreaElement> copy(area.CloneAsArea());
  ASSERT_NE(copy->GetHoles(), nullptr);
  EXPECT_EQ(copy->GetHoles()->GetCount(), 1);
  EXPECT_FALSE(copy->ContainsPoint(5, 5));
  EXPECT_TRUE(copy->ContainsPoint(2, 2));
}
