#include "script/qt/watch_form.h"

#include <algorithm>
#include <functional>

#include <QCloseEvent>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include "platform/user_interaction.h"

namespace {
constexpr int kHeaderHeight = 25;
constexpr int kColumnWidth = 200;
constexpr int kValueWidth = 44;
// Column 1 stays this much narrower than its header section.
constexpr int kValueMargin = 20;

// A double click on a line being typed lands in its editor, not on the
// grid: it ends the typing and recalculates, as one on any other cell does.
class LineEditing : public QStyledItemDelegate {
 public:
  LineEditing(QObject* parent, std::function<void()> doubleClicked)
      : QStyledItemDelegate(parent), doubleClicked_(std::move(doubleClicked)) {}
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    editor->installEventFilter(const_cast<LineEditing*>(this));
    return editor;
  }

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    auto* editor = qobject_cast<QWidget*>(object);
    if (event->type() != QEvent::MouseButtonDblClick || !editor) return QStyledItemDelegate::eventFilter(object, event);
    emit commitData(editor);
    emit closeEditor(editor);
    doubleClicked_();
    return true;
  }

 private:
  std::function<void()> doubleClicked_;
};
}  // namespace

TWatchForm::TWatchForm(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_DeleteOnClose);
  setObjectName("TWatchForm");
  setWindowTitle("WatchForm");
  resize(428, 217);

  headerModel_ = new QStandardItemModel(0, 2, this);
  headerModel_->setHorizontalHeaderLabels({"Property", "Value"});
  header_ = new QHeaderView(Qt::Horizontal, this);
  header_->setObjectName("Header");
  header_->setModel(headerModel_);
  header_->setFixedHeight(kHeaderHeight);
  header_->setStretchLastSection(false);
  header_->setSectionResizeMode(QHeaderView::Interactive);
  header_->resizeSection(0, kColumnWidth);
  header_->resizeSection(1, kValueWidth);

  grid_ = new QTableWidget(script::WatchList::DefaultRowCount, 2, this);
  grid_->setObjectName("SG");
  grid_->horizontalHeader()->hide();
  grid_->verticalHeader()->hide();
  grid_->horizontalHeader()->setMinimumSectionSize(0);
  grid_->horizontalHeader()->setDefaultSectionSize(kColumnWidth);
  grid_->setShowGrid(true);
  grid_->setWordWrap(false);
  // A click chooses a cell and typing edits it; a first click that opened
  // an editor would swallow the double click that recalculates.
  grid_->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed |
                         QAbstractItemView::AnyKeyPressed);
  grid_->setItemDelegate(new LineEditing(grid_, [this] { Recalculate(); }));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(header_);
  layout->addWidget(grid_);

  connect(header_, &QHeaderView::sectionResized, this, &TWatchForm::HeaderSizing);
  connect(grid_, &QTableWidget::cellDoubleClicked, this, [this](int, int) { Recalculate(); });
}

TWatchForm::~TWatchForm() = default;

void TWatchForm::SetContext(TElement* element) {
  context_.Set(element);
  contextName_ = element ? (element->HasName() ? element->GetName() : element->ClassName()) : std::string();
  watches_.SetContext(element);
}

void TWatchForm::Recalculate() {
  const int rows = grid_->rowCount();
  if (context_.IsDead()) {
    for (int row = 0; row < rows; ++row) delete grid_->takeItem(row, 1);
    platform::showInfo("Sledovaný prvek " + contextName_ + " už není načten");
    return;
  }
  watches_.SetRowCount(rows);
  for (int row = 0; row < rows; ++row) {
    QTableWidgetItem* cell = grid_->item(row, 0);
    watches_.SetLine(row, cell ? cell->text().toStdString() : std::string());
  }
  watches_.Recalculate();
  for (int row = 0; row < rows; ++row)
    grid_->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(watches_.Result(row))));
}

// The value section takes the rest of the width: at its designed 44 pixels
// the value column (20 less) could show nothing.
void TWatchForm::FillValueSection() {
  header_->resizeSection(1, std::max(header_->width() - header_->sectionSize(0), kValueWidth));
}

void TWatchForm::FormResize() {
  FillValueSection();
  grid_->setColumnWidth(0, header_->sectionSize(0));
  grid_->setColumnWidth(1, header_->sectionSize(1) - kValueMargin);
}

void TWatchForm::HeaderSizing(int section, int, int newWidth) {
  // Each section sizes its own column; the value section's width must not
  // land on the property column.
  if (section == 0) {
    if (grid_->columnWidth(0) != newWidth) grid_->setColumnWidth(0, newWidth);
    FillValueSection();
  }
  grid_->setColumnWidth(1, header_->sectionSize(1) - kValueMargin);
}

void TWatchForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FormResize();
}

void TWatchForm::closeEvent(QCloseEvent* event) {
  emit closing();
  event->accept();
}
