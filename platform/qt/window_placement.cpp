#include "platform/qt/window_placement.h"

#include <QApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace platform::qt {

namespace {

// Cascade steps tried before a taken place is accepted after all.
constexpr int kCascadeTries = 8;
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

}  // namespace

QRect KeepInside(const QRect& frame, const QRect& screen) {
  const QSize size = frame.size().boundedTo(screen.size());
  return {Inside(frame.topLeft(), size, screen), size};
}

QRect PlaceNewFrame(QSize frame, const QRect& opener, const std::vector<QRect>& shown, const QRect& screen,
                    int step) {
  const QSize size = frame.boundedTo(screen.size());
  const auto taken = [&](const QRect& place) {
    return std::any_of(shown.begin(), shown.end(), [&](const QRect& other) {
      return (other.topLeft() - place.topLeft()).manhattanLength() < step;
    });
  };
  const auto cascade = [&](QPoint from) {
    const QRect first(Inside(from + QPoint(step, step), size, screen), size);
    for (int k = 1; k <= kCascadeTries; ++k) {
      const QRect place(Inside(from + QPoint(k * step, k * step), size, screen), size);
      if (!taken(place)) return place;
    }
    return first;
  };
  if (opener.isEmpty()) {
    const QPoint middle((screen.width() - size.width()) / 2, (screen.height() - size.height()) / 2);
    const QRect centred(screen.topLeft() + middle, size);
    return taken(centred) ? cascade(centred.topLeft()) : centred;
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
  return cascade(opener.topLeft());
}

void PlaceOnOpening(QWidget& window, const QWidget* opener) {
  if (!opener) opener = QApplication::activeWindow();
  if (opener) opener = opener->window();
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
                          std::max(kMinimumStep, margins.top() + 4));
  }
  window.resize(frame.size().shrunkBy(margins));
  window.move(frame.topLeft());
}

}  // namespace platform::qt
