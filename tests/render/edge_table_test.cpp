// The scan-line edge table: spans of simple shapes, holes, vertices that are
// no local extreme, and stepping against the one-row evaluation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <utility>
#include <vector>

#include "render/edge_table.h"

namespace {

using Span = std::pair<std::int64_t, std::int64_t>;

// Every row's spans, from the top row down, by the stepping of the hatch fill.
std::vector<std::pair<std::int32_t, std::vector<Span>>> scan(const std::vector<TDevicePoint>& pts,
                                                             const std::vector<std::int32_t>& counts,
                                                             bool byColumns = false) {
  TEdgeTable table;
  table.Build(pts, counts, byColumns);
  std::vector<std::pair<std::int32_t, std::vector<Span>>> rows;
  if (table.Empty()) return rows;
  auto& e = table.Records();
  int first = 0, last = 0, active = 0;
  for (std::int32_t row = table.HighRow(); row >= table.MinRow(); --row) {
    UpdateActiveEdges(e, row, last, first);
    SortActiveEdges(e, active, last, first);
    EXPECT_EQ(active % 2, 0) << "row " << row;
    std::vector<Span> spans;
    ForEachSpan(e, first, last, active, [&](std::int64_t a, std::int64_t b) { spans.push_back({a, b}); });
    rows.push_back({row, spans});
    StepActiveEdges(e, first, last);
  }
  return rows;
}

TEST(EdgeTable, SquareFillsEveryRowWithBothEnds) {
  const auto rows = scan({{10, 10}, {20, 10}, {20, 20}, {10, 20}}, {4});
  ASSERT_EQ(rows.size(), 11u);
  EXPECT_EQ(rows.front().first, 20);
  EXPECT_EQ(rows.back().first, 10);
  for (const auto& [row, spans] : rows) EXPECT_EQ(spans, (std::vector<Span>{{10, 20}})) << row;
}

TEST(EdgeTable, PiecesAlongRowsMakeNoEdgeButAreReported) {
  TEdgeTable table;
  std::vector<std::pair<TDevicePoint, TDevicePoint>> pieces;
  const std::vector<TDevicePoint> square{{10, 10}, {20, 10}, {20, 20}, {10, 20}};
  table.Build(square, std::vector<std::int32_t>{4}, false,
              [&](TDevicePoint a, TDevicePoint b) { pieces.push_back({a, b}); });
  EXPECT_EQ(table.Count(), 2);
  ASSERT_EQ(pieces.size(), 2u);
  EXPECT_EQ(pieces[0].first, (TDevicePoint{10, 10}));  // the closing point starts the walk
  EXPECT_EQ(pieces[0].second, (TDevicePoint{20, 10}));
  // By columns the vertical sides are the pieces along the rows.
  pieces.clear();
  table.Build(square, std::vector<std::int32_t>{4}, true,
              [&](TDevicePoint a, TDevicePoint b) { pieces.push_back({a, b}); });
  EXPECT_EQ(pieces.size(), 2u);
  EXPECT_EQ(pieces[0].first.X, pieces[0].second.X);
}

TEST(EdgeTable, HoleSplitsTheRowsItCrosses) {
  const auto rows = scan({{0, 0}, {30, 0}, {30, 30}, {0, 30}, {10, 10}, {10, 20}, {20, 20}, {20, 10}}, {4, 4});
  for (const auto& [row, spans] : rows) {
    if (row > 20 || row < 10)
      EXPECT_EQ(spans, (std::vector<Span>{{0, 30}})) << row;
    else
      EXPECT_EQ(spans, (std::vector<Span>{{0, 10}, {20, 30}})) << row;
  }
}

TEST(EdgeTable, VertexThatIsNoExtremeCountsOnce) {
  // A diamond with an extra vertex halfway down each side: every row has
  // exactly one span, also the rows of the extra vertices.
  const auto rows = scan({{50, 0}, {75, 25}, {100, 50}, {75, 75}, {50, 100}, {25, 75}, {0, 50}, {25, 25}}, {8});
  ASSERT_EQ(rows.size(), 101u);
  for (const auto& [row, spans] : rows) {
    ASSERT_EQ(spans.size(), 1u) << row;
    const std::int64_t half = 50 - std::abs(row - 50);
    EXPECT_NEAR(spans[0].first, 50 - half, 1) << row;
    EXPECT_NEAR(spans[0].second, 50 + half, 1) << row;
  }
}

TEST(EdgeTable, OneRowEvaluationMatchesStepping) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> radius(20, 200);
  for (int round = 0; round < 50; ++round) {
    // Star-shaped rings with a star-shaped hole around the same centre.
    std::vector<TDevicePoint> pts;
    const int n = 5 + round % 40;
    for (int k = 0; k < n; ++k) {
      const double a = 2 * M_PI * k / n, r = radius(rng);
      pts.push_back({static_cast<std::int32_t>(250 + r * std::cos(a)), static_cast<std::int32_t>(250 + r * std::sin(a))});
    }
    for (int k = 0; k < 6; ++k) {
      const double a = -2 * M_PI * k / 6;
      pts.push_back({static_cast<std::int32_t>(250 + 10 * std::cos(a)), static_cast<std::int32_t>(250 + 10 * std::sin(a))});
    }
    const std::vector<std::int32_t> counts{n, 6};
    TEdgeTable table;
    table.Build(pts, counts, round % 2 == 1);
    auto stepped = table;
    auto& e = stepped.Records();
    int first = 0, last = 0, active = 0;
    std::vector<std::int64_t> direct, running;
    int justFinished = 0;
    for (std::int32_t row = table.HighRow(); row >= table.MinRow(); --row) {
      UpdateActiveEdges(e, row, last, first);
      // The window holds no edge finished before the last step.
      int finished = 0;
      for (int i = first; i <= last; ++i) finished += e[i].Rows == 0;
      ASSERT_LE(finished, std::max(justFinished, 1)) << "round " << round << " row " << row;
      SortActiveEdges(e, active, last, first);
      running.clear();
      for (int i = first; i <= last; ++i)
        if (e[i].Rows > 0) running.push_back(e[i].X1000);
      ASSERT_EQ(static_cast<int>(running.size()), active);
      ASSERT_EQ(active % 2, 0) << "round " << round << " row " << row;
      table.CrossingsAtRow(row, direct);
      ASSERT_EQ(direct, running) << "round " << round << " row " << row;
      justFinished = 0;
      for (int i = first; i <= last; ++i) justFinished += e[i].Rows == 1;
      StepActiveEdges(e, first, last);
    }
  }
}

}  // namespace
