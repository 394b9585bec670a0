#pragma once
// The scale dialog: a scale picked from the list or typed in.
#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <string>

class Tf_SetScale : public QDialog {
 public:
  explicit Tf_SetScale(QWidget* parent = nullptr);
  QComboBox* Combo() const { return combo_; }
  // The scale shown, to the nearest integer.
  void ShowScale(double scale);
  // The text as a number (a '.' may stand for the decimal comma); 0 when it
  // is none, such as "Zobraz vše".
  double ChosenScale() const;

 private:
  QComboBox* combo_;
  QPushButton* ok_;
  QPushButton* cancel_;
};
