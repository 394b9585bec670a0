#include "viewer/scale_dialog.h"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <cmath>

#include "framework/string_utils.h"

Tf_SetScale::Tf_SetScale(QWidget* parent) : QDialog(parent) {
  setObjectName("Tf_SetScale");
  setWindowTitle(QString::fromUtf8("Nastavení měřítka"));
  combo_ = new QComboBox(this);
  combo_->setObjectName("Combo");
  combo_->setEditable(true);
  for (const char* entry : {"100", "1000", "2500", "5000", "10000", "100000", "1000000", "Zobraz vše"})
    combo_->addItem(QString::fromUtf8(entry));
  ok_ = new QPushButton("OK", this);
  ok_->setObjectName("b_OK");
  ok_->setDefault(true);
  cancel_ = new QPushButton("Storno", this);
  cancel_->setObjectName("b_Cancel");
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  // Each layout has its owner before anything else is allocated: a window
  // that cannot be built whole frees what it made.
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(combo_);
  auto* buttons = new QHBoxLayout;
  layout->addLayout(buttons);
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
}

void Tf_SetScale::ShowScale(double scale) {
  combo_->setEditText(QString::number(static_cast<long long>(std::llround(scale))));
}

double Tf_SetScale::ChosenScale() const {
  return StrToFloatLenient(combo_->currentText().trimmed().toStdString());
}
