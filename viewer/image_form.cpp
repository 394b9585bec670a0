#include "viewer/image_form.h"

#include <QCloseEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include "framework/message_dispatch.h"
#include "viewer/model_browser.h"
#include "viewer/print_entry.h"
#include "viewer/tool_manager.h"

namespace viewer {

std::uint8_t ShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons, bool doubleClick) {
  std::uint8_t shift = 0;
  if (modifiers & Qt::ShiftModifier) shift |= ssShift;
  if (modifiers & Qt::AltModifier) shift |= ssAlt;
  if (modifiers & Qt::ControlModifier) shift |= ssCtrl;
  if (buttons & Qt::LeftButton) shift |= ssLeft;
  if (buttons & Qt::RightButton) shift |= ssRight;
  if (buttons & Qt::MiddleButton) shift |= ssMiddle;
  if (doubleClick) shift |= ssDouble;
  return shift;
}

std::uint16_t VirtualKeyOf(int qtKey) {
  if (qtKey == Qt::Key_Escape) return zelto::key::Escape;
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return static_cast<std::uint16_t>(112 + (qtKey - Qt::Key_F1));
  if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
    return static_cast<std::uint16_t>(qtKey);
  switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Space: return 32;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Delete: return 46;
    default: return 0;
  }
}

}  // namespace viewer

namespace {
std::uint8_t ButtonOf(Qt::MouseButton button) {
  if (button == Qt::RightButton) return mbRight;
  if (button == Qt::MiddleButton) return mbMiddle;
  return mbLeft;
}
}  // namespace

TImageView::TImageView(TStandardImageForm* form) : QWidget(form), form_(form) {
  setObjectName("Image");
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TImageView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  TFormToolManager* tool = form_->Tool();
  if (tool && tool->GetBitmap())
    painter.drawImage(0, 0, tool->GetBitmap()->Image());
  else
    painter.fillRect(rect(), Qt::white);
}

void TImageView::mousePressEvent(QMouseEvent* e) {
  if (TFormToolManager* tool = form_->Tool())
    tool->MouseEvent(zelto::msg::MouseDown, tool, ButtonOf(e->button()),
                     viewer::ShiftOf(e->modifiers(), e->buttons()), e->position().toPoint().x(),
                     e->position().toPoint().y(), form_->WasActive());
}

void TImageView::mouseReleaseEvent(QMouseEvent* e) {
  if (TFormToolManager* tool = form_->Tool())
    tool->MouseEvent(zelto::msg::MouseUp, tool, ButtonOf(e->button()),
                     viewer::ShiftOf(e->modifiers(), e->buttons()), e->position().toPoint().x(),
                     e->position().toPoint().y(), form_->WasActive());
  form_->SetWasActive(true);
}

void TImageView::mouseMoveEvent(QMouseEvent* e) {
  if (TFormToolManager* tool = form_->Tool())
    tool->MouseEvent(zelto::msg::MouseMove, tool, mbLeft, viewer::ShiftOf(e->modifiers(), e->buttons()),
                     e->position().toPoint().x(), e->position().toPoint().y(), form_->WasActive());
}

void TImageView::resizeEvent(QResizeEvent*) {
  TFormToolManager* tool = form_->Tool();
  if (!form_->isVisible() || !tool) return;
  tool->ResizeBitmap(width(), height());
  tool->PostMessage(zelto::msg::Resized, tool);
}

TStandardImageForm::TStandardImageForm(TFormToolManager* tool) : tool_(tool) {
  setObjectName("TStandardImageForm");
  setWindowTitle(QString::fromUtf8("Zobrazovač"));
  setAttribute(Qt::WA_DeleteOnClose, false);

  auto* central = new QWidget(this);
  image_ = new TImageView(this);
  image_->setParent(central);
  image_->setMinimumSize(50, 50);
  image_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  bar_ = new QWidget(central);
  bar_->setObjectName("Bar");
  quickView_ = new QToolButton(bar_);
  quickView_->setObjectName("b_QuickView");
  quickView_->setCheckable(true);
  quickView_->setToolTip(QString::fromUtf8("Rychlé, informativní zobrazení"));
  quickView_->setIcon(QuickViewPicture());
  link_ = new QPushButton("Link", bar_);
  link_->setObjectName("btn_Link");
  QObject::connect(quickView_, &QToolButton::clicked, [this] { PostToTool(zelto::msg::QuickView); });
  x_ = new QLabel(bar_);
  x_->setObjectName("l_x");
  y_ = new QLabel(bar_);
  y_->setObjectName("l_y");
  scale_ = new QLabel(bar_);
  scale_->setObjectName("l_M");
  auto* status = new QHBoxLayout(bar_);
  status->setContentsMargins(0, 0, 0, 0);
  status->addWidget(quickView_);
  status->addWidget(link_);
  status->addWidget(new QLabel("x:", bar_));
  status->addWidget(x_);
  status->addWidget(new QLabel("y:", bar_));
  status->addWidget(y_);
  status->addWidget(new QLabel("M 1 :", bar_));
  status->addWidget(scale_);
  status->addStretch();
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(image_, 1);
  layout->addWidget(bar_);
  setCentralWidget(central);

  auto u = [](const char* text) { return QString::fromUtf8(text); };
  // The viewer neither opens nor saves a model yet: the entries show greyed
  // rather than seeming to work and doing nothing.
  QMenu* file = menuBar()->addMenu(u("&Soubor"));
  file->addAction(u("&Otevřít"), [this] { PostToTool(23); })->setEnabled(false);
  file->addAction(u("&Uložit pod názvem"), [this] { PostToTool(24); })->setEnabled(false);
  QMenu* print = menuBar()->addMenu(u("&Tisk"));
  print->addAction(u("&Tiskni"), [this] { PostToTool(zelto::msg::Print); });
  print->addAction(u("&Nastavení"), [this] { viewer::ShowPrinterSetup(this); });
  tile_ = print->addAction(u("Tisknout jako bitmapu"));
  tile_->setObjectName("Tile");
  tile_->setCheckable(true);
  QMenu* view = menuBar()->addMenu(u("&Zobrazení"));
  auto addViewItems = [this, u](QMenu* menu) {
    menu->addAction(u("&Přezobraz"), [this] { BreakThenPost(zelto::msg::ReviewRequest); });
    menu->addAction(u("&Měřítko"), [this] { BreakThenPost(zelto::msg::ScaleDialog); });
    menu->addAction(u("&Vše ve výřezu"), [this] { BreakThenPost(zelto::msg::FitAll); });
  };
  addViewItems(view);
  view->addAction(u("Zvětšení      F5"), [this] { PostKey(zelto::key::F5); });
  view->addAction(u("Zmenšení    F6"), [this] { PostKey(zelto::key::F6); });
  view->addAction(u("&Struktura"), [this] {
    if (tool_) tool_->PostMessage(zelto::msg::Explore, nullptr, tool_);
  });
  tools_ = menuBar()->addMenu(u("&Nástroje"));
  tools_->setObjectName("Tools");
  menuBar()->addAction(u("&Model"), [this] {
    if (tool_) tool_->PostMessage(zelto::msg::Explore, nullptr, tool_->Input());
  });
  menuBar()->addAction(u("&Storno"), [this] { PostKey(zelto::key::Escape); });
  popup_ = new QMenu(this);
  QObject::connect(popup_, &QMenu::aboutToShow, [this] {
    PostToTool(zelto::msg::BreakDrawing);
    zelto::ProcessPendingMessages();
  });
  addViewItems(popup_);
  // The bar's own menu offers where the bar may go; the bar stays under the
  // map, so its places show greyed and only "Storno" (closing the menu) is
  // offered.
  barMenu_ = new QMenu(this);
  barMenu_->setObjectName("PopupMenu2");
  for (const char* item : {"Nahoře", "Dole", "Vlevo", "Vpravo", "Plovoucí", "Nastavení"})
    barMenu_->addAction(u(item))->setEnabled(false);
  barMenu_->addAction(u("Storno"));
  bar_->setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(bar_, &QWidget::customContextMenuRequested,
                   [this](const QPoint& at) { barMenu_->popup(bar_->mapToGlobal(at)); });
  // Nodes of the model browser are dropped on the map or on btn_Link.
  setAcceptDrops(true);
  resize(640, 480);
}

void TStandardImageForm::dragEnterEvent(QDragEnterEvent* e) {
  if (DraggedElement(e)) e->acceptProposedAction();
}

void TStandardImageForm::dragMoveEvent(QDragMoveEvent* e) {
  if (DraggedElement(e)) e->acceptProposedAction();
}

void TStandardImageForm::dropEvent(QDropEvent* e) {
  TElement* element = DraggedElement(e);
  if (!element || !tool_) return;
  e->acceptProposedAction();
  tool_->LinkElement(element);
}

TElement* TStandardImageForm::DraggedElement(const QDropEvent* e) {
  return model_browser::ElementOfMimeData(e->mimeData());
}

QIcon TStandardImageForm::QuickViewPicture() {
  // A lightning bolt: the quick, rough drawing.
  QPixmap picture(16, 16);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setPen(QColor(128, 96, 0));
  painter.setBrush(QColor(255, 204, 0));
  const QPoint bolt[] = {{9, 1}, {3, 9}, {7, 9}, {5, 15}, {13, 6}, {9, 6}, {11, 1}};
  painter.drawPolygon(bolt, 7);
  return QIcon(picture);
}

void TStandardImageForm::PostToTool(int code) {
  if (tool_) tool_->PostMessage(code, tool_);
}

void TStandardImageForm::BreakThenPost(int code) {
  PostToTool(zelto::msg::BreakDrawing);
  zelto::ProcessPendingMessages();
  PostToTool(code);
}

void TStandardImageForm::PostKey(std::uint16_t key, std::uint8_t shift) {
  if (tool_) tool_->KeyEvent(zelto::msg::KeyDown, tool_, key, shift);
}

void TStandardImageForm::keyPressEvent(QKeyEvent* e) {
  const std::uint16_t key = viewer::VirtualKeyOf(e->key());
  if (key == 0) {
    QMainWindow::keyPressEvent(e);
    return;
  }
  PostKey(key, viewer::ShiftOf(e->modifiers(), Qt::NoButton));
}

void TStandardImageForm::closeEvent(QCloseEvent* e) {
  // The manager closes the window itself, after a running drawing ended.
  if (closing_ || !tool_) {
    e->accept();
    return;
  }
  closing_ = true;
  e->ignore();
  PostToTool(zelto::msg::CloseRequest);
}

void TStandardImageForm::changeEvent(QEvent* e) {
  if (e->type() == QEvent::ActivationChange && !isActiveWindow()) wasActive_ = false;
  QMainWindow::changeEvent(e);
}
