#include "viewer/choiced_element.h"

#include <QHeaderView>
#include <QPointer>
#include <QVBoxLayout>
#include <algorithm>

#include "geometry/space_entity.h"
#include "gisblock/gelix_dbf_table.h"
#include "gisblock/gelix_props.h"
#include "platform/qt/window_placement.h"
#include "platform/user_interaction.h"
#include "viewer/property_editor.h"

ZELTO_IMPLEMENT_ELEMENT(TChoicedElementInterpret, TInterpret, [](auto& p) {
  using E = TChoicedElementInterpret;
  p.Boolean("DontViewProps", &E::DontViewProps, &E::DontViewProps);
  p.Boolean("DontViewDBF", &E::DontViewDBF, &E::DontViewDBF);
  p.Integer("Left", &E::GetLeft, &E::SetLeft);
  p.Integer("Top", &E::GetTop, &E::SetTop);
})

namespace {
constexpr int kNameColumnWidth = 100;
// The grid's frame and a vertical scroll bar beside the two columns.
constexpr int kBesideColumns = 20;
constexpr int kVisibleRows = 20;
}  // namespace

TF_dbfrecForm::TF_dbfrecForm() {
  setObjectName("TF_dbfrecForm");
  setWindowTitle("F_dbfrecForm");
  setAttribute(Qt::WA_DeleteOnClose);
  grid_ = new QTableWidget(0, 2, this);
  grid_->setObjectName("StringGrid1");
  grid_->horizontalHeader()->hide();
  grid_->verticalHeader()->hide();
  // The window shows the record; nothing typed here would reach the table.
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(grid_);
}

void TF_dbfrecForm::ShowRecord(const TGelixDBFTable& table) {
  const auto& fields = table.Fields().fields();
  grid_->setRowCount(static_cast<int>(fields.size()));
  // The value column as wide as its widest value is drawn in the grid's
  // font, margins and grid line included: a count of characters cuts wide
  // letters off, and more of any value in a larger font. A window wider
  // than the screen is shrunk to it when it opens, and the grid scrolls.
  int widest = 0;
  for (int row = 0; row < static_cast<int>(fields.size()); ++row) {
    grid_->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(fields[row].name)));
    grid_->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(table.Fields().text(row))));
    widest = std::max(widest, grid_->sizeHintForIndex(grid_->model()->index(row, 1)).width());
  }
  if (grid_->showGrid()) ++widest;
  grid_->setColumnWidth(0, kNameColumnWidth);
  grid_->setColumnWidth(1, widest);
  const int rowHeight = grid_->verticalHeader()->defaultSectionSize();
  const int rows = grid_->rowCount();
  const int height = rows >= kVisibleRows ? kVisibleRows * rowHeight + 28 : (rowHeight + 1) * rows + 28;
  resize(kNameColumnWidth + widest + kBesideColumns, height);
}

void TChoicedElementInterpret::SetLeft(std::int32_t value) {
  left_ = value;
  placed_ = true;
}

void TChoicedElementInterpret::SetTop(std::int32_t value) {
  top_ = value;
  placed_ = true;
}

void TChoicedElementInterpret::DoIt() {
  TElement* input = Input();
  if (!input) return;
  QWidget* opener = opener_;
  bool placeRecord = placed_;
  if (!DontViewProps) {
    // The editor frees itself when its window closes.
    auto* editor = new TObjectPropertyEditor;
    editor->SetInput(input);
    if (placed_) {
      editor->SetLeft(left_);
      editor->SetTop(top_);
    }
    editor->SetOpener(opener);
    editor->DoIt();
    // Both windows of one pick stay in sight: the record goes beside the
    // editor.
    if (editor->Form()->isVisible()) {
      opener = editor->Form();
      placeRecord = false;
    }
  }
  auto* entity = dynamic_cast<TSpaceEntity*>(input);
  if (DontViewDBF || !entity || !dynamic_cast<TGelixProps*>(entity->GetProperties())) return;
  platform::BusyCursor hourglass;
  TGelixDBFTable table;
  auto* form = new TF_dbfrecForm;
  record_ = form;
  if (table.LocateElement(entity)) {
    form->ShowRecord(table);
    if (placeRecord) form->move(left_, top_);
    platform::qt::PlaceOnOpening(*form, opener);
    form->show();
  } else {
    // Nobody could close a window that is never shown.
    form->deleteLater();
  }
  table.Close();
}
