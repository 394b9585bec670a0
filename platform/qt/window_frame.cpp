#include "platform/qt/window_frame.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

#if __has_include(<xcb/xcb.h>)
#include <xcb/xcb.h>
#define ZELTO_HAS_XCB 1
#endif

namespace platform::qt {

namespace {

// A window's follower is its child of this name.
constexpr const char* kFollower = "zeltoFrameFollower";

// Whether a native event is X's news of the window's frame: the window put
// into a frame window or moved in it, mapped, or a property of it changed
// (the decorations a window manager draws are one). The toolkit reads the
// frame anew after such news, but tells nobody when the window itself
// stays where it was.
bool NewsOfFrame(const QByteArray& type, const void* message, WId window) {
#ifdef ZELTO_HAS_XCB
  if (!window || type != "xcb_generic_event_t") return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  switch (event->response_type & ~0x80) {
    case XCB_PROPERTY_NOTIFY: return static_cast<const xcb_property_notify_event_t*>(message)->window == window;
    case XCB_CONFIGURE_NOTIFY: return static_cast<const xcb_configure_notify_event_t*>(message)->window == window;
    case XCB_REPARENT_NOTIFY: return static_cast<const xcb_reparent_notify_event_t*>(message)->window == window;
    case XCB_MAP_NOTIFY: return static_cast<const xcb_map_notify_event_t*>(message)->window == window;
    default: return false;
  }
#else
  // Built without the X headers, only the toolkit's moves and resizes of
  // the window wake its follower.
  (void)type, (void)message, (void)window;
  return false;
#endif
}

// Lives with its window, woken only by the window system's news of it.
class FrameFollower : public QObject, public QAbstractNativeEventFilter {
 public:
  using Place = std::function<void(const QMargins&)>;

  FrameFollower(QWidget& window, Place place) : QObject(&window), window_(window), place_(std::move(place)) {
    setObjectName(kFollower);
    window.installEventFilter(this);
    QCoreApplication::instance()->installNativeEventFilter(this);
    Put();
    // Framed already, or about to be.
    CheckSoon();
  }
  ~FrameFollower() override { Release(); }
  FrameFollower(const FrameFollower&) = delete;
  FrameFollower& operator=(const FrameFollower&) = delete;

  void SetPlace(Place place) { place_ = std::move(place); }
  // The program has just put the window where it is now.
  void Put() { following_.Put(window_.geometry().topLeft(), FrameMarginsOf(window_)); }

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (NewsOfFrame(type, message, window_.internalWinId())) CheckSoon();
    return false;
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != &window_) return false;
    switch (event->type()) {
      case QEvent::Move:
      case QEvent::Resize:
        // Only the window system's reports: the program's own moves come
        // as events too.
        if (!event->spontaneous()) break;
        if (following_.Reported(window_.geometry().topLeft(), FrameMarginsOf(window_))) Check();
        else Stop();
        break;
      case QEvent::WindowStateChange:
        if (window_.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) Stop();
        break;
      case QEvent::Hide: Stop(); break;
      default: break;
    }
    return false;
  }

 private:
  // After the toolkit has taken in the news too.
  void CheckSoon() {
    if (checkQueued_) return;
    checkQueued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
          checkQueued_ = false;
          Check();
        },
        Qt::QueuedConnection);
  }

  void Check() {
    if (stopped_ || !window_.isVisible()) return;
    const std::optional<QMargins> frame = FrameMarginsOf(window_);
    if (!following_.PlaceAgain(frame)) return;
    place_(*frame);
    Put();
  }

  void Release() {
    setObjectName({});
    window_.removeEventFilter(this);
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeNativeEventFilter(this);
  }

  void Stop() {
    stopped_ = true;
    Release();
    deleteLater();
  }

  QWidget& window_;
  Place place_;
  FrameFollowing following_;
  bool checkQueued_ = false;
  bool stopped_ = false;
};

FrameFollower* FollowerOf(QWidget& window) {
  return dynamic_cast<FrameFollower*>(window.findChild<QObject*>(kFollower, Qt::FindDirectChildrenOnly));
}

}  // namespace

std::optional<QMargins> FrameFrom(const QMargins& margins) {
  if (margins.left() < 0 || margins.top() < 0 || margins.right() < 0 || margins.bottom() < 0) return std::nullopt;
  // Decorations draw at the top or the left; margins only right and below
  // are the toolkit's guess for a window not framed at all, whose size it
  // has not caught up with.
  if (margins.left() == 0 && margins.top() == 0) return std::nullopt;
  return margins;
}

std::optional<QMargins> FrameMarginsOf(const QWidget& window) {
  // The toolkit's own window reads the frame anew after news of it; the
  // widget keeps what it read at the last move or resize.
  const QWindow* handle = window.windowHandle();
  if (!window.isVisible() || !handle) return std::nullopt;
  return FrameFrom(handle->frameMargins());
}

QRect FrameOf(const QWidget& window, const QMargins& margins) {
  if (const std::optional<QMargins> frame = FrameMarginsOf(window)) return window.geometry().marginsAdded(*frame);
  // A window moved before it was made is placed by its frame's corner.
  if (!window.testAttribute(Qt::WA_WState_Created)) return QRect(window.pos(), window.size().grownBy(margins));
  return window.geometry().marginsAdded(margins);
}

void PutFrame(QWidget& window, const QRect& frame, const QMargins& margins) {
  const QSize size = frame.size().shrunkBy(margins);
  if (window.testAttribute(Qt::WA_WState_Created)) {
    // By its inside: the toolkit would offset a corner by the frame it
    // last read, which may be gone or not yet come.
    window.setGeometry(QRect(frame.topLeft() + QPoint(margins.left(), margins.top()), size));
  } else {
    // The window system puts the frame's corner of a window placed before
    // it was made where asked, whatever decorations it draws.
    window.resize(size);
    window.move(frame.topLeft());
  }
  if (FrameFollower* follower = FollowerOf(window)) follower->Put();
}

void FollowFrame(QWidget& window, std::function<void(const QMargins&)> place) {
  if (FrameFollower* follower = FollowerOf(window)) {
    follower->SetPlace(std::move(place));
    follower->Put();
    return;
  }
  new FrameFollower(window, std::move(place));
}

void FrameFollowing::Put(QPoint at, const std::optional<QMargins>& frame) {
  at_ = at;
  if (frame) frame_ = frame;
  taken_ = frame_ && reported_ == at_;
}

bool FrameFollowing::PlaceAgain(const std::optional<QMargins>& frame) const { return frame && frame != frame_; }

bool FrameFollowing::Reported(QPoint at, const std::optional<QMargins>& frame) {
  reported_ = at;
  // Framed anew: the window manager's doing, not the user's.
  if (!frame || frame != frame_) return true;
  if (at == at_) {
    taken_ = true;
    return true;
  }
  // Reports of where the window was before the window system took the
  // place last given come first; a move after that is the user's.
  return !taken_;
}

}  // namespace platform::qt
