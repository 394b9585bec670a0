#include "platform/qt/window_placement.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using platform::qt::PlaceNewFrame;

// A title bar's height: the cascade's step.
constexpr int kStep = 28;

class WindowPlacement : public ::testing::TestWithParam<QSize> {};

// The windows of a session, each opened from the one named, at the sizes
// (frames included) they open at, the main window centred.
TEST_P(WindowPlacement, EachWindowIsWhollyOnTheScreenAndLeavesItsOpenerInSight) {
  const QRect screen(QPoint(0, 0), GetParam());
  const QSize mainSize(732, 752);
  std::map<std::string, QRect> shown{
      {"main", QRect(QPoint(screen.width() - mainSize.width(), screen.height() - mainSize.height()) / 2, mainSize)}};
  const struct {
    const char* window;
    const char* opener;
    QSize size;
  } session[] = {{"viewer", "main", {644, 536}},       {"properties", "viewer", {564, 492}},
                 {"record", "properties", {204, 335}}, {"second viewer", "main", {644, 536}},
                 {"browser", "main", {604, 452}},      {"watch", "browser", {432, 249}}};
  for (const auto& opening : session) {
    SCOPED_TRACE(opening.window);
    std::vector<QRect> others;
    for (const auto& [name, frame] : shown) others.push_back(frame);
    const QRect opener = shown.at(opening.opener);
    const QRect placed = PlaceNewFrame(opening.size, opener, others, screen, kStep);
    EXPECT_TRUE(screen.contains(placed));
    EXPECT_EQ(placed.size(), opening.size);
    // The opener's title bar and left edge stay in sight, and no window
    // lands where another one already stands.
    EXPECT_FALSE(placed.intersects(QRect(opener.topLeft(), QSize(kStep, kStep))));
    for (const auto& [name, frame] : shown)
      EXPECT_GE((frame.topLeft() - placed.topLeft()).manhattanLength(), kStep) << name;
    shown[opening.window] = placed;
  }
  // The two windows of one pick lie side by side.
  EXPECT_FALSE(shown["record"].intersects(shown["properties"]));
}

INSTANTIATE_TEST_SUITE_P(Screens, WindowPlacement, ::testing::Values(QSize(1600, 1000), QSize(1024, 768)));

TEST(WindowPlacementAlone, WithoutOpenerCentredAndNeverLargerThanTheScreen) {
  const QRect screen(0, 0, 1024, 768);
  EXPECT_EQ(PlaceNewFrame({400, 300}, QRect(), {}, screen, kStep), QRect(312, 234, 400, 300));
  // A record of long values is wider than any screen.
  EXPECT_EQ(PlaceNewFrame({4124, 660}, QRect(100, 100, 400, 300), {}, screen, kStep).size(), QSize(1024, 660));
  EXPECT_EQ(platform::qt::KeepInside(QRect(900, -20, 400, 300), screen), QRect(624, 0, 400, 300));
}

}  // namespace
