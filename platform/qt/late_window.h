#pragma once
// Progress windows go up only once their work has run for a while: a step
// that ends sooner shows nothing, instead of a frame that flashes up and
// goes before it could be painted. A window that goes up is painted at
// once, since the work may not let events through again for a while.
#include <QElapsedTimer>
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

class LateWindow {
 public:
  // `place` runs just before the window goes up (its position may depend on
  // the windows that are up by then).
  explicit LateWindow(QWidget& window, std::function<void()> place = {});
  LateWindow(const LateWindow&) = delete;
  LateWindow& operator=(const LateWindow&) = delete;

  // The work has begun: the window goes up once the delay has passed, when
  // the work lets events through or calls poll().
  void request();
  // From the work's steps, which may not let events through in time.
  void poll();
  void showNow();
  // The work has ended: nothing goes up, what is up is hidden.
  void withdraw();

 private:
  QWidget& window_;
  std::function<void()> place_;
  QTimer timer_;
  QElapsedTimer since_;
  bool pending_ = false;
};

}  // namespace platform::qt
