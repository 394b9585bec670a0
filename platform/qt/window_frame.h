#pragma once
// The frame a window manager draws around a window once it has taken the
// window on: on a busy machine or a slow display that may be seconds after
// the window went up, and without a window manager never. A place worked
// out before the frame came guessed its decorations; the window is placed
// again when its frame comes, woken by the window system's own news of it
// (no clock: there is no time after which a frame can no longer come).
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <functional>
#include <optional>

class QWidget;

namespace platform::qt {

// Decorations that enclose the window: a frame. A window manager still
// building one (the window just put into a frame window of one pixel, not
// sized yet) gives margins that do not; none at all is no frame, nor are
// margins with nothing at the top or the left.
std::optional<QMargins> FrameFrom(const QMargins& margins);

// The frame of a shown window as the window system tells it now.
std::optional<QMargins> FrameMarginsOf(const QWidget& window);

// Where the window's frame lies: its own once framed, else `margins`
// around the window.
QRect FrameOf(const QWidget& window, const QMargins& margins);

// Puts the window's frame at `frame`, the window `margins` inside it.
void PutFrame(QWidget& window, const QRect& frame, const QMargins& margins);

// Calls `place` with the window's frame whenever the window system frames
// it anew (its frame comes, or changes), until the user moves the window
// himself, changes its state (maximised, minimised) or it is hidden; a
// later call for the same window replaces `place`.
void FollowFrame(QWidget& window, std::function<void(const QMargins&)> place);

// When a window placed by the program is placed again, apart from the
// window system that tells of it.
class FrameFollowing {
 public:
  // The program has put the window at `at` (its inside), framed so then.
  void Put(QPoint at, const std::optional<QMargins>& frame);
  // Whether the window, framed so now, is to be placed again: its frame
  // has come or changed since the program put it.
  bool PlaceAgain(const std::optional<QMargins>& frame) const;
  // The window system reports the window at `at`, framed so. False once
  // the user has moved the window himself: his to place from then on.
  bool Reported(QPoint at, const std::optional<QMargins>& frame);

 private:
  QPoint at_;
  std::optional<QMargins> frame_;
  std::optional<QPoint> reported_;
  // The window system has reported the window where it was put.
  bool taken_ = false;
};

}  // namespace platform::qt
