#include "app/det_gis_form.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "framework/errors.h"
#include "platform/user_interaction.h"

namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

// The rows of a work table that are left, every field as its text. The
// walk moves the table, so it is only done while no comparison runs.
void Fill(QTableWidget& grid, platform::DbfTable& table) {
  grid.clear();
  grid.setRowCount(0);
  if (!table.isOpen()) {
    grid.setColumnCount(0);
    return;
  }
  const auto& fields = table.fields();
  grid.setColumnCount(static_cast<int>(fields.size()));
  QStringList names;
  for (const auto& field : fields) names << Text(field.name);
  grid.setHorizontalHeaderLabels(names);
  int row = 0;
  for (bool more = table.first(); more; more = table.next(), ++row) {
    grid.insertRow(row);
    for (int f = 0; f < static_cast<int>(fields.size()); ++f)
      grid.setItem(row, f, new QTableWidgetItem(Text(table.text(f))));
  }
  table.first();
  grid.resizeColumnsToContents();
}

QTableWidget* MakeGrid(QWidget* parent, const char* name) {
  auto* grid = new QTableWidget(parent);
  grid->setObjectName(name);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->verticalHeader()->setVisible(false);
  return grid;
}

}  // namespace

TKompDETGISForm::TKompDETGISForm(detgis::GroupLimits limits, std::filesystem::path workDirectory, QWidget* parent)
    : QDialog(parent), form_(std::make_unique<TKompDETGIS>(limits, std::move(workDirectory))) {
  setObjectName("KompDETGIS");
  setAttribute(Qt::WA_DeleteOnClose, false);
  setWindowTitle(Text(form_->Caption));
  Label1 = new QLabel(Text(form_->Label1), this);
  lbCount = new QLabel(Text(form_->lbCount), this);
  lbCount->setObjectName("lbCount");
  DBGDET = MakeGrid(this, "DBGDET");
  DBGIS = MakeGrid(this, "DBGIS");
  Memo = new QPlainTextEdit(this);
  Memo->setObjectName("Memo");
  Memo->setReadOnly(true);
  btPorovnej = new QPushButton("Porovnej", this);
  btPorovnej->setObjectName("btPorovnej");
  bbprerus = new QPushButton("Přeruš", this);
  bbprerus->setObjectName("bbprerus");
  bbprerus->setEnabled(form_->bbprerusEnabled);
  BitBtn1 = new QPushButton("Zavřít", this);
  BitBtn1->setObjectName("BitBtn1");

  // Each layout has its owner before anything else is allocated: a window
  // that cannot be built whole frees what it made.
  auto* layout = new QVBoxLayout(this);
  auto* grids = new QHBoxLayout;
  layout->addLayout(grids, 3);
  grids->addWidget(DBGDET);
  grids->addWidget(DBGIS);
  auto* count = new QHBoxLayout;
  layout->addLayout(count);
  count->addWidget(Label1);
  count->addWidget(lbCount);
  count->addStretch();
  layout->addWidget(Memo, 2);
  auto* buttons = new QHBoxLayout;
  layout->addLayout(buttons);
  buttons->addWidget(btPorovnej);
  buttons->addWidget(bbprerus);
  buttons->addStretch();
  buttons->addWidget(BitBtn1);
  resize(720, 520);

  connect(btPorovnej, &QPushButton::clicked, this, [this] { compare(); });
  connect(bbprerus, &QPushButton::clicked, this, [this] { form_->bbprerusClick(); });
  connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

TKompDETGISForm::~TKompDETGISForm() = default;

void TKompDETGISForm::Open(const std::string& levelCode, const std::string& detTable, const std::string& gisTable,
                           bool allLevels) {
  form_->LevelCode = levelCode;
  form_->DETTableName = detTable;
  form_->GISTableName = gisTable;
  form_->AllLevels = allLevels;
  form_->Caption += " - vrstva " + levelCode;
  setWindowTitle(Text(form_->Caption));
}

int TKompDETGISForm::exec() {
  try {
    // Prepared once the window stands, so that the user sees it while the
    // work tables are made. Queued before the window shows: a failure to
    // queue it is told here, before the window's loop runs.
    QTimer::singleShot(0, this, [this] {
      if (!isVisible()) return;
      runCommand([this] {
        // Started at once, the comparison can be stopped as one started by hand.
        bbprerus->setEnabled(form_->AllLevels);
        form_->FormShow();
        refresh();
      });
    });
    return QDialog::exec();
  } catch (const std::exception& e) {
    hide();
    platform::showError(framework::CauseOf(e));
    return QDialog::Rejected;
  }
}

void TKompDETGISForm::runCommand(const std::function<void()>& command) {
  try {
    command();
  } catch (const std::exception& e) {
    platform::showError(framework::CauseOf(e));
    reject();
  }
}

void TKompDETGISForm::compare() {
  runCommand([this] {
    btPorovnej->setEnabled(false);
    // The walk lets the user's presses through: "Přeruš" can stop it now.
    bbprerus->setEnabled(form_->Prepared());
    form_->btPorovnejClick();
    refresh();
  });
}

void TKompDETGISForm::refresh() {
  lbCount->setText(Text(form_->lbCount));
  QStringList lines;
  for (const std::string& line : form_->Memo) lines << Text(line);
  Memo->setPlainText(lines.join('\n'));
  btPorovnej->setEnabled(form_->btPorovnejEnabled && form_->Prepared());
  bbprerus->setEnabled(form_->bbprerusEnabled);
  if (form_->GridsUpdating) {
    Fill(*DBGDET, form_->TableDET);
    Fill(*DBGIS, form_->TableGIS);
  }
}
