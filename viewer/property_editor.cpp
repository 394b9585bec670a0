#include "viewer/property_editor.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <exception>

#include "framework/class_registry.h"
#include "framework/element_class.h"
#include "framework/entity.h"
#include "framework/problem_report.h"
#include "framework/property_access.h"
#include "framework/string_utils.h"
#include "framework/value_text.h"
#include "framework/zelto_message.h"
#include "gisblock/gelix_dbf_table.h"
#include "platform/qt/window_placement.h"
#include "platform/user_interaction.h"
#include "viewer/interaction_events.h"
#include "viewer/record_viewer.h"

namespace {

constexpr int kShowInViewer = 30;

// Files of the model take a number that does not read as 0; typed by the
// user, it is a typo that would overwrite the value without a word.
bool ReadsAsValueOf(const TPropInfo& info, const std::string& text) {
  std::int32_t number = 0;
  switch (info.Kind) {
    case TTypeKind::tkInteger:
    case TTypeKind::tkInt64: return framework::ParseWholeNumber(text, number);
    case TTypeKind::tkFloat: return IsFloatText(text);
    default: return true;
  }
}
constexpr int kBrowseModel = 36;
constexpr int kBrowseOwners = 37;

// Enumerations are edited by picking one of their names, so that a typo
// cannot leave the property unchanged behind the user's back.
class ValueDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    const QStringList names = index.data(TFProp::NamesRole).toStringList();
    if (names.isEmpty()) return QStyledItemDelegate::createEditor(parent, option, index);
    auto* box = new QComboBox(parent);
    box->addItems(names);
    return box;
  }
  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
      box->setCurrentText(index.data(Qt::EditRole).toString());
      return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
  }
  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
      model->setData(index, box->currentText(), Qt::EditRole);
      return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
  }
};

QTableWidget* NewGrid(QWidget* parent) {
  auto* grid = new QTableWidget(1, 2, parent);
  grid->horizontalHeader()->hide();
  // The value column takes what the name column leaves, at every size of
  // the window and on every page, including the ones not yet shown.
  grid->horizontalHeader()->setStretchLastSection(true);
  grid->verticalHeader()->hide();
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid->setSelectionMode(QAbstractItemView::SingleSelection);
  grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                        QAbstractItemView::AnyKeyPressed);
  grid->setItemDelegateForColumn(1, new ValueDelegate(grid));
  return grid;
}

std::string ObjectText(TElement* object) { return object ? object->GetName() : "nil"; }

QString Q(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<int>(text.size())); }

}  // namespace

const TElementClass& FrameworkBaseClass(const TElement& element) {
  for (const TElementClass* cls : {&TOwnerEntity::StaticClass(), &TNameEntity::StaticClass(),
                                   &TEntity::StaticClass(), &TOwnerElement::StaticClass(),
                                   &TNameElement::StaticClass()})
    if (element.InheritsFrom(*cls)) return *cls;
  return TElement::StaticClass();
}

ZELTO_IMPLEMENT_ELEMENT(TObjectPropertyEditor, TTool, [](auto& p) {
  p.Integer("IntegerProp", &TObjectPropertyEditor::IntegerProp, &TObjectPropertyEditor::IntegerProp);
  TFormPlacement::Declare<TObjectPropertyEditor>(p);
})

void RegisterPropertyEditorClasses() { RegisterZeltoClass(TObjectPropertyEditor::StaticClass()); }

TObjectPropertyEditor::~TObjectPropertyEditor() {
  if (form_) {
    form_->Detach();
    delete form_.data();
  }
}

TFProp* TObjectPropertyEditor::Form() {
  if (!form_) form_ = new TFProp(this);
  return form_.data();
}

QWidget* TObjectPropertyEditor::PlacedForm() { return Form(); }

void TObjectPropertyEditor::DoIt() {
  instance_.Set(Input());
  TElement* instance = Instance();
  if (!instance) return;
  shownName_ = instance->HasName() ? instance->GetName() : instance->ClassName();
  TFProp* form = Form();
  std::string name;
  GetPropTextByName(instance, "NAME", name);
  form->lbClassName->setText(Q(name + " : " + instance->ClassName()));
  form->Pages()->setTabEnabled(0, true);
  form->Pages()->setTabText(0, Q(FrameworkBaseClass(*instance).ClassName()));
  FillGrids();
  platform::qt::PlaceOnOpening(*form, opener_);
  form->show();
}

void TObjectPropertyEditor::HandleMessage(TZeltoMessage*& message, bool& handled) {
  TTool::HandleMessage(message, handled);
  if (handled || message->Message != zelto::msg::GridDoubleClick) return;
  if (auto* event = dynamic_cast<TZeltoMouseEvent*>(message)) CellAction(event->Y, event->X);
  handled = true;
}

void TObjectPropertyEditor::FillGrids() {
  TElement* instance = Instance();
  if (!form_) return;
  TFProp* form = form_.data();
  if (!instance) {
    form->ClearGrids();  // the element is gone: show nothing rather than stale values
    return;
  }
  form->SetFilling(true);
  form->ClearGrids();
  try {
    const TElementClass& cls = instance->ClassType();
    const int baseCount = FrameworkBaseClass(*instance).PropertyCount();
    for (int i = 0; i < cls.PropertyCount(); ++i) {
      const TPropInfo* info = cls.Property(i);
      const int kind = static_cast<int>(info->Kind);
      std::string value;
      if (info->Kind == TTypeKind::tkClass)
        value = ObjectText(info->GetObj ? info->GetObj(*instance) : nullptr);
      else
        GetPropTextByIndex(instance, i, value);
      QTableWidget* grid = i < baseCount                         ? form->sgElementProperties
                           : info->Kind == TTypeKind::tkMethod ? form->sgMethods
                                                               : form->sgAscProperties;
      QStringList names;
      if (info->Kind == TTypeKind::tkEnumeration)
        for (const std::string& n : info->EnumNames) names << Q(n);
      form->AddRow(grid, info->Name, value, kind, names, info->HasSetter());
    }
  } catch (const std::exception& error) {
    platform::showError(std::string("Chyba při plnění formuláře vlastností (") + error.what() + ")");
  }
  form->SetFilling(false);
}

bool TObjectPropertyEditor::StillLoaded() {
  if (Instance()) return true;
  FillGrids();
  if (instance_.WasSet())
    platform::showInfo("Zobrazovaný prvek " + shownName_ + " už není načten, okno vlastností je prázdné");
  return false;
}

void TObjectPropertyEditor::CellAction(int column, int row) {
  if (!StillLoaded() || !form_) return;
  TElement* instance = Instance();
  TFProp* form = form_.data();
  if (column == 0) {
    platform::showInfo(instance->ClassName());
    if (auto* table = dynamic_cast<TGelixDBFTable*>(instance)) {
      if (IntegerProp > 0) table->LocateCislo(IntegerProp);
      auto* view = new TF_ViewData(table, form);
      view->setModal(true);
      view->show();
      records_ = view;
    }
    return;
  }
  QTableWidget* grid = form->CurrentGrid();
  if (row < 0 || row >= grid->rowCount() || !grid->item(row, 0)) return;
  const std::string name = grid->item(row, 0)->text().toStdString();
  const std::string value = grid->item(row, 1) ? grid->item(row, 1)->text().toStdString() : std::string();
  const int index = IndexOfProp(instance, name);
  if (index < 0) return;
  if (const TPropInfo& info = *instance->ClassType().Property(index); info.Kind != TTypeKind::tkClass) {
    // A value that does not fit is told at once: the user is at the grid.
    zelto::ProblemTally problems;
    if (ReadsAsValueOf(info, value))
      SetPropTextByName(instance, name, value);
    else
      zelto::ReportProblem("Vlastnost " + info.Name + " nelze nastavit na text " + value);
    if (!problems.empty()) platform::showError(problems.Summary());
  } else if (TElement* object = GetObjectPropByName(instance, name)) {
    auto* nested = new TObjectPropertyEditor;
    nested->SetOpener(form);
    // A table shows the record of the element that holds it.
    if (dynamic_cast<TGelixDBFTable*>(object)) nested->IntegerProp = instance->GetPropertyInt("CISLO");
    nested->SetInput(object);
    nested->DoIt();
    nested_ = nested->Form();
  }
  FillGrids();
}

// The tool that opened this one frees it when told it closed; nobody else
// would free an orphan.
void TObjectPropertyEditor::FormClosed() {
  form_ = nullptr;
  if (IsOrphan())
    delete this;
  else
    PostMessage(zelto::msg::CloseRequest, this);
}

TFProp::TFProp(TObjectPropertyEditor* editor, QWidget* parent) : QWidget(parent), editor_(editor) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle("Properties");
  // Room for a screenful of properties; the value column takes the rest.
  resize(560, 460);
  auto* layout = new QVBoxLayout(this);
  pages_ = new QTabWidget(this);
  sgElementProperties = NewGrid(pages_);
  sgAscProperties = NewGrid(pages_);
  sgMethods = NewGrid(pages_);
  pages_->addTab(sgElementProperties, "El.vlastnosti");
  pages_->addTab(sgAscProperties, "Vlastnosti");
  pages_->addTab(sgMethods, "Metody");
  pages_->setTabEnabled(0, false);
  layout->addWidget(pages_);
  // Owned at once: a window that cannot be built whole frees what it made.
  auto* panel = new QHBoxLayout;
  layout->addLayout(panel);
  lbClassName = new QLabel("TElement", this);
  btExplore = new QPushButton("Model", this);
  btZobraz = new QPushButton("Zobraz", this);
  btOwners = new QPushButton(QString::fromUtf8("Vlastníci"), this);
  panel->addWidget(lbClassName, 1);
  panel->addWidget(btExplore);
  panel->addWidget(btZobraz);
  panel->addWidget(btOwners);
  setObjectName("TFProp");
  const std::pair<QWidget*, const char*> named[] = {
      {sgElementProperties, "sgElementProperties"}, {sgAscProperties, "sgAscProperties"}, {sgMethods, "sgMethods"},
      {lbClassName, "lbClassName"}, {btExplore, "btExplore"}, {btZobraz, "btZobraz"}, {btOwners, "btOwners"}};
  for (auto [widget, name] : named) widget->setObjectName(name);
  connect(btExplore, &QPushButton::clicked, this, [this] { PostToMain(kBrowseModel); });
  connect(btZobraz, &QPushButton::clicked, this, [this] { PostToMain(kShowInViewer); });
  connect(btOwners, &QPushButton::clicked, this, [this] { PostToMain(kBrowseOwners); });
  for (QTableWidget* grid : {sgElementProperties, sgAscProperties, sgMethods}) {
    connect(grid, &QTableWidget::cellChanged, this,
            [this, grid](int row, int column) { CellChanged(grid, row, column); });
    connect(grid, &QTableWidget::cellDoubleClicked, this,
            [this, grid](int row, int column) { CellActivated(grid, row, column); });
    grid->installEventFilter(this);
  }
}

TFProp::~TFProp() = default;

QTableWidget* TFProp::CurrentGrid() const { return static_cast<QTableWidget*>(pages_->currentWidget()); }

int TFProp::SelRow() const { return CurrentGrid()->currentRow(); }

std::string TFProp::PropName() const {
  // Row 0 holds the first property: the grids have no fixed title row.
  const QTableWidgetItem* cell = SelRow() >= 0 ? CurrentGrid()->item(SelRow(), 0) : nullptr;
  return cell ? cell->text().toStdString() : std::string();
}

std::string TFProp::PropString() const {
  const QTableWidgetItem* cell = SelRow() >= 0 ? CurrentGrid()->item(SelRow(), 1) : nullptr;
  return cell ? cell->text().toStdString() : std::string();
}

void TFProp::ClearGrids() {
  for (QTableWidget* grid : {sgElementProperties, sgAscProperties, sgMethods}) {
    grid->clearContents();
    grid->setRowCount(1);
  }
}

void TFProp::AddRow(QTableWidget* grid, const std::string& name, const std::string& value, int kind,
                    const QStringList& enumNames, bool writable) {
  int row = grid->rowCount();
  if (row == 1 && !grid->item(0, 0))
    row = 0;
  else
    grid->setRowCount(row + 1);
  auto* nameCell = new QTableWidgetItem(Q(name));
  nameCell->setFlags(nameCell->flags() & ~Qt::ItemIsEditable);
  auto* valueCell = new QTableWidgetItem(Q(value));
  valueCell->setData(KindRole, kind);
  if (!enumNames.isEmpty()) valueCell->setData(NamesRole, enumNames);
  // An object is changed through its own nested editor, not by typing.
  if (!writable || kind == static_cast<int>(TTypeKind::tkClass) || kind == static_cast<int>(TTypeKind::tkMethod))
    valueCell->setFlags(valueCell->flags() & ~Qt::ItemIsEditable);
  grid->setItem(row, 0, nameCell);
  grid->setItem(row, 1, valueCell);
}

void TFProp::CellChanged(QTableWidget* grid, int row, int column) {
  if (filling_ || !editor_ || column < 1 || grid != CurrentGrid()) return;
  // Refilling from inside the grid's own signal would delete the item Qt is
  // still handling; let the change settle first.
  QMetaObject::invokeMethod(
      this, [this, row] { if (editor_) editor_->CellAction(1, row); }, Qt::QueuedConnection);
}

void TFProp::CellActivated(QTableWidget* grid, int row, int column) {
  if (!editor_ || grid != CurrentGrid()) return;
  const QTableWidgetItem* cell = grid->item(row, 1);
  const bool objectCell = cell && cell->data(KindRole).toInt() == static_cast<int>(TTypeKind::tkClass);
  if (column == 0 || objectCell) editor_->CellAction(column, row);
}

// Enter on a cell acts as a double click on it. A key that reaches the grid
// is not typed into a cell: while a value is edited, its editor has the keys.
bool TFProp::eventFilter(QObject* watched, QEvent* event) {
  auto* grid = qobject_cast<QTableWidget*>(watched);
  if (grid && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && grid->currentRow() >= 0) {
      CellActivated(grid, grid->currentRow(), grid->currentColumn());
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TFProp::PostToMain(int code) {
  // No receiver: the main tool takes it. Without an element the main tool
  // would open an empty viewer, or nothing, without a word.
  if (editor_ && editor_->StillLoaded()) editor_->PostMessage(code, nullptr, editor_->Input());
}

void TFProp::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (TObjectPropertyEditor* editor = editor_) {
    editor_ = nullptr;
    editor->FormClosed();
  }
}

TF_ViewData* TObjectPropertyEditor::RecordView() const { return static_cast<TF_ViewData*>(records_.data()); }
