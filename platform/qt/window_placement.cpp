#include "platform/qt/window_placement.h"

#include <QApplication>
#include <QLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <optional>

namespace platform::qt {

namespace {

// A window made smaller to leave its opener's controls in sight is never
// made smaller than this.
constexpr QSize kSmallest(320, 200);
// The cascade's step when no window shows how high a title bar is.
constexpr int kMinimumStep = 24;

QPoint Inside(QPoint topLeft, QSize size, const QRect& screen) {
  return {std::clamp(topLeft.x(), screen.left(), std::max(screen.left(), screen.right() - size.width() + 1)),
          std::clamp(topLeft.y(), screen.top(), std::max(screen.top(), screen.bottom() - size.height() + 1))};
}

bool Counts(const QWidget& window) {
  const Qt::WindowType type = window.windowType();
  return window.isVisible() && type != Qt::Popup && type != Qt::ToolTip && type != Qt::Desktop;
}

bool Framed(const QWidget& window) { return window.isVisible() && window.frameGeometry() != window.geometry(); }

// Decorations are known only once the window system has framed a window;
// a window not framed yet gets those of one that is.
QMargins FrameMargins() {
  for (const QWidget* window : QApplication::topLevelWidgets())
    if (Counts(*window) && Framed(*window)) {
      const QRect outer = window->frameGeometry(), inner = window->geometry();
      return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
              outer.bottom() - inner.bottom()};
    }
  return {};
}

// Placed windows are positioned by their frame's corner.
QRect FrameOf(const QWidget& window, const QMargins& margins) {
  return Framed(window) ? window.frameGeometry() : QRect(window.pos(), window.size().grownBy(margins));
}

// Progress windows carry the order they opened in, and the window they are
// centred on.
constexpr const char* kOrder = "zeltoProgressOrder";
constexpr const char* kCentre = "zeltoProgressCentre";

// Boxes and progress windows come and go by themselves: nobody opens a
// window from them.
bool Passing(const QWidget& window) {
  return qobject_cast<const QMessageBox*>(&window) || window.property(kOrder).isValid();
}

// The window the user works in behind a passing one: a box's own window,
// else the largest window under the middle of it.
const QWidget* Behind(const QWidget& passing, const QWidget& opening) {
  if (const QWidget* parent = passing.parentWidget(); parent && parent->window()->isVisible() &&
                                                      !Passing(*parent->window()))
    return parent->window();
  const QWidget* found = nullptr;
  for (const QWidget* other : QApplication::topLevelWidgets())
    if (other != &opening && Counts(*other) && !Passing(*other) &&
        other->frameGeometry().contains(passing.frameGeometry().center()) &&
        (!found || other->width() * other->height() > found->width() * found->height()))
      found = other;
  return found;
}

// What of a window the user works with: its menu bar and its buttons, on
// the screen (disabled ones too, they come on later).
std::vector<QRect> Controls(const QWidget& window) {
  std::vector<QRect> controls;
  const auto add = [&](const QWidget* control) {
    if (control->isVisibleTo(&window) && control->window() == &window)
      controls.emplace_back(control->mapToGlobal(QPoint(0, 0)), control->size());
  };
  for (const QMenuBar* bar : window.findChildren<QMenuBar*>()) add(bar);
  for (const QPushButton* button : window.findChildren<QPushButton*>()) add(button);
  for (const QToolButton* button : window.findChildren<QToolButton*>())
    if (!qobject_cast<const QMenuBar*>(button->parentWidget())) add(button);
  return controls;
}

}  // namespace

QRect KeepInside(const QRect& frame, const QRect& screen) {
  const QSize size = frame.size().boundedTo(screen.size());
  return {Inside(frame.topLeft(), size, screen), size};
}

QRect PlaceNewFrame(QSize frame, const QRect& opener, const std::vector<QRect>& shown, const QRect& screen,
                    int step, const std::vector<QRect>& keepVisible) {
  const QSize size = frame.boundedTo(screen.size());
  const auto taken = [&](const QRect& place) {
    return std::any_of(shown.begin(), shown.end(), [&](const QRect& other) {
      return (other.topLeft() - place.topLeft()).manhattanLength() < step;
    });
  };
  // The opener's controls, and the corner of its title bar that shows
  // which window it is.
  const QRect corner(opener.topLeft(), QSize(step, step));
  const auto hides = [&](const QRect& place) {
    return (!opener.isEmpty() && corner.intersects(place)) ||
           std::any_of(keepVisible.begin(), keepVisible.end(), [&](const QRect& r) { return r.intersects(place); });
  };
  // Down and to the right while the window still fits on the screen; the
  // first step free of other windows and of the opener's controls.
  const auto cascade = [&](QPoint from, QSize at, const QRect& within) -> std::optional<QRect> {
    for (int k = 1;; ++k) {
      const QRect place(from + QPoint(k * step, k * step), at);
      if (!within.contains(place)) return std::nullopt;
      if (!taken(place) && !hides(place)) return place;
    }
  };
  if (opener.isEmpty()) {
    const QPoint middle((screen.width() - size.width()) / 2, (screen.height() - size.height()) / 2);
    const QRect centred(screen.topLeft() + middle, size);
    if (!taken(centred)) return centred;
    if (const auto place = cascade(centred.topLeft(), size, screen)) return *place;
    return centred;
  }
  // Windows that overlap the opener are its backdrop (a maximised viewer
  // under a property editor) or cascade with it; windows apart from it are
  // neighbours that a new window beside it must not hide.
  std::vector<QRect> keepClear{opener};
  for (const QRect& other : shown)
    if (!other.intersects(opener)) keepClear.push_back(other);
  const QPoint beside[] = {{opener.right() + 1, opener.top()},
                           {opener.left(), opener.bottom() + 1},
                           {opener.left() - size.width(), opener.top()},
                           {opener.left(), opener.top() - size.height()}};
  for (const QPoint at : beside) {
    const QRect place(Inside(at, size, screen), size);
    if (std::none_of(keepClear.begin(), keepClear.end(), [&](const QRect& r) { return r.intersects(place); }))
      return place;
  }
  // Over the opener, its title bar, menu bar and buttons left in sight.
  const QPoint from = opener.topLeft();
  if (const auto place = cascade(from, size, screen)) return *place;
  // Where the opener's controls leave no room for the whole window, it
  // goes, smaller, beside them: above, below, left or right of them, in
  // the largest of these bands that leaves room for a few cascade steps.
  if (!keepVisible.empty()) {
    QRect controls;
    for (const QRect& r : keepVisible) controls |= r;
    const QRect bands[] = {QRect(screen.left(), screen.top(), screen.width(), controls.top() - screen.top()),
                           QRect(QPoint(screen.left(), controls.bottom() + 1), screen.bottomRight()),
                           QRect(screen.left(), screen.top(), controls.left() - screen.left(), screen.height()),
                           QRect(QPoint(controls.right() + 1, screen.top()), screen.bottomRight())};
    const QSize room(3 * step, 3 * step);
    // A free place before a taken one, then the larger.
    std::optional<QRect> best;
    bool bestFree = false;
    for (const QRect& band : bands) {
      const QSize fitted = size.boundedTo(band.size() - room);
      if (fitted.width() < kSmallest.width() || fitted.height() < kSmallest.height()) continue;
      // As near to the opener as leaves the band room for the steps.
      const QPoint start = Inside(from + QPoint(step, step), fitted + room, band) - QPoint(step, step);
      const std::optional<QRect> place = cascade(start, fitted, band);
      const QRect chosen = place ? *place : QRect(start + QPoint(step, step), fitted);
      if (hides(chosen)) continue;
      const auto area = [](const QRect& r) { return r.width() * r.height(); };
      if (!best || (place && !bestFree) || (place.has_value() == bestFree && area(chosen) > area(*best))) {
        best = chosen;
        bestFree = place.has_value();
      }
    }
    if (best) return *best;
  }
  return QRect(Inside(from + QPoint(step, step), size, screen), size);
}

std::vector<QRect> StackFrames(const std::vector<QSize>& frames, const std::vector<int>& middles, const QRect& screen) {
  int height = 0;
  for (const QSize& frame : frames) height += std::min(frame.height(), screen.height());
  int top = std::clamp(screen.center().y() - height / 2, screen.top(),
                       std::max(screen.top(), screen.bottom() + 1 - height));
  std::vector<QRect> placed;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const QSize size = frames[i].boundedTo(screen.size());
    placed.emplace_back(Inside({middles[i] - size.width() / 2, top}, size, screen), size);
    top += size.height();
  }
  return placed;
}

void PlaceProgressWindow(QWidget& window, const QWidget* centre) {
  static int opened = 0;
  if (!window.property(kOrder).isValid()) window.setProperty(kOrder, ++opened);
  window.setProperty(kCentre, QVariant::fromValue(const_cast<QWidget*>(centre)));
  const QScreen* screen = centre ? centre->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QMargins margins = FrameMargins();
  std::vector<QWidget*> stack{&window};
  for (QWidget* other : QApplication::topLevelWidgets())
    if (other != &window && Counts(*other) && other->property(kOrder).isValid()) stack.push_back(other);
  std::sort(stack.begin(), stack.end(),
            [&](QWidget* a, QWidget* b) { return a->property(kOrder).toInt() < b->property(kOrder).toInt(); });
  const QRect area = screen->availableGeometry();
  std::vector<QSize> frames;
  std::vector<int> middles;
  for (QWidget* member : stack) {
    frames.push_back(member->isVisible() && Framed(*member) ? member->frameGeometry().size()
                                                            : member->size().grownBy(margins));
    // The window to centre on may have gone since.
    auto* over = member->property(kCentre).value<QWidget*>();
    if (!QApplication::topLevelWidgets().contains(over)) over = nullptr;
    middles.push_back(over && over->isVisible() ? over->frameGeometry().center().x() : area.center().x());
  }
  const std::vector<QRect> placed = StackFrames(frames, middles, area);
  for (std::size_t i = 0; i < stack.size(); ++i)
    if (placed[i].topLeft() != FrameOf(*stack[i], margins).topLeft()) stack[i]->move(placed[i].topLeft());
}

void PlaceOnOpening(QWidget& window, const QWidget* opener) {
  if (!opener) opener = QApplication::activeWindow();
  if (opener) opener = opener->window();
  // A box or a progress window up while the window opens is not what the
  // user opened it from: the window behind it is.
  if (opener && opener != &window && Passing(*opener)) opener = Behind(*opener, window);
  if (opener == &window || (opener && !opener->isVisible())) opener = nullptr;
  const QScreen* screen = opener ? opener->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  // The size it will show at: a resize after the move would make the
  // window system take the position for the inside of the frame.
  if (QLayout* layout = window.layout()) layout->activate();
  if (!window.testAttribute(Qt::WA_Resized)) window.adjustSize();
  const QMargins margins = FrameMargins();
  const QRect area = screen->availableGeometry();
  QRect frame;
  if (window.testAttribute(Qt::WA_Moved)) {
    frame = KeepInside(QRect(window.pos(), window.size().grownBy(margins)), area);
  } else {
    std::vector<QRect> shown;
    for (const QWidget* other : QApplication::topLevelWidgets())
      if (other != &window && other != opener && Counts(*other)) shown.push_back(FrameOf(*other, margins));
    frame = PlaceNewFrame(window.size().grownBy(margins), opener ? FrameOf(*opener, margins) : QRect(), shown, area,
                          std::max(kMinimumStep, margins.top() + 4), opener ? Controls(*opener) : std::vector<QRect>{});
  }
  window.resize(frame.size().shrunkBy(margins));
  window.move(frame.topLeft());
}

}  // namespace platform::qt
