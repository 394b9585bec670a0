#pragma once
// The viewer's window: the map image with the coordinates and the scale
// under it, and the menus. Every user action becomes a message for the
// window's tool manager.
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>
#include <cstdint>

class TFormToolManager;
class TStandardImageForm;
class TElement;

namespace viewer {
// Shift state of a Qt event as the framework's shift bits.
std::uint8_t ShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons, bool doubleClick = false);
// The virtual-key code of a Qt key; 0 for keys without one.
std::uint16_t VirtualKeyOf(int qtKey);
}  // namespace viewer

// Shows the manager's bitmap and reports the mouse in its pixels.
class TImageView : public QWidget {
 public:
  explicit TImageView(TStandardImageForm* form);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  TStandardImageForm* form_;
};

class TStandardImageForm : public QMainWindow {
 public:
  explicit TStandardImageForm(TFormToolManager* tool);

  TFormToolManager* Tool() const { return tool_; }
  void Unlink() { tool_ = nullptr; }
  TImageView* Image() const { return image_; }
  QMenu* ToolsMenu() const { return tools_; }
  QMenu* PopupMenu() const { return popup_; }
  // The pop-up menu of the bar under the map.
  QMenu* BarMenu() const { return barMenu_; }
  QWidget* Bar() const { return bar_; }
  QAction* TileAction() const { return tile_; }
  QToolButton* QuickViewButton() const { return quickView_; }
  QPushButton* LinkButton() const { return link_; }
  QLabel* XLabel() const { return x_; }
  QLabel* YLabel() const { return y_; }
  QLabel* ScaleLabel() const { return scale_; }
  // The activation mark: false after the window lost the focus, true again
  // after the next mouse-up.
  bool WasActive() const { return wasActive_; }
  void SetWasActive(bool on) { wasActive_ = on; }

  void PostToTool(int code);
  // Breaks a drawing, lets the queue run, then posts the code.
  void BreakThenPost(int code);
  void PostKey(std::uint16_t key, std::uint8_t shift = 0);

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  // The element of the model-browser node being dragged; nil for anything
  // else.
  static TElement* DraggedElement(const QDropEvent* e);
  static QIcon QuickViewPicture();

  TFormToolManager* tool_;
  TImageView* image_ = nullptr;
  QPushButton* link_ = nullptr;
  QMenu* tools_ = nullptr;
  QMenu* popup_ = nullptr;
  QWidget* bar_ = nullptr;
  QMenu* barMenu_ = nullptr;
  QAction* tile_ = nullptr;
  QToolButton* quickView_ = nullptr;
  QLabel* x_ = nullptr;
  QLabel* y_ = nullptr;
  QLabel* scale_ = nullptr;
  bool wasActive_ = true;
  bool closing_ = false;
};
