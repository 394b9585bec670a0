#include "viewer/record_viewer.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

#include "gisblock/gelix_dbf_table.h"
#include "platform/dbase_table.h"
#include "platform/user_interaction.h"

namespace {

QString Q(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<int>(text.size())); }

}  // namespace

TF_ViewData::TF_ViewData(TGelixDBFTable* table, QWidget* parent) : QDialog(parent), table_(table) {
  setObjectName("TF_ViewData");
  setWindowTitle(QString::fromUtf8("Prohlížení zdroje dat"));
  setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QVBoxLayout(this);
  // Owned at once: a window that cannot be built whole frees what it made.
  auto* navigator = new QHBoxLayout;
  layout->addLayout(navigator);
  const std::pair<const char*, void (TF_ViewData::*)()> buttons[] = {
      {"|<", &TF_ViewData::First}, {"<", &TF_ViewData::Prior}, {">", &TF_ViewData::Next}, {">|", &TF_ViewData::Last}};
  for (const auto& [caption, move] : buttons) {
    auto* button = new QPushButton(caption, this);
    connect(button, &QPushButton::clicked, this, move);
    navigator->addWidget(button);
  }
  navigator->addStretch();
  grid_ = new QTableWidget(this);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  layout->addWidget(grid_);
  try {
    Load();
  } catch (const std::exception& error) {
    // A damaged file shows what could be read and says why it stopped.
    platform::showError(error.what());
  }
  connect(grid_, &QTableWidget::currentCellChanged, this, [this](int row) { GoTo(row); });
}

void TF_ViewData::Load() {
  platform::DbfTable& fields = table_->Fields();
  if (!fields.isOpen()) return;
  const std::uint32_t current = fields.recNo();
  const auto& columns = fields.fields();
  grid_->setColumnCount(static_cast<int>(columns.size()));
  QStringList captions;
  for (const auto& field : columns) captions << Q(field.name);
  grid_->setHorizontalHeaderLabels(captions);
  for (bool more = fields.first(); more; more = fields.next()) {
    const int row = grid_->rowCount();
    grid_->insertRow(row);
    recNos_.push_back(fields.recNo());
    for (int column = 0; column < static_cast<int>(columns.size()); ++column)
      grid_->setItem(row, column, new QTableWidgetItem(Q(fields.text(column))));
  }
  // Walking the rows must not lose the record the caller positioned on.
  if (current != 0) fields.moveTo(current);
  const auto at = std::find(recNos_.begin(), recNos_.end(), current);
  if (at != recNos_.end()) grid_->setCurrentCell(static_cast<int>(at - recNos_.begin()), 0);
}

int TF_ViewData::CurrentRow() const {
  const std::uint32_t current = table_->Fields().isOpen() ? table_->Fields().recNo() : 0;
  const auto at = std::find(recNos_.begin(), recNos_.end(), current);
  return at == recNos_.end() ? -1 : static_cast<int>(at - recNos_.begin());
}

void TF_ViewData::GoTo(int row) {
  if (row < 0 || row >= static_cast<int>(recNos_.size())) return;
  table_->Fields().moveTo(recNos_[static_cast<std::size_t>(row)]);
  if (grid_->currentRow() != row) grid_->setCurrentCell(row, std::max(0, grid_->currentColumn()));
}

void TF_ViewData::First() { GoTo(0); }
void TF_ViewData::Prior() { GoTo(std::max(0, CurrentRow() - 1)); }
void TF_ViewData::Next() {
  const int row = CurrentRow();
  GoTo(row < 0 ? 0 : std::min(row + 1, static_cast<int>(recNos_.size()) - 1));
}
void TF_ViewData::Last() { GoTo(static_cast<int>(recNos_.size()) - 1); }
