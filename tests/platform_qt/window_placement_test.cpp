#include "platform/qt/window_placement.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using platform::qt::PlaceNewFrame;

// A title bar's height: the cascade's step.
constexpr int kStep = 28;

std::string Text(const QRect& r) {
  return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) + "x" +
         std::to_string(r.height());
}

// The windows of one session as the user opens them, each from the one
// named, with the sizes (frames included) they open at.
struct Opening {
  const char* window;
  const char* opener;
  QSize size;
};

class WindowPlacement : public ::testing::TestWithParam<QSize> {};

TEST_P(WindowPlacement, EachWindowIsWhollyOnTheScreenAndLeavesItsOpenerInSight) {
  const QRect screen(QPoint(0, 0), GetParam());
  const QSize mainSize(732, 752);
  std::map<std::string, QRect> shown;
  shown["main"] = QRect(QPoint((screen.width() - mainSize.width()) / 2, (screen.height() - mainSize.height()) / 2),
                        mainSize);
  const Opening session[] = {
      {"viewer", "main", {644, 536}},      {"properties", "viewer", {424, 492}},
      {"record", "properties", {204, 335}}, {"second viewer", "main", {644, 536}},
      {"browser", "main", {604, 452}},      {"watch", "browser", {432, 249}},
  };
  for (const Opening& opening : session) {
    std::vector<QRect> others;
    for (const auto& [name, frame] : shown) others.push_back(frame);
    const QRect opener = shown.at(opening.opener);
    const QRect placed = PlaceNewFrame(opening.size, opener, others, screen, kStep);
    SCOPED_TRACE(std::string(opening.window) + " at " + Text(placed) + " from " + Text(opener));
    EXPECT_TRUE(screen.contains(placed));
    EXPECT_EQ(placed.size(), opening.size.boundedTo(screen.size()));
    // The opener's title bar and left edge stay visible.
    EXPECT_FALSE(placed.intersects(QRect(opener.topLeft(), QSize(kStep, kStep))));
    // No window hides another one wholly, nor sits where one already sits.
    for (const auto& [name, frame] : shown) {
      EXPECT_FALSE(placed.contains(frame)) << name;
      EXPECT_GE((frame.topLeft() - placed.topLeft()).manhattanLength(), kStep) << name;
    }
    shown[opening.window] = placed;
  }
  // The two windows of one pick lie side by side.
  EXPECT_FALSE(shown["record"].intersects(shown["properties"]));
}

INSTANTIATE_TEST_SUITE_P(Screens, WindowPlacement, ::testing::Values(QSize(1600, 1000), QSize(1024, 768)));

TEST(WindowPlacementAlone, AWindowWithoutOpenerIsCentredAndAPlacedOneIsPulledOntoTheScreen) {
  const QRect screen(0, 0, 1024, 768);
  EXPECT_EQ(PlaceNewFrame({400, 300}, QRect(), {}, screen, kStep), QRect(312, 234, 400, 300));
  // A second one does not land on the first.
  EXPECT_EQ(PlaceNewFrame({400, 300}, QRect(), {QRect(312, 234, 400, 300)}, screen, kStep).topLeft(),
            QPoint(312 + kStep, 234 + kStep));
  EXPECT_EQ(platform::qt::KeepInside(QRect(900, -20, 400, 300), screen), QRect(624, 0, 400, 300));
  EXPECT_EQ(platform::qt::KeepInside(QRect(10, 10, 2000, 300), screen), QRect(0, 10, 1024, 300));
  // A record of long values is wider than any screen.
  EXPECT_EQ(PlaceNewFrame({4124, 660}, QRect(100, 100, 400, 300), {}, screen, kStep).size(), QSize(1024, 660));
}

}  // namespace
