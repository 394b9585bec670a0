#pragma once
// The data view of an attribute table: its live rows in a grid, one column
// per field, with a navigator that moves the table's current row. The view
// reads the rows when it is built; the table keeps the row chosen last.
#include <QDialog>
#include <cstdint>
#include <vector>

class QLabel;
class QTableWidget;
class TGelixDBFTable;

class TF_ViewData : public QDialog {
  Q_OBJECT
 public:
  explicit TF_ViewData(TGelixDBFTable* table, QWidget* parent = nullptr);

  QTableWidget* Grid() const { return grid_; }
  // Grid row of the table's current record; -1 when it is on none.
  int CurrentRow() const;
  void First();
  void Prior();
  void Next();
  void Last();

 private:
  void Load();
  void GoTo(int row);

  TGelixDBFTable* table_;
  QTableWidget* grid_ = nullptr;
  std::vector<std::uint32_t> recNos_;  // physical record number of each grid row
};
