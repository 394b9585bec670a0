#include "platform/qt/late_window.h"

#include <QCoreApplication>
#include <QWidget>
#include <QWindow>

namespace platform::qt {

namespace {
// Bounded for a window system that never exposes the window.
constexpr int kExposeWaitMs = 200;
}  // namespace

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
    if (pending_) showNow();
  });
}

void LateWindow::request() {
  if (pending_ || window_.isVisible()) return;
  pending_ = true;
  since_.start();
  timer_.start(kProgressShowDelay);
}

void LateWindow::poll() {
  if (pending_ && since_.elapsed() >= kProgressShowDelay.count()) showNow();
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
