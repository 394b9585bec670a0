#include "geometry/line_segment.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
std::unique_ptr<TPolyLineElement> line(std::initializer_list<std::pair<double, double>> pts) {
  auto l = std::make_unique<TPolyLineElement>();
  for (auto [x, y] : pts) l->AddVertex(x, y);
  return l;
}
void place(TGlxLinAbscissa& s, TPolyLineElement* l, int index) {
  s.Line = l;
  s.Index = index;
}
}  // namespace

TEST(LineSegment, ReadsAndWritesTheLinesVertices) {
  auto l = line({{0, 0}, {10, 0}, {10, 10}});
  TGlxLinAbscissa first, second;
  place(first, l.get(), 0);
  place(second, l.get(), 1);
  EXPECT_TRUE(first.GetIsFirst());
  EXPECT_FALSE(first.GetIsLast());
  EXPECT_TRUE(second.GetIsMargin());
  first.SetX2(9);
  EXPECT_EQ(second.GetX1(), 9);
  auto two = line({{0, 0}, {1, 1}});
  TGlxLinAbscissa only;
  place(only, two.get(), 0);
  EXPECT_TRUE(only.GetIsFirst() && only.GetIsLast());
}

TEST(LineSegment, SplitAndSnap) {
  auto l = line({{0, 0}, {10, 0}});
  TGlxLinAbscissa s;
  place(s, l.get(), 0);
  TGlxLinAbscissa* piece = nullptr;
  s.SplitAt(5, 0, piece);
  std::unique_ptr<TGlxLinAbscissa> owned(piece);
  EXPECT_EQ(s.GetX2(), 5);
  EXPECT_TRUE(piece->IsNew);
  EXPECT_EQ(piece->GetX1(), 5);
  EXPECT_EQ(piece->GetX2(), 10);

  EXPECT_FALSE(s.SnapEndToPoint(true, 0.1, 0.2, 0));
  EXPECT_EQ(s.GetX1(), 0);
  EXPECT_TRUE(s.SnapEndToPoint(true, 0.1, 0.05, 0));
  EXPECT_EQ(s.GetX1(), 0.05);

  auto other = line({{3, -5}, {3, 5}});
  auto near = line({{3.05, 2}, {8, 2}});
  TGlxLinAbscissa target, moving;
  place(target, other.get(), 0);
  place(moving, near.get(), 0);
  double x, y;
  EXPECT_TRUE(moving.SnapEndOntoSegment(true, target, 0.1, x, y));
  EXPECT_EQ(moving.GetX1(), 3);
  EXPECT_TRUE(moving.FixedBegin);
  EXPECT_FALSE(moving.SnapEndOntoSegment(true, target, 0.1, x, y));  // fixed now; the end is far

  bool onSegment, nearEnd;
  double fx, fy;
  auto chain = line({{0, 0}, {5, 0}, {10, 0}});
  TGlxLinAbscissa a, b;
  place(a, chain.get(), 0);
  place(b, chain.get(), 1);
  a.FindEndsOnSegment(b, true, 0.1, onSegment, nearEnd, x, y, fx, fy);
  EXPECT_FALSE(onSegment);  // the shared vertex of consecutive segments
}
