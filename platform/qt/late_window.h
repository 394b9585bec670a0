#pragma once
// Progress windows go up only once their work has run for a while: a step
// that ends sooner shows nothing, instead of a frame that flashes up and
// goes before it could be painted. The while is counted from the start of
// the user's command: a command of many short steps shows the step it is
// in once it has run that long. A window that goes up is painted at once,
// since the work may not let events through again for a while; while a box
// waits for the user, none goes up over it.
#include <QTimer>
#include <chrono>
#include <functional>

class QWidget;

namespace platform::qt {

// Half a second: a step of a second or more has its window up and painted
// well before that second is over, and one that ends sooner leaves the
// screen as it was.
inline constexpr std::chrono::milliseconds kProgressShowDelay{500};

// Shows the window and waits (briefly) until the window system has put it
// up, then paints it.
void ShowPainted(QWidget& window);

// Shows `window` (placed by `place` just before) now or, while a box waits
// for the user's answer, once it has gone: a window put up under a box
// stays behind the window the box hands the focus back to.
void ShowWhenNoBox(QWidget& window, std::function<void()> place);
// Hides it, also when it still waits for a box to go.
void HideWaiting(QWidget& window);

// The user's command runs while one lives; the outermost one counts.
class CommandScope {
 public:
  CommandScope();
  ~CommandScope();
  CommandScope(const CommandScope&) = delete;
  CommandScope& operator=(const CommandScope&) = delete;

 private:
  bool outermost_;
};

class LateWindow {
 public:
  // `place` runs just before the window goes up (its position may depend on
  // the windows that are up by then).
  explicit LateWindow(QWidget& window, std::function<void()> place = {});
  LateWindow(const LateWindow&) = delete;
  LateWindow& operator=(const LateWindow&) = delete;

  // The work has begun: the window goes up once the delay has passed since
  // the command began (or since now, outside a command), when the work lets
  // events through or calls poll().
  void request();
  // From the work's steps, which may not let events through in time.
  void poll();
  void showNow();
  // The work has ended: nothing goes up, what is up is hidden.
  void withdraw();

 private:
  using Clock = std::chrono::steady_clock;
  // Goes up unless a box is waiting for the user; then a little later.
  void showWhenFree();

  QWidget& window_;
  std::function<void()> place_;
  QTimer timer_;
  Clock::time_point due_;
  bool pending_ = false;
};

}  // namespace platform::qt
