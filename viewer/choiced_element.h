#pragma once
// What the selectors show of a picked element: its properties in the
// property editor and its row of the attribute table in a small record
// window.
#include <QPointer>
#include <QTableWidget>
#include <QWidget>
#include <cstdint>

#include "render/interpret.h"

class TGelixDBFTable;

// Two columns, field name and value; frees itself when closed.
class TF_dbfrecForm : public QWidget {
 public:
  TF_dbfrecForm();
  QTableWidget* Grid() const { return grid_; }
  // One row per field of the table's current row, the window sized to show
  // the widest value whole.
  void ShowRecord(const TGelixDBFTable& table);

 private:
  QTableWidget* grid_;
};

class TChoicedElementInterpret : public TInterpret {
  ZELTO_ELEMENT(TChoicedElementInterpret)
 public:
  bool DontViewProps = false;
  bool DontViewDBF = false;
  // The screen position of the first window it opens. Unless a caller set
  // it, the windows open beside the opener, the record window beside the
  // property editor.
  std::int32_t GetLeft() const { return left_; }
  std::int32_t GetTop() const { return top_; }
  void SetLeft(std::int32_t value);
  void SetTop(std::int32_t value);
  // The window the user picked in; nil means the active window.
  void SetOpener(QWidget* window) { opener_ = window; }

  void DoIt() override;
  // The record window opened last; nil once it is closed.
  TF_dbfrecForm* RecordForm() const { return record_.data(); }

 private:
  QPointer<TF_dbfrecForm> record_;
  QPointer<QWidget> opener_;
  std::int32_t left_ = 0;
  std::int32_t top_ = 0;
  bool placed_ = false;
};
