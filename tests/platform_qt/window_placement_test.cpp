#include "platform/qt/window_placement.h"

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QVBoxLayout>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "qt_app.h"

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

// The main window's buttons fill its lower half; a maximised viewer has its
// menu bar and tool buttons at the top. A window opened from either leaves
// them in sight, and windows opened one after another cascade as long as
// the screen has room for that.
TEST_P(WindowPlacement, NewWindowsLeaveTheOpenersMenuBarAndButtonsInSight) {
  const QRect screen(QPoint(0, 0), GetParam());
  const QSize mainSize(732, 752);
  const QRect main(QPoint(screen.width() - mainSize.width(), screen.height() - mainSize.height()) / 2, mainSize);
  const std::vector<QRect> buttons{QRect(main.left() + 14, main.top() + 360, 704, 130),
                                   QRect(main.left() + 14, main.top() + 500, 704, 240)};
  const auto hides = [](const QRect& placed, const std::vector<QRect>& keep) {
    return std::any_of(keep.begin(), keep.end(), [&](const QRect& r) { return r.intersects(placed); });
  };
  // The log window, opened while a box stands over the main window.
  const QRect log = PlaceNewFrame({520, 320}, main, {main}, screen, kStep, buttons);
  EXPECT_TRUE(screen.contains(log));
  EXPECT_FALSE(hides(log, buttons)) << log.x() << "," << log.y();

  // Viewers, each from the main window: as many apart as the room beside
  // the buttons holds (a small screen has room for a few), never smaller
  // than a usable window.
  std::vector<QRect> shown{main};
  const int apart = screen.width() >= 1600 ? 12 : 4;
  for (int i = 0; i < 12; ++i) {
    SCOPED_TRACE(i + 1);
    const QRect viewer = PlaceNewFrame({644, 536}, main, shown, screen, kStep, buttons);
    EXPECT_TRUE(screen.contains(viewer));
    EXPECT_FALSE(hides(viewer, buttons));
    EXPECT_GE(viewer.width(), 320);
    EXPECT_GE(viewer.height(), 200);
    if (i < apart) {
      for (std::size_t k = 1; k < shown.size(); ++k)
        EXPECT_GE((shown[k].topLeft() - viewer.topLeft()).manhattanLength(), kStep) << "viewer " << k;
    }
    shown.push_back(viewer);
  }

  // The property editor from a maximised viewer.
  const QRect viewer = screen;
  const std::vector<QRect> bar{QRect(0, kStep, screen.width(), 22), QRect(4, kStep + 24, 24, 24),
                               QRect(32, kStep + 24, 60, 24)};
  const QRect editor = PlaceNewFrame({564, 492}, viewer, {viewer}, screen, kStep, bar);
  EXPECT_TRUE(screen.contains(editor));
  EXPECT_FALSE(hides(editor, bar)) << editor.y();
}

// Without controls to keep in sight, the cascade goes on for as long as it
// fits before a place is taken twice.
TEST(WindowPlacementAlone, TheCascadeGoesOnWhileItFits) {
  const QRect screen(0, 0, 1600, 1000);
  const QRect opener(0, 0, 1600, 1000);
  std::vector<QRect> shown;
  for (int i = 0; i < 12; ++i) {
    const QRect placed = PlaceNewFrame({644, 536}, opener, shown, screen, kStep);
    EXPECT_EQ(placed.topLeft(), QPoint((i + 1) * kStep, (i + 1) * kStep)) << i + 1;
    shown.push_back(placed);
  }
}

// Progress windows up at once stay clear of each other and on the screen:
// the whole export's window, and a level's that grows with its steps.
TEST_P(WindowPlacement, ProgressWindowsStayClearOfEachOther) {
  const QRect screen(QPoint(0, 0), GetParam());
  for (const int processes : {1, 2, 3, 4}) {
    SCOPED_TRACE(processes);
    const std::vector<QSize> frames{{465, 150}, {397, 105 * processes + 30}};
    const std::vector<QRect> placed = platform::qt::StackFrames(frames, {800, 700}, screen);
    ASSERT_EQ(placed.size(), 2u);
    EXPECT_TRUE(screen.contains(placed[0]));
    EXPECT_TRUE(screen.contains(placed[1]));
    EXPECT_FALSE(placed[0].intersects(placed[1]));
    EXPECT_EQ(placed[1].size(), frames[1]);
    EXPECT_EQ(placed[0].center().x(), std::min(800, screen.width() - 233));
  }
}

INSTANTIATE_TEST_SUITE_P(Screens, WindowPlacement, ::testing::Values(QSize(1600, 1000), QSize(1024, 768)));

TEST(WindowPlacementAlone, WithoutOpenerCentredAndNeverLargerThanTheScreen) {
  const QRect screen(0, 0, 1024, 768);
  EXPECT_EQ(PlaceNewFrame({400, 300}, QRect(), {}, screen, kStep), QRect(312, 234, 400, 300));
  // A record of long values is wider than any screen.
  EXPECT_EQ(PlaceNewFrame({4124, 660}, QRect(100, 100, 400, 300), {}, screen, kStep).size(), QSize(1024, 660));
  EXPECT_EQ(platform::qt::KeepInside(QRect(900, -20, 400, 300), screen), QRect(624, 0, 400, 300));
}

// A window opened while a box stands over the main window (the log window
// when its first text comes) is placed as opened from the main window: its
// buttons stay in sight.
TEST(WindowPlacementOnScreen, AWindowOpenedUnderABoxLeavesTheButtonsBehindTheBoxFree) {
  test_support::QtApp();
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  QWidget main;
  main.resize(screen.width() * 5 / 8, screen.height() * 2 / 3);
  auto* column = new QVBoxLayout(&main);
  column->addStretch(1);
  std::vector<QPushButton*> buttons;
  for (const char* caption : {"Předmět zájmu", "Čti revír", "Vše v revíru", "Konec"})
    column->addWidget(buttons.emplace_back(new QPushButton(QString::fromUtf8(caption))));
  main.move(screen.center() - main.rect().center());
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  QMessageBox box(QMessageBox::Warning, "", "Plocha bez čísla", QMessageBox::Ok, &main);
  box.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
  QWidget log;
  log.resize(screen.width() / 3, screen.height() / 4);
  platform::qt::PlaceOnOpening(log, &box);
  const QRect placed(log.pos(), log.size());
  EXPECT_TRUE(screen.contains(placed));
  for (QPushButton* button : buttons)
    EXPECT_FALSE(placed.intersects(QRect(button->mapToGlobal(QPoint(0, 0)), button->size())))
        << button->text().toStdString();
}

}  // namespace

namespace {

bool HidesAny(const QRect& placed, const std::vector<QRect>& seen) {
  return std::any_of(seen.begin(), seen.end(), [&](const QRect& r) { return r.intersects(placed); });
}

// The main window as it comes up: the directory list and the fields at the
// top, the buttons under them. A window opened from it goes beside it where
// the screen has room; on a small screen it leaves the buttons in sight and
// hides as little of the list and the fields as it can, never where their
// text begins.
TEST_P(WindowPlacement, WindowsFromTheMainWindowLeaveItsListAndFieldsInSight) {
  const QRect screen(QPoint(0, 0), GetParam());
  const QSize mainSize(730, 751);
  const QRect main(QPoint(screen.width() - mainSize.width(), screen.height() - mainSize.height()) / 2, mainSize);
  const QPoint at = main.topLeft();
  platform::qt::InSight keep;
  keep.controls = {QRect(at + QPoint(23, 392), QSize(682, 24)), QRect(at + QPoint(11, 461), QSize(706, 260))};
  keep.fields = {QRect(at + QPoint(23, 50), QSize(682, 22)),  QRect(at + QPoint(23, 82), QSize(682, 70)),
                 QRect(at + QPoint(90, 210), QSize(290, 22)), QRect(at + QPoint(415, 238), QSize(290, 22)),
                 QRect(at + QPoint(90, 238), QSize(290, 22)), QRect(at + QPoint(90, 266), QSize(290, 22)),
                 QRect(at + QPoint(23, 300), QSize(682, 16)), QRect(at + QPoint(23, 320), QSize(682, 16))};
  const bool roomBeside = screen.width() - main.right() > 320;
  std::vector<QRect> shown{main};
  for (const auto& [name, size] : {std::pair{"viewer", QSize(644, 536)}, std::pair{"browser", QSize(536, 288)},
                                   std::pair{"log", QSize(408, 306)}, std::pair{"second viewer", QSize(644, 536)}}) {
    SCOPED_TRACE(name);
    const QRect placed = PlaceNewFrame(size, main, shown, screen, kStep, keep);
    EXPECT_TRUE(screen.contains(placed));
    EXPECT_GE(placed.width(), 320);
    EXPECT_GE(placed.height(), 200);
    EXPECT_FALSE(HidesAny(placed, keep.controls));
    if (roomBeside) {
      EXPECT_FALSE(placed.intersects(main));
    }
    // Where the list and the fields begin: the district's directory, the
    // codes and the output paths.
    for (const QRect& field : keep.fields)
      if (field.left() < main.center().x()) {
        EXPECT_FALSE(placed.intersects(QRect(field.topLeft(), QSize(48, 10)))) << field.x() << "," << field.y();
      }
    for (const QRect& other : shown)
      EXPECT_GE((other.topLeft() - placed.topLeft()).manhattanLength(), kStep);
    shown.push_back(placed);
  }
}

// An area picked in a maximised viewer: its properties and its record come
// up around its mark, leaving the viewer's menu bar and bar under the map in
// sight, and each other: what was picked stays in view.
TEST_P(WindowPlacement, ThePropertiesAndTheRecordOfAPickLeaveItsMarkInSight) {
  const QRect screen(QPoint(0, 0), GetParam());
  const QRect viewer = screen;
  platform::qt::InSight keep;
  keep.controls = {QRect(1, 21, screen.width() - 2, 22), QRect(1, screen.height() - 24, 110, 22)};
  keep.fields = {QRect(115, screen.height() - 24, 270, 22)};
  for (const QPoint middle : {screen.center(), QPoint(screen.width() / 3, screen.height() / 2),
                              QPoint(screen.width() * 3 / 4, screen.height() / 3)}) {
    SCOPED_TRACE(middle.x());
    keep.marks = {QRect(middle - QPoint(95, 93), QSize(190, 186))};
    const QRect properties = PlaceNewFrame({564, 492}, viewer, {viewer}, screen, kStep, keep, QSize(420, 230));
    EXPECT_TRUE(screen.contains(properties));
    EXPECT_GE(properties.width(), 420);
    EXPECT_GE(properties.height(), 230);
    EXPECT_FALSE(HidesAny(properties, keep.controls));
    EXPECT_FALSE(HidesAny(properties, keep.marks)) << properties.x() << "," << properties.y() << " "
                                                   << properties.width() << "x" << properties.height();
    platform::qt::InSight fromProperties;
    fromProperties.controls = {QRect(properties.bottomRight() - QPoint(260, 30), QSize(250, 24))};
    fromProperties.fields = {properties.adjusted(10, 50, -10, -40)};
    fromProperties.marks = keep.marks;
    const QRect record = PlaceNewFrame({204, 335}, properties, {viewer, properties}, screen, kStep, fromProperties);
    EXPECT_TRUE(screen.contains(record));
    EXPECT_FALSE(record.intersects(properties));
    EXPECT_FALSE(HidesAny(record, keep.marks));
    EXPECT_FALSE(HidesAny(record, keep.controls));
  }
}

// A pick in a viewer that stands over the top of the main window on a small
// screen (its properties ask for 562x175 at the least): the properties
// leave the mark, the viewer's menu bar and the main window's buttons in
// sight, made smaller where only that leaves them so; where no place leaves
// the buttons, the mark and the menu bar stay in sight, the buttons hidden
// as little as may be. The record then finds its own place beside them.
TEST(WindowPlacementAlone, AWindowAboutAPickLeavesTheMarkInSightBeforeTheButtons) {
  const QRect screen(0, 0, 1024, 768);
  const QRect main(147, 8, 730, 751), viewer(310, 0, 642, 318);
  const QRect menuBar(311, 20, 640, 19), link(341, 290, 80, 22), mark(517, 79, 124, 123);
  const struct {
    const char* name;
    int buttonsTop;  // the main window's rows of buttons, from here down to 745
    bool buttonsInSight;
  } cases[] = {{"buttons under the viewer", 390, true}, {"buttons up to the mark", 215, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    platform::qt::InSight keep;
    keep.controls = {menuBar, link};
    for (int y = c.buttonsTop; y < 745; y += 35)
      for (int x = 171; x < 853; x += 172) keep.controls.emplace_back(x, y, 166, 22);
    keep.fields = {QRect(445, 290, 243, 23), QRect(171, 225, 61, 78)};
    keep.marks = {mark};
    const QRect properties = PlaceNewFrame({562, 485}, viewer, {main, viewer}, screen, kStep, keep, QSize(562, 175));
    EXPECT_TRUE(screen.contains(properties));
    EXPECT_GE(properties.height(), 175);
    EXPECT_FALSE(properties.intersects(mark)) << properties.x() << "," << properties.y() << " " << properties.width()
                                              << "x" << properties.height();
    EXPECT_FALSE(properties.intersects(menuBar));
    if (!c.buttonsInSight) continue;
    EXPECT_FALSE(HidesAny(properties, keep.controls));
    platform::qt::InSight fromProperties;
    fromProperties.controls = {QRect(properties.bottomRight() - QPoint(260, 30), QSize(250, 24)), menuBar, link};
    for (const QRect& control : keep.controls)
      if (!control.intersects(properties)) fromProperties.controls.push_back(control);
    fromProperties.marks = keep.marks;
    const QRect record =
        PlaceNewFrame({202, 332}, properties, {main, viewer, properties}, screen, kStep, fromProperties, QSize(72, 95));
    EXPECT_TRUE(screen.contains(record));
    EXPECT_GE(record.height(), 160);
    EXPECT_FALSE(record.intersects(properties));
    EXPECT_FALSE(HidesAny(record, fromProperties.controls));
    EXPECT_FALSE(record.intersects(mark));
  }
}

}  // namespace

namespace {

// The main window's lists and fields over its buttons; the model browser
// opened from it, and a viewer from the browser ("Dat" → an element →
// "Zobraz"): the viewer leaves the main window's buttons in sight as well as
// the browser's own, whether the browser stands beside the main window (a
// wide screen) or over its top (a small one).
TEST_P(WindowPlacement, AWindowOpenedFromAnotherLeavesTheMainWindowsButtonsInSight) {
  const QRect screen(QPoint(0, 0), GetParam());
  const QSize mainSize(730, 751);
  const QRect main(QPoint(screen.width() - mainSize.width(), screen.height() - mainSize.height()) / 2, mainSize);
  const QPoint at = main.topLeft();
  platform::qt::InSight fromMain;
  fromMain.controls = {QRect(at + QPoint(23, 392), QSize(682, 24)), QRect(at + QPoint(11, 461), QSize(706, 260))};
  fromMain.fields = {QRect(at + QPoint(23, 50), QSize(682, 90)), QRect(at + QPoint(90, 210), QSize(615, 80))};
  const QRect browser = PlaceNewFrame({536, 290}, main, {main}, screen, kStep, fromMain);
  ASSERT_FALSE(HidesAny(browser, fromMain.controls));

  // What the viewer leaves in sight: the browser's tool bar and tree, and
  // what of the main window the browser does not cover.
  platform::qt::InSight keep;
  keep.controls = {QRect(browser.topLeft() + QPoint(10, 30), QSize(150, 24))};
  keep.fields = {QRect(browser.topLeft() + QPoint(10, 60), QSize(browser.width() - 20, 170))};
  for (const QRect& control : fromMain.controls)
    if (!control.intersects(browser)) keep.controls.push_back(control);
  for (const QRect& field : fromMain.fields)
    if (!field.intersects(browser)) keep.fields.push_back(field);
  const QRect viewer = PlaceNewFrame({644, 536}, browser, {main, browser}, screen, kStep, keep);
  EXPECT_TRUE(screen.contains(viewer));
  EXPECT_GE(viewer.width(), 320);
  EXPECT_GE(viewer.height(), 200);
  EXPECT_FALSE(HidesAny(viewer, keep.controls)) << viewer.x() << "," << viewer.y() << " " << viewer.width() << "x"
                                                << viewer.height();
  EXPECT_FALSE(viewer.intersects(QRect(browser.topLeft(), QSize(kStep, kStep))));
}

// The same through the windows themselves: the main window is known by its
// mark, whichever window the new one is opened from.
TEST(WindowPlacementOnScreen, TheMainWindowsButtonsStayInSightOfAWindowOpenedFromAnother) {
  test_support::QtApp();
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  QWidget main;
  platform::qt::MarkMainWindow(main);
  main.resize(screen.width() * 5 / 8, screen.height() * 3 / 4);
  auto* column = new QVBoxLayout(&main);
  column->addStretch(1);
  std::vector<QPushButton*> buttons;
  for (const char* caption : {"Předmět zájmu", "Nástrojů", "Dat", "Čti revír", "Konec"})
    column->addWidget(buttons.emplace_back(new QPushButton(QString::fromUtf8(caption))));
  for (QPushButton* button : buttons) button->setMinimumHeight(screen.height() / 12);
  main.move(screen.center() - main.rect().center());
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  const auto hidden = [&](const QWidget& window) {
    std::string names;
    const QRect placed(window.pos(), window.size());
    for (QPushButton* button : buttons)
      if (placed.intersects(QRect(button->mapToGlobal(QPoint(0, 0)), button->size())))
        names += button->text().toStdString() + ";";
    return names;
  };
  // The browser at the screen's right edge, over the main window's top corner.
  QWidget browser;
  browser.resize(screen.width() / 3, screen.height() / 4);
  browser.move(screen.right() - browser.width(), main.y());
  browser.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&browser));
  QWidget viewer;
  viewer.resize(screen.width() * 2 / 5, screen.height() / 2);
  platform::qt::PlaceOnOpening(viewer, &browser);
  EXPECT_TRUE(screen.contains(QRect(viewer.pos(), viewer.size())));
  EXPECT_EQ(hidden(viewer), "");

  // With the browser closed no window is active: a window opened then is
  // placed as if opened from the main window, not centred over its buttons.
  browser.hide();
  QApplication::processEvents();
  QWidget other;
  other.resize(screen.width() * 2 / 5, screen.height() / 2);
  platform::qt::PlaceOnOpening(other, nullptr);
  EXPECT_EQ(hidden(other), "");
}

}  // namespace
