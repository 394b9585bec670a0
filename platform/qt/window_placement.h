#pragma once
// Where a new window opens: beside the window the user opened it from when
// the screen has room there, otherwise cascaded from it so that the
// opener's title bar stays in sight; always wholly on the screen, shrunk to
// it when it is larger. A window that a script or the caller has placed
// keeps its place, only pulled back onto the screen.
#include <QRect>
#include <vector>

class QWidget;

namespace platform::qt {

// The frame rectangle (decorations included) for a new window of `frame`
// size opened from the window at `opener` (an empty rectangle: from none)
// while the windows at `shown` are up, on a screen whose free area is
// `screen`; `step` is the cascade's offset, a title bar's height.
// `keepVisible`: the opener's menu bar and buttons, which the new window
// leaves in sight wherever the screen has room for that.
QRect PlaceNewFrame(QSize frame, const QRect& opener, const std::vector<QRect>& shown, const QRect& screen,
                    int step, const std::vector<QRect>& keepVisible = {});

// What of the opener a new window leaves in sight, on the screen.
struct InSight {
  // Its menu bars and buttons: always, where the screen has room for that.
  std::vector<QRect> controls;
  // Its lists and fields, what the user reads there: where the screen has
  // room beside the controls, else hidden as little as may be.
  std::vector<QRect> fields;
  // What the user has just picked on its map.
  std::vector<QRect> marks;
};
// `smallest`: the least the window can be made (its content's minimum).
QRect PlaceNewFrame(QSize frame, const QRect& opener, const std::vector<QRect>& shown, const QRect& screen,
                    int step, const InSight& keep, QSize smallest = {});

// `frame` moved (and shrunk) as little as needed to lie wholly in `screen`.
QRect KeepInside(const QRect& frame, const QRect& screen);

// Progress windows lie one under another in the order they opened, the
// stack in the middle of `screen`, each centred on its `middles` x (so
// that the break button of every running job can be pressed); only a
// stack higher than the screen overlaps.
std::vector<QRect> StackFrames(const std::vector<QSize>& frames, const std::vector<int>& middles, const QRect& screen);

// Places `window` as a progress window in the stack of those up, centred
// on `centre` (nil: on the screen); the others move to make room, and again
// when its frame comes. Called again when its size changes while it is up.
void PlaceProgressWindow(QWidget& window, const QWidget* centre = nullptr);

// Centres `window` on its screen, decorations included: wholly on the
// screen, shrunk to it where it is larger. Centred again on the frame the
// window manager draws (only then is the frame's size known), however late
// that comes, until the user moves the window himself.
void CentreOnScreen(QWidget& window);

// Places `window` before it is first shown, and pulls it back onto the
// screen should its frame come larger than guessed. `opener` is the window
// the user opened it from; nil means the active window, else the main
// window.
// Whatever the opener, the main window's menu bar and buttons stay in sight
// where the screen has room for that and the opener does not cover them.
void PlaceOnOpening(QWidget& window, const QWidget* opener = nullptr);

// Marks `window` as the program's main window, the one the user comes back
// to from every other.
void MarkMainWindow(QWidget& window);

// While one lives, the windows that open leave `mark` (on the screen) in
// sight where they can: the mark of what the user has just picked, which
// the windows about it are opened for. They leave the menu bar and buttons
// of `in`, the window it was picked in, in sight as well, whichever of
// them they are opened from.
class PickedMark {
 public:
  explicit PickedMark(const QRect& mark, const QWidget* in = nullptr);
  ~PickedMark();
  PickedMark(const PickedMark&) = delete;
  PickedMark& operator=(const PickedMark&) = delete;
};

}  // namespace platform::qt
