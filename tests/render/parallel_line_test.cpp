#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "framework/coordinate.h"
#include "framework/rect_entity.h"
#include "render/parallel_line.h"

namespace {
std::vector<std::pair<double, double>> Parallel(std::initializer_list<std::pair<double, double>> line,
                                                bool side, double d) {
  TRectEntity input;
  for (auto [x, y] : line) input.Add(new T2DCoordinate(x, y));
  TParalel tool;
  tool.Init(side, d);
  tool.SetInput(&input);
  tool.DoIt();
  std::unique_ptr<TElement> out(tool.Output());
  tool.SetOutput(nullptr);
  tool.SetInput(nullptr);
  std::vector<std::pair<double, double>> pts;
  for (TElement* e : static_cast<TEntity*>(out.get())->Items())
    pts.push_back({static_cast<T2DCoordinate*>(e)->X, static_cast<T2DCoordinate*>(e)->Y});
  return pts;
}
}  // namespace

TEST(ParallelLine, SidesStraightVerticesAndMitres) {
  auto two = Parallel({{0, 0}, {10, 0}}, true, 2);
  ASSERT_EQ(two.size(), 2u);
  EXPECT_NEAR(two[0].second, 2, 1e-12);
  EXPECT_NEAR(two[1].first, 10, 1e-12);
  EXPECT_NEAR(Parallel({{0, 0}, {10, 0}}, false, 2)[1].second, -2, 1e-12);

  auto straight = Parallel({{0, 0}, {5, 0}, {10, 0}}, true, 2);
  ASSERT_EQ(straight.size(), 3u);
  EXPECT_NEAR(straight[1].first, 5, 1e-12);
  EXPECT_NEAR(straight[1].second, 2, 1e-12);

  // A right angle turning left: the inner mitre lies at d / sin(45°).
  auto corner = Parallel({{0, 0}, {10, 0}, {10, 10}}, true, 2);
  ASSERT_EQ(corner.size(), 3u);
  EXPECT_NEAR(corner[1].first, 8, 1e-12);
  EXPECT_NEAR(corner[1].second, 2, 1e-12);
  EXPECT_NEAR(corner[2].first, 8, 1e-12);
  auto outer = Parallel({{0, 0}, {10, 0}, {10, 10}}, false, 2);
  EXPECT_NEAR(outer[1].first, 12, 1e-12);
  EXPECT_NEAR(outer[1].second, -2, 1e-12);

  EXPECT_TRUE(Parallel({{0, 0}}, true, 2).empty());
}
