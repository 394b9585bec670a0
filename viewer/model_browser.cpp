#include "viewer/model_browser.h"

#include <QListView>
#include <QMimeData>

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QBitmap>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QSplitter>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "framework/class_registry.h"
#include "framework/element_class.h"
#include "framework/entity.h"
#include "framework/system_register.h"
#include "framework/zelto_message.h"
#include "framework/world.h"
#include "platform/qt/window_placement.h"
#include "platform/user_interaction.h"
#include "script/qt/watch_form.h"

namespace {

// Pop-up menu entries and the codes they post to the main tool. The main
// tool takes no property, OIL, load or save command: those entries show
// greyed rather than seeming to work and doing nothing.
struct MenuCommand {
  const char* caption;
  int code;
  bool taken = true;
};
constexpr MenuCommand kMenu[] = {{"Zobraz", 30},     {"Vlastnosti", 56, false}, {"Prohlížej model odtud", 36},
                                 {"Prohlížej &vlastníky", 37}, {"OIL", 71, false}, {"Load", 26, false},
                                 {"Save", 25, false}};

QString Q(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<int>(text.size())); }

int ChildCount(const TElement& element) {
  auto* entity = dynamic_cast<const TEntity*>(&element);
  return entity ? entity->GetCount() : 0;
}

TRegisterClassModel* FindClassModel(const std::string& className) {
  TWorld* world = GetWorld();
  TSystemRegister* reg = world ? world->GetSystemRegister() : nullptr;
  if (!reg || className.empty()) return nullptr;
  TRegisterClassModels* models = reg->GetClassModels();
  models->SetFindClassName(className);
  return models->Error == 0 ? dynamic_cast<TRegisterClassModel*>(models->ActualItem()) : nullptr;
}

}  // namespace

std::string model_browser::ImageFilePath(const std::string& name, const std::string& programDir) {
  // A name with a drive (or any colon) is already absolute.
  return name.find(':') != std::string::npos ? name : programDir + name;
}

int BrowserOwnerCount(const TElement& element) {
  if (auto* envelope = dynamic_cast<const TEnvelopeEntity*>(&element))
    return envelope->EnvelopeOwner() ? 1 : 0;
  return element.IsOrphan() ? 0 : element.GetOwnersCount();
}

TElement* BrowserOwner(const TElement& element, int index) {
  if (auto* envelope = dynamic_cast<const TEnvelopeEntity*>(&element))
    return index == 0 ? envelope->EnvelopeOwner() : nullptr;
  return element.GetOwner(index);
}

ZELTO_IMPLEMENT_ELEMENT(TExplorer, TTool, [](auto& p) {
  p.Boolean("Modal", &TExplorer::Modal, &TExplorer::Modal);
  p.Boolean("ShowOwners", &TExplorer::ShowOwners, &TExplorer::ShowOwners);
  p.Boolean("DontShowList", &TExplorer::DontShowList, &TExplorer::DontShowList);
  TFormPlacement::Declare<TExplorer>(p);
})

void RegisterModelBrowserClasses() { RegisterZeltoClass(TExplorer::StaticClass()); }

TExplorer::~TExplorer() {
  if (form_) {
    form_->Detach();
    delete form_.data();
  }
}

TExplorerForm* TExplorer::Form() {
  if (!form_) form_ = new TExplorerForm(this);
  return form_.data();
}

QWidget* TExplorer::PlacedForm() { return Form(); }

void TExplorer::DoIt() {
  if (!Input()) return;
  TExplorerForm* form = Form();
  form->SetOwnersMode(ShowOwners);
  form->SetListHidden(DontShowList);
  form->AddRoot(Input());
  form->setWindowModality(Modal ? Qt::ApplicationModal : Qt::NonModal);
  platform::qt::PlaceOnOpening(*form);
  form->show();
}

// The tool that opened this one frees it when told it closed; nobody else
// would free an orphan.
void TExplorer::FormClosed() {
  form_ = nullptr;
  if (IsOrphan())
    delete this;
  else
    PostMessage(zelto::msg::CloseRequest, this);
}

namespace {
constexpr char kElementMime[] = "application/x-zelto-element-handle";

// A tree whose dragged node carries the node's element to a viewer.
class TExplorerTree : public QTreeWidget {
 public:
  using QTreeWidget::QTreeWidget;

 protected:
  QStringList mimeTypes() const override { return {kElementMime}; }
  QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override {
    return items.isEmpty() ? nullptr : model_browser::ElementMimeData(TExplorerForm::ElementOf(items.first()));
  }
};
}  // namespace

QMimeData* model_browser::ElementMimeData(TElement* element) {
  auto* data = new QMimeData;
  if (element) data->setData(kElementMime, QByteArray::number(element->GetHandle()));
  return data;
}

TElement* model_browser::ElementOfMimeData(const QMimeData* data) {
  if (!data || !data->hasFormat(kElementMime)) return nullptr;
  bool ok = false;
  const auto handle = data->data(kElementMime).toUInt(&ok);
  return ok ? TElement::FromHandle(handle) : nullptr;
}

TExplorerForm::TExplorerForm(TExplorer* tool, QWidget* parent) : QWidget(parent), tool_(tool) {
  setAttribute(Qt::WA_DeleteOnClose);
  setObjectName("TExplorerForm");
  setWindowTitle(QString::fromUtf8("Prohlížeč modelu"));
  auto* layout = new QVBoxLayout(this);
  // Owned at once: a window that cannot be built whole frees what it made.
  auto* bar = new QHBoxLayout;
  layout->addLayout(bar);
  auto* listButton = new QToolButton(this);
  listButton->setObjectName("BitBtn1");
  listButton->setToolTip(QString::fromUtf8("Zapne / Vypne zobrazení druhého okna (toho s detaily)"));
  listButton->setIcon(PanesPicture());
  auto* watchButton = new QToolButton(this);
  watchButton->setObjectName("b_W");
  watchButton->setText("W");
  watchButton->setToolTip(
      QString::fromUtf8("Zobrazí separátní okénko pro sledování vlastností vybraného elementu"));
  bar->addWidget(listButton);
  bar->addWidget(watchButton);
  struct ViewStyle {
    const char* name;
    const char* hint;
    const char* caption;
    QListView::ViewMode mode;
    bool report;
  };
  const ViewStyle styles[] = {
      {"SpeedButton1", "Obsah pravého okna zobrazí jako ikony", "I", QListView::IconMode, false},
      {"SpeedButton2", "Obsah pravého okna zobrazí jako seznam", "S", QListView::ListMode, false},
      {"SpeedButton3", "Obsah pravého okna zobrazí jako seznam s vlastnostmi", "V", QListView::ListMode, true},
  };
  for (const ViewStyle& style : styles) {
    auto* button = new QToolButton(this);
    button->setObjectName(style.name);
    button->setText(style.caption);
    button->setToolTip(QString::fromUtf8(style.hint));
    bar->addWidget(button);
    const bool report = style.report;
    const bool icons = style.mode == QListView::IconMode;
    connect(button, &QToolButton::clicked, this, [this, report, icons] { SetListStyle(report, icons); });
  }
  bar->addStretch();
  splitter_ = new QSplitter(this);
  tree_ = new TExplorerTree(splitter_);
  tree_->setObjectName("TreeView1");
  tree_->setHeaderHidden(true);
  // A node dragged onto a viewer adds its element to the view.
  tree_->setDragEnabled(true);
  tree_->setDragDropMode(QAbstractItemView::DragOnly);
  list_ = new QTreeWidget(splitter_);
  list_->setObjectName("ListView1");
  list_->setRootIsDecorated(false);
  list_->setHeaderLabels({"Name", "Count", "Owners"});
  layout->addWidget(splitter_, 1);
  status_ = new QLabel(this);
  layout->addWidget(status_);

  tree_->setContextMenuPolicy(Qt::ActionsContextMenu);
  for (const MenuCommand& command : kMenu) {
    auto* action = new QAction(QString::fromUtf8(command.caption), tree_);
    action->setEnabled(command.taken);
    const int code = command.code;
    connect(action, &QAction::triggered, this, [this, code] { PostToMain(code); });
    tree_->addAction(action);
  }
  connect(listButton, &QToolButton::clicked, this, [this] { SetListHidden(!listHidden_); });
  connect(watchButton, &QToolButton::clicked, this, [this] { ToggleWatch(); });
  connect(tree_, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* node) { Expand(node); });
  connect(tree_, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* node) { Collapse(node); });
  connect(tree_, &QTreeWidget::currentItemChanged, this, [this] { Select(); });
  LoadImages();
}

QIcon TExplorerForm::PanesPicture() {
  // Two panes side by side: the tree and the detail list.
  QPixmap picture(16, 16);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setPen(QColor(64, 64, 64));
  painter.setBrush(Qt::white);
  painter.drawRect(1, 2, 6, 11);
  painter.setBrush(QColor(200, 220, 255));
  painter.drawRect(8, 2, 6, 11);
  return QIcon(picture);
}

void TExplorerForm::SetListStyle(bool report, bool icons) {
  // The detail list is a tree view: a report shows its columns, the icon
  // and list styles only the names, the icons larger.
  list_->setHeaderHidden(!report);
  for (int column = 1; column < list_->columnCount(); ++column) list_->setColumnHidden(column, !report);
  list_->setIconSize(icons ? QSize(32, 32) : QSize(16, 16));
}

void TExplorerForm::LoadImages() {
  TWorld* world = GetWorld();
  TSystemRegister* reg = world ? world->GetSystemRegister() : nullptr;
  if (!reg) return;
  TStringListElement* images = reg->GetImages();
  const std::string programDir = world->GetApplicDir();
  for (int i = 0; i < images->GetCount(); ++i) {
    std::string name = images->GetItemValue(i);
    if (name.empty()) name = images->GetItemName(i);
    QPixmap bitmap(Q(model_browser::ImageFilePath(name, programDir)));
    if (!bitmap.isNull()) bitmap.setMask(bitmap.createMaskFromColor(QColor(128, 128, 128)));
    images_.push_back(QIcon(bitmap));
  }
}

TExplorerForm::~TExplorerForm() { delete watch_.data(); }

// Nodes hold handles, not pointers: the model may lose elements while the
// tree is open, and a dead element's node must read as empty, not crash.
TElement* TExplorerForm::ElementOf(const QTreeWidgetItem* node) {
  return node ? TElement::FromHandle(node->data(0, Qt::UserRole).value<platform::Handle>()) : nullptr;
}

QTreeWidgetItem* TExplorerForm::NewNode(TElement* element) {
  auto* node = new QTreeWidgetItem(QStringList{Q(element->GetName())});
  node->setData(0, Qt::UserRole, QVariant::fromValue(element->GetHandle()));
  ClassModels(*element);
  if (lastOwn_ && lastOwn_->ImageIndex >= 0 && lastOwn_->ImageIndex < images_.size())
    node->setIcon(0, images_[lastOwn_->ImageIndex]);
  return node;
}

QTreeWidgetItem* TExplorerForm::AddRoot(TElement* element) {
  QTreeWidgetItem* root = NewNode(element);
  tree_->insertTopLevelItem(0, root);
  GivePlaceholder(root);
  tree_->setCurrentItem(root);
  return root;
}

// One child node stands for the first child (or owner), so that the node
// can be expanded without building its subtree.
void TExplorerForm::GivePlaceholder(QTreeWidgetItem* node) {
  const TElement* element = ElementOf(node);
  if (!element) return;
  TElement* first = nullptr;
  if (owners_) {
    if (BrowserOwnerCount(*element) > 0) first = BrowserOwner(*element, 0);
  } else if (ChildCount(*element) > 0) {
    first = static_cast<const TEntity*>(element)->GetItem(0);
  }
  if (first) node->addChild(NewNode(first));
}

void TExplorerForm::Expand(QTreeWidgetItem* node) {
  TElement* element = ElementOf(node);
  if (!element) {
    qDeleteAll(node->takeChildren());
    return;
  }
  const int count = owners_ ? BrowserOwnerCount(*element) : ChildCount(*element);
  if (count == 0) return;
  tree_->setUpdatesEnabled(false);
  // Rebuilt from the model every time: the placeholder may be stale.
  qDeleteAll(node->takeChildren());
  for (int i = 0; i < count; ++i) {
    TElement* next = owners_ ? BrowserOwner(*element, i) : static_cast<TEntity*>(element)->GetItem(i);
    if (!next) continue;
    QTreeWidgetItem* child = NewNode(next);
    node->addChild(child);
    GivePlaceholder(child);
  }
  tree_->setUpdatesEnabled(true);
}

void TExplorerForm::Collapse(QTreeWidgetItem* node) {
  // Deleting the current item's subtree moves the selection; keep it here.
  if (tree_->currentItem() && tree_->currentItem() != node) {
    for (QTreeWidgetItem* up = tree_->currentItem()->parent(); up; up = up->parent())
      if (up == node) {
        tree_->setCurrentItem(node);
        break;
      }
  }
  qDeleteAll(node->takeChildren());
  GivePlaceholder(node);
}

QString TExplorerForm::StatusText() const { return status_->text(); }

void TExplorerForm::Select() {
  TElement* element = ElementOf(tree_->currentItem());
  if (!element) {
    status_->clear();
    list_->clear();
    return;
  }
  if (watch_) {
    watch_->SetContext(element);
    watch_->Recalculate();
  }
  const std::string known = FindZeltoClass(element->ClassName()) ? " R+" : " R-";
  status_->setText(Q(element->GetName() + " (" + element->ClassName() + ")" + known));
  if (!listHidden_) FillList(element);
}

void TExplorerForm::FillList(TElement* element) {
  list_->clear();
  if (owners_) {
    list_->setColumnCount(3);
    list_->setHeaderLabels({"Name", "Count", "Owners"});
    columnsModel_ = nullptr;
    propertyNames_.clear();
    const int count = BrowserOwnerCount(*element);
    for (int i = 0; i < count; ++i) {
      TElement* owner = BrowserOwner(*element, i);
      if (!owner) continue;
      new QTreeWidgetItem(list_, QStringList{Q(owner->GetName()), QString::number(ChildCount(*owner)),
                                             QString::number(BrowserOwnerCount(*owner))});
    }
    return;
  }
  TRegisterClassModel* columns = ClassModels(*element);
  if (columns != columnsModel_ || propertyNames_.empty()) {
    columnsModel_ = columns;
    QStringList captions{"Name"};
    propertyNames_.clear();
    if (TOwnerEntity* models = columns ? columns->GetPropertyModels() : nullptr) {
      for (TElement* model : models->Items()) {
        auto* property = dynamic_cast<TRegisterPropertyModel*>(model);
        if (!property) continue;
        propertyNames_.push_back(property->GetName());
        captions << Q(property->Alias.empty() ? property->GetName() : property->Alias);
      }
    }
    list_->setColumnCount(static_cast<int>(captions.size()));
    list_->setHeaderLabels(captions);
    if (propertyNames_.empty()) propertyNames_.push_back({});  // marks the columns as built
  }
  const int count = ChildCount(*element);
  for (int i = 0; i < count; ++i) {
    TElement* child = static_cast<TEntity*>(element)->GetItem(i);
    QStringList texts{Q(child->GetName())};
    for (const std::string& name : propertyNames_) {
      if (name.empty()) continue;
      std::string text;
      child->GetPropertyText(name, text);
      texts << Q(text);
    }
    new QTreeWidgetItem(list_, texts);
  }
}

// The entry of the element's class names the class whose property models
// set the list's columns; both look-ups are kept for the last class seen.
TRegisterClassModel* TExplorerForm::ClassModels(const TElement& element) {
  if (&element.ClassType() != lastClass_) {
    lastClass_ = &element.ClassType();
    lastOwn_ = FindClassModel(element.ClassName());
    lastColumns_ = lastOwn_ && !lastOwn_->SubClass.empty() ? FindClassModel(lastOwn_->SubClass) : lastOwn_;
  }
  return lastColumns_;
}

void TExplorerForm::SetListHidden(bool hidden) {
  listHidden_ = hidden;
  list_->setVisible(!hidden);
  if (!hidden) {
    const int listWidth = list_->width();
    splitter_->setSizes({std::max(50, width() - listWidth), listWidth});
    if (TElement* element = ElementOf(tree_->currentItem())) FillList(element);
  }
}

void TExplorerForm::ToggleWatch() {
  if (watch_) {
    watch_->close();
    delete watch_.data();
    return;
  }
  watch_ = new TWatchForm();
  watch_->setAttribute(Qt::WA_DeleteOnClose);
  if (TElement* element = ElementOf(tree_->currentItem())) {
    watch_->SetContext(element);
    watch_->Recalculate();
  }
  platform::qt::PlaceOnOpening(*watch_, this);
  watch_->show();
}

void TExplorerForm::PostToMain(int code) {
  QTreeWidgetItem* node = tree_->currentItem();
  TElement* element = ElementOf(node);
  // A node whose element a new read let go of: the command would open an
  // empty viewer, or nothing, without a word.
  if (!element && node) {
    platform::showInfo("Zobrazovaný prvek " + node->text(0).toStdString() + " už není načten");
    return;
  }
  // No receiver: the main tool takes it.
  if (tool_ && element) tool_->PostMessage(code, nullptr, element);
}

void TExplorerForm::closeEvent(QCloseEvent* event) {
  delete watch_.data();
  QWidget::closeEvent(event);
  if (TExplorer* tool = tool_) {
    tool_ = nullptr;
    tool->FormClosed();
  }
}
