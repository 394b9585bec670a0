#include "platform/qt/late_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <optional>

namespace platform::qt {

namespace {
// Bounded for a window system that never exposes the window.
constexpr int kExposeWaitMs = 200;
// How soon a window kept back by a box looks again.
constexpr std::chrono::milliseconds kBoxRetry{100};

std::optional<std::chrono::steady_clock::time_point>& commandStart() {
  static std::optional<std::chrono::steady_clock::time_point> start;
  return start;
}

bool BoxWaiting() { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr; }

// A window waiting for a box to go carries this mark until it goes up.
constexpr const char* kWaitsForBox = "zeltoWaitsForBox";

void ShowWhenFree(QPointer<QWidget> window, std::function<void()> place) {
  if (!window || !window->property(kWaitsForBox).toBool()) return;
  if (BoxWaiting()) {
    QTimer::singleShot(kBoxRetry, window, [window, place] { ShowWhenFree(window, place); });
    return;
  }
  window->setProperty(kWaitsForBox, false);
  if (place) place();
  ShowPainted(*window);
}
}  // namespace

void ShowWhenNoBox(QWidget& window, std::function<void()> place) {
  window.setProperty(kWaitsForBox, true);
  ShowWhenFree(&window, std::move(place));
}

void HideWaiting(QWidget& window) {
  window.setProperty(kWaitsForBox, false);
  window.hide();
}

CommandScope::CommandScope() : outermost_(!commandStart()) {
  if (outermost_) commandStart() = std::chrono::steady_clock::now();
}

CommandScope::~CommandScope() {
  if (outermost_) commandStart().reset();
}

void ShowPainted(QWidget& window) {
  window.show();
  QElapsedTimer waited;
  waited.start();
  const QWindow* handle = window.windowHandle();
  while (handle && !handle->isExposed() && waited.elapsed() < kExposeWaitMs)
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
  window.repaint();
}

LateWindow::LateWindow(QWidget& window, std::function<void()> place) : window_(window), place_(std::move(place)) {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
    if (pending_) showWhenFree();
  });
}

void LateWindow::request() {
  if (pending_ || window_.isVisible()) return;
  pending_ = true;
  const Clock::time_point now = Clock::now();
  due_ = commandStart().value_or(now) + kProgressShowDelay;
  timer_.start(std::max(std::chrono::duration_cast<std::chrono::milliseconds>(due_ - now),
                        std::chrono::milliseconds::zero()));
}

void LateWindow::poll() {
  if (pending_ && Clock::now() >= due_) showWhenFree();
}

void LateWindow::showWhenFree() {
  // The work waits for the box's answer; a window put up now would stand
  // over the box's text. (Work that runs in a modal window of its own shows
  // its progress as ever.)
  if (BoxWaiting()) {
    timer_.start(kBoxRetry);
    return;
  }
  showNow();
}

void LateWindow::showNow() {
  pending_ = false;
  timer_.stop();
  if (window_.isVisible()) return;
  if (place_) place_();
  ShowPainted(window_);
}

void LateWindow::withdraw() {
  pending_ = false;
  timer_.stop();
  window_.hide();
}

}  // namespace platform::qt
