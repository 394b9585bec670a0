#include "platform/qt/window_placement.h"

#include "platform/qt/window_frame.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <QToolButton>
#include <QVariant>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <array>
#include <optional>
#include <tuple>

namespace platform::qt {

namespace {

// A window made smaller to leave its opener's controls in sight is never
// made smaller than this.
constexpr QSize kSmallest(320, 200);
// A window about a pick shows a few rows of it at this size: it is made
// this small, where its content allows, before it hides the mark or the
// buttons; the user reads it beside what was picked.
constexpr QSize kSmallestBesideMark(200, 160);
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

// Decorations are known only once the window system has framed a window;
// a window not framed yet gets those of one that is.
QMargins FrameMargins() {
  for (const QWidget* window : QApplication::topLevelWidgets())
    if (const auto frame = FrameMarginsOf(*window); frame && Counts(*window)) return *frame;
  return {};
}

// Progress windows carry the order they opened in, and the window they are
// centred on.
constexpr const char* kOrder = "zeltoProgressOrder";
constexpr const char* kCentre = "zeltoProgressCentre";

// The program's main window carries this mark.
constexpr const char* kMain = "zeltoMainWindow";

const QWidget* MainWindow() {
  for (const QWidget* window : QApplication::topLevelWidgets())
    if (window->isVisible() && window->property(kMain).toBool()) return window;
  return nullptr;
}

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

// What of a window the user works with, on the screen: its menu bar and its
// buttons (disabled ones too, they come on later), and the lists, fields
// and labels that show what they work on.
InSight ControlsOf(const QWidget& window) {
  InSight seen;
  const auto add = [&](std::vector<QRect>& to, const QWidget* control) {
    if (control->isVisibleTo(&window) && control->window() == &window)
      to.emplace_back(control->mapToGlobal(QPoint(0, 0)), control->size());
  };
  for (const QMenuBar* bar : window.findChildren<QMenuBar*>()) add(seen.controls, bar);
  for (const QPushButton* button : window.findChildren<QPushButton*>()) add(seen.controls, button);
  for (const QToolButton* button : window.findChildren<QToolButton*>())
    if (!qobject_cast<const QMenuBar*>(button->parentWidget())) add(seen.controls, button);
  for (const QWidget* field : window.findChildren<QWidget*>())
    if (qobject_cast<const QAbstractItemView*>(field) || qobject_cast<const QLineEdit*>(field) ||
        qobject_cast<const QComboBox*>(field) || qobject_cast<const QAbstractSpinBox*>(field) ||
        qobject_cast<const QTextEdit*>(field) || qobject_cast<const QPlainTextEdit*>(field) ||
        (qobject_cast<const QLabel*>(field) && !static_cast<const QLabel*>(field)->text().isEmpty()))
      add(seen.fields, field);
  return seen;
}

// The marks of what the user has just picked, and the windows they were
// picked in, while windows open for it.
struct Picked {
  QRect mark;
  QPointer<const QWidget> in;
};
std::vector<Picked>& PickedMarks() {
  static std::vector<Picked> marks;
  return marks;
}

bool Hides(const QRect& place, const std::vector<QRect>& seen) {
  return std::any_of(seen.begin(), seen.end(), [&](const QRect& r) { return r.intersects(place); });
}

// How much of `covered` the window at `place` hides, in pixels.
int HiddenArea(const QRect& place, const std::vector<QRect>& covered) {
  int area = 0;
  for (const QRect& r : covered) {
    const QRect hidden = place & r;
    area += hidden.width() * hidden.height();
  }
  return area;
}

QRect Union(const std::vector<QRect>& rects) {
  QRect all;
  for (const QRect& r : rects) all |= r;
  return all;
}

// The parts of `within` right of, below, left of and above `around`.
std::array<QRect, 4> BandsAround(const QRect& around, const QRect& within) {
  return {QRect(QPoint(around.right() + 1, within.top()), within.bottomRight()),
          QRect(QPoint(within.left(), around.bottom() + 1), within.bottomRight()),
          QRect(within.topLeft(), QPoint(around.left() - 1, within.bottom())),
          QRect(within.topLeft(), QPoint(within.right(), around.top() - 1))};
}

// The part of `screen` between the controls wholly above `around` and those
// wholly below it.
QRect Between(const QRect& around, const std::vector<QRect>& controls, const QRect& screen) {
  int top = screen.top(), bottom = screen.bottom();
  for (const QRect& r : controls) {
    if (r.bottom() < around.top()) top = std::max(top, r.bottom() + 1);
    if (r.top() > around.bottom()) bottom = std::min(bottom, r.top() - 1);
  }
  return QRect(QPoint(screen.left(), top), QPoint(screen.right(), bottom));
}

// The rectangles of `within` that none of `taken` overlaps, each as tall
// as it can be at its width and as wide as it can be at its top (some lie
// inside others), at least `least` large.
std::vector<QRect> FreeAreas(const QRect& within, const std::vector<QRect>& taken, QSize least) {
  // The edges of what is taken cut `within` into cells, each wholly free or
  // wholly taken.
  std::vector<int> xs{within.left(), within.right() + 1}, ys{within.top(), within.bottom() + 1};
  std::vector<QRect> inside;
  for (const QRect& r : taken)
    if (const QRect part = r & within; !part.isEmpty()) {
      inside.push_back(part);
      xs.insert(xs.end(), {part.left(), part.right() + 1});
      ys.insert(ys.end(), {part.top(), part.bottom() + 1});
    }
  for (std::vector<int>* edges : {&xs, &ys}) {
    std::sort(edges->begin(), edges->end());
    edges->erase(std::unique(edges->begin(), edges->end()), edges->end());
  }
  const int columns = static_cast<int>(xs.size()) - 1, rows = static_cast<int>(ys.size()) - 1;
  // run[row][column]: how many free cells start there, going right.
  std::vector<std::vector<int>> run(rows, std::vector<int>(columns + 1, 0));
  for (int row = 0; row < rows; ++row)
    for (int column = columns - 1; column >= 0; --column) {
      const QPoint cell(xs[column], ys[row]);
      const bool free = std::none_of(inside.begin(), inside.end(), [&](const QRect& r) { return r.contains(cell); });
      run[row][column] = free ? run[row][column + 1] + 1 : 0;
    }
  std::vector<QRect> areas;
  for (int top = 0; top < rows; ++top)
    for (int left = 0; left < columns; ++left) {
      int width = run[top][left];
      for (int bottom = top; bottom < rows && width > 0; ++bottom) {
        width = std::min(width, run[bottom][left]);
        if (width == 0 || xs[left + width] - xs[left] < least.width()) break;
        const bool grows = bottom + 1 < rows && run[bottom + 1][left] >= width;
        const QRect area(QPoint(xs[left], ys[top]), QPoint(xs[left + width] - 1, ys[bottom + 1] - 1));
        if (!grows && area.height() >= least.height()) areas.push_back(area);
      }
    }
  return areas;
}

// The window a progress window is centred on; it may have gone since.
const QWidget* CentreOf(const QWidget& window) {
  const auto* over = window.property(kCentre).value<QWidget*>();
  return QApplication::topLevelWidgets().contains(over) ? over : nullptr;
}

// The progress windows up and `window`, one under another in the order
// they opened; those in another place move.
void StackProgressWindows(QWidget& window) {
  const QWidget* centre = CentreOf(window);
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
    frames.push_back(FrameOf(*member, margins).size());
    const QWidget* over = CentreOf(*member);
    middles.push_back(over && over->isVisible() ? FrameOf(*over, margins).center().x() : area.center().x());
  }
  const std::vector<QRect> placed = StackFrames(frames, middles, area);
  for (std::size_t i = 0; i < stack.size(); ++i) {
    const QRect frame = FrameOf(*stack[i], margins);
    if (placed[i].topLeft() != frame.topLeft())
      PutFrame(*stack[i], QRect(placed[i].topLeft(), frame.size()), FrameMarginsOf(*stack[i]).value_or(margins));
  }
}

// Centres the frame of the window at `size`, `margins` around it, on its
// screen.
void CentreFrame(QWidget& window, QSize size, const QMargins& margins) {
  const QScreen* screen = window.screen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  QRect frame(QPoint(), size.grownBy(margins));
  frame.moveCenter(area.center());
  PutFrame(window, KeepInside(frame, area), margins);
}

}  // namespace

QRect KeepInside(const QRect& frame, const QRect& screen) {
  const QSize size = frame.size().boundedTo(screen.size());
  return {Inside(frame.topLeft(), size, screen), size};
}

QRect PlaceNewFrame(QSize frame, const QRect& opener, const std::vector<QRect>& shown, const QRect& screen,
                    int step, const std::vector<QRect>& keepVisible) {
  return PlaceNewFrame(frame, opener, shown, screen, step, InSight{keepVisible, {}, {}});
}

QRect PlaceNewFrame(QSize frame, const QRect& opener, const std::vector<QRect>& shown, const QRect& screen, int step,
                    const InSight& keep, QSize smallest) {
  const QSize size = frame.boundedTo(screen.size());
  const QSize least = smallest;
  smallest = smallest.expandedTo(kSmallest).boundedTo(size);
  const auto taken = [&](const QRect& place) {
    return std::any_of(shown.begin(), shown.end(), [&](const QRect& other) {
      return (other.topLeft() - place.topLeft()).manhattanLength() < step;
    });
  };
  // Down and to the right while the window still fits; the first step free
  // of other windows and of what is to stay in sight.
  const auto cascade = [&](QPoint from, QSize at, const QRect& within,
                           const std::vector<QRect>& seen) -> std::optional<QRect> {
    for (int k = 1;; ++k) {
      const QRect place(from + QPoint(k * step, k * step), at);
      if (!within.contains(place)) return std::nullopt;
      if (!taken(place) && !Hides(place, seen)) return place;
    }
  };
  if (opener.isEmpty()) {
    const QPoint middle((screen.width() - size.width()) / 2, (screen.height() - size.height()) / 2);
    const QRect centred(screen.topLeft() + middle, size);
    if (!taken(centred)) return centred;
    if (const auto place = cascade(centred.topLeft(), size, screen, {})) return *place;
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
  const QPoint from = opener.topLeft();
  // The corner of the opener's title bar shows which window it is.
  const QRect corner(from, QSize(step, step));
  const auto join = [](std::initializer_list<const std::vector<QRect>*> parts) {
    std::vector<QRect> all;
    for (const auto* part : parts) all.insert(all.end(), part->begin(), part->end());
    return all;
  };
  // What stays in sight, most first: the controls, fields and marks; then
  // the controls and marks, the fields hidden as little as may be; then the
  // controls alone. Each time: beside the opener, over it at full size, or
  // smaller in a band around what stays in sight. A window about a pick
  // shrinks further beside the mark before it hides the controls, and
  // hides them, as little as it can, before it hides the mark: the user
  // opened it to see what was picked.
  struct Tier {
    std::vector<QRect> seen, marks, hiddenFirst, hiddenLeast, around;
    QSize smallest;
  };
  const std::vector<QRect> cornerOnly{corner};
  std::vector<Tier> tiers{{join({&cornerOnly, &keep.controls, &keep.fields, &keep.marks}), keep.marks, {}, {},
                           join({&keep.controls, &keep.fields}), smallest},
                          {join({&cornerOnly, &keep.controls, &keep.marks}), keep.marks, {}, keep.fields,
                           keep.controls, smallest}};
  if (!keep.marks.empty()) {
    const QSize besideMark = least.expandedTo(kSmallestBesideMark).boundedTo(size);
    if (besideMark != smallest) tiers.push_back({tiers.back().seen, keep.marks, {}, keep.fields, {}, besideMark});
    tiers.push_back({join({&cornerOnly, &keep.marks}), keep.marks, keep.controls, keep.fields, {}, smallest});
  }
  tiers.push_back({join({&cornerOnly, &keep.controls}), {}, {}, join({&keep.fields, &keep.marks}), keep.controls,
                   smallest});
  const Tier* previous = nullptr;
  for (const Tier& tier : tiers) {
    if (previous && previous->seen == tier.seen && previous->smallest == tier.smallest) continue;
    previous = &tier;
    // Unless some of what stays in sight may be hidden (as little as may
    // be), the first free place beside or over the opener wins.
    const bool first = tier.hiddenFirst.empty();
    std::optional<QRect> best;
    std::tuple<bool, int, int, bool, int> bestScore;
    const auto consider = [&](const QRect& place, bool free) {
      const std::tuple<bool, int, int, bool, int> score{free, -HiddenArea(place, tier.hiddenFirst),
                                                        -HiddenArea(place, tier.hiddenLeast),
                                                        !place.intersects(opener),
                                                        place.width() / step * (place.height() / step)};
      if (!best || score > bestScore) {
        best = place;
        bestScore = score;
      }
    };
    // Beside the opener hides nothing of it; it may hide what stays in
    // sight of other windows (the main window's buttons under a browser).
    for (const QPoint at : beside) {
      const QRect place(Inside(at, size, screen), size);
      if (Hides(place, keepClear) || Hides(place, tier.seen)) continue;
      if (first) return place;
      consider(place, true);
    }
    // Over the opener at full size, what stays in sight left so. Where that
    // hides some of its fields, the places below may hide less.
    const std::optional<QRect> over = cascade(from, size, screen, tier.seen);
    if (over && first && tier.hiddenLeast.empty()) return *over;
    // Smaller, in the largest band beside the opener, around its controls
    // (or in the room around the marks) that leaves room for a few cascade
    // steps: a free place before a taken one, then the one that hides the
    // least of the rest, then one beside the opener before one over it,
    // then the larger (counted in cascade steps: the first of two bands
    // alike, the one right of the opener before the one left of it, wins).
    if (over) consider(*over, true);
    // As near to the opener as leaves the band room for the steps, or as
    // far from its corner, where its fields begin.
    const auto tryIn = [&](const QRect& band, QSize room) {
      const QSize fitted = size.boundedTo(band.size() - room);
      if (fitted.width() < tier.smallest.width() || fitted.height() < tier.smallest.height()) return;
      const QPoint nearest = Inside(from + QPoint(step, step), fitted + room, band);
      const QPoint farthest = band.bottomRight() + QPoint(1, 1) - QPoint(fitted.width(), fitted.height()) -
                              QPoint(room.width(), room.height());
      for (const QPoint at :
           {nearest, QPoint(farthest.x(), nearest.y()), QPoint(nearest.x(), farthest.y()), farthest}) {
        const QPoint start = at - QPoint(step, step);
        const std::optional<QRect> place = cascade(start, fitted, band, tier.seen);
        const QRect chosen = place ? *place : QRect(start + QPoint(step, step), fitted);
        if (!Hides(chosen, tier.seen)) consider(chosen, place.has_value());
      }
    };
    const auto tryBands = [&](const QRect& around, const QRect& within, QSize room) {
      for (const QRect& band : BandsAround(around, within)) tryIn(band, room);
    };
    if (!tier.around.empty()) {
      const QSize room(3 * step, 3 * step);
      tryBands(opener, screen, room);
      // Beside an opener that lies over another window, between the
      // controls of that window above and below it.
      if (const QRect between = Between(opener, keep.controls, screen); between != screen)
        tryBands(opener, between, room);
      tryBands(Union(tier.around), screen, room);
    }
    // The windows about a pick are few: no room for steps beside its mark,
    // wherever the screen is free of it and of what else stays in sight.
    if (!tier.marks.empty())
      for (const QRect& area : FreeAreas(screen, tier.seen, tier.smallest)) tryIn(area, QSize(0, 0));
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
  // Over the main window, which the user may click while the work runs,
  // and not always on top: a box that waits for an answer opens over it.
  if (const QWidget* main = MainWindow(); main && main != &window) {
    window.winId();
    window.windowHandle()->setTransientParent(main->windowHandle());
  }
  window.setProperty(kCentre, QVariant::fromValue(const_cast<QWidget*>(centre)));
  StackProgressWindows(window);
  // Stacked with the frames guessed until the window's own comes.
  FollowFrame(window, [&window](const QMargins&) { StackProgressWindows(window); });
}

void CentreOnScreen(QWidget& window) {
  // At the size it shows at: a frame guessed too large shrinks it only
  // until the window's own comes.
  const QSize size = window.size();
  CentreFrame(window, size, FrameMarginsOf(window).value_or(FrameMargins()));
  // Centred again on the frame the window manager draws, however late it
  // comes; never on a bare X server, where the window has none.
  FollowFrame(window, [&window, size](const QMargins& frame) { CentreFrame(window, size, frame); });
}

PickedMark::PickedMark(const QRect& mark, const QWidget* in) { PickedMarks().push_back({mark, in}); }

PickedMark::~PickedMark() { PickedMarks().pop_back(); }

void MarkMainWindow(QWidget& window) { window.setProperty(kMain, true); }

void PlaceOnOpening(QWidget& window, const QWidget* opener) {
  if (!opener) opener = QApplication::activeWindow();
  if (opener) opener = opener->window();
  // A box or a progress window up while the window opens is not what the
  // user opened it from: the window behind it is.
  if (opener && opener != &window && Passing(*opener)) opener = Behind(*opener, window);
  if (opener == &window || (opener && !opener->isVisible())) opener = nullptr;
  const QWidget* main = MainWindow();
  if (main == &window) main = nullptr;
  if (!opener) opener = main;
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
    InSight keep = opener ? ControlsOf(*opener) : InSight{};
    // What the opener covers of another window is out of sight already.
    const auto keepOf = [&](const QWidget& other, bool withFields) {
      if (!opener || &other == opener || &other == &window || !other.isVisible()) return;
      const QRect over = FrameOf(*opener, margins);
      const InSight of = ControlsOf(other);
      for (const QRect& control : of.controls)
        if (!control.intersects(over)) keep.controls.push_back(control);
      if (withFields)
        for (const QRect& field : of.fields)
          if (!field.intersects(over)) keep.fields.push_back(field);
    };
    // The main window's commands are what the user goes on with, whichever
    // window this one was opened from (a viewer from the model browser), and
    // its list and fields say what they work on.
    if (main) keepOf(*main, true);
    // A window about a pick (the record, opened from the properties) leaves
    // the tools of the window it was picked in as the first one does.
    for (const Picked& picked : PickedMarks()) {
      keep.marks.push_back(picked.mark);
      if (picked.in) keepOf(*picked.in, false);
    }
    frame = PlaceNewFrame(window.size().grownBy(margins), opener ? FrameOf(*opener, margins) : QRect(), shown, area,
                          std::max(kMinimumStep, margins.top() + 4), keep,
                          window.minimumSizeHint().expandedTo(window.minimumSize()).grownBy(margins));
  }
  PutFrame(window, frame, margins);
  // Decorations other than those guessed may leave it off the screen.
  FollowFrame(window, [&window, corner = frame.topLeft(), size = frame.size().shrunkBy(margins)](const QMargins& own) {
    if (const QScreen* at = window.screen())
      PutFrame(window, KeepInside(QRect(corner, size.grownBy(own)), at->availableGeometry()), own);
  });
}

}  // namespace platform::qt
