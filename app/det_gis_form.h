#pragma once
// The window of the DET-GIS comparison: the two grids of the rows that
// disagree, the listing of the disagreements and their count, and the
// buttons that compare, interrupt and close. The comparison itself is the
// form's state (TKompDETGIS); this window shows it.
#include <QDialog>
#include <filesystem>
#include <functional>
#include <memory>

#include "areas/det_gis_compare.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

class TKompDETGISForm : public QDialog {
 public:
  // The work tables go to `workDirectory` (the current directory when empty).
  TKompDETGISForm(detgis::GroupLimits limits, std::filesystem::path workDirectory = {}, QWidget* parent = nullptr);
  ~TKompDETGISForm() override;

  TKompDETGIS& Form() { return *form_; }
  // Sets the tables and the level and names the level in the caption.
  void Open(const std::string& levelCode, const std::string& detTable, const std::string& gisTable, bool allLevels);

  QLabel* Label1 = nullptr;
  QLabel* lbCount = nullptr;
  QTableWidget* DBGDET = nullptr;
  QTableWidget* DBGIS = nullptr;
  QPushButton* btPorovnej = nullptr;
  QPushButton* bbprerus = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPlainTextEdit* Memo = nullptr;

  // Shows the window and prepares the tables once it stands. A failure
  // (memory ran out) while it opens, prepares or compares is told in a box
  // and leaves the window closed: the program goes on.
  int exec() override;

 private:
  void compare();
  // Everything the form holds, into the widgets.
  void refresh();
  // The one place where a failure of the window's work is caught: thrown
  // on, it would leave the window's event loop unwound under it.
  void runCommand(const std::function<void()>& command);

  std::unique_ptr<TKompDETGIS> form_;
};
