#pragma once
// The main window: the data choice, the output paths and the command
// buttons. It holds no logic of its own: every button posts its command code
// to the main tool, and the jobs read the window's fields.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>
#include <string>

class TElement;
class TOldMainTool;

class TMainForm : public QWidget {
 public:
  TMainForm();

  TOldMainTool* MainTool = nullptr;
  bool CloseAllowed = false;

  // Data choice.
  QComboBox* DriveComboBox1 = nullptr;
  QListWidget* DirectoryListBox1 = nullptr;
  QCheckBox* DET = nullptr;
  // Output paths.
  QComboBox* dcbQVR = nullptr;
  QLineEdit* edLHC = nullptr;
  QLineEdit* edKodRevir = nullptr;
  QLineEdit* edLHCKOD = nullptr;
  QLabel* lbRevir = nullptr;
  QLabel* lbLHC = nullptr;
  // View.
  QPushButton* btZobrazPZ = nullptr;
  QPushButton* btStromNastroju = nullptr;
  QPushButton* btStromUdaju = nullptr;
  QPushButton* btPredmetuZajmu = nullptr;
  // Lines.
  QPushButton* btCtiLHC = nullptr;
  QPushButton* btExportCest = nullptr;
  QPushButton* btExportVod = nullptr;
  QPushButton* btExportPruseku = nullptr;
  QPushButton* btExpLinVse = nullptr;
  QPushButton* btUzlovaniKomunikace = nullptr;
  QPushButton* btUzlovaniVody = nullptr;
  // District.
  QPushButton* btCtiRevir = nullptr;
  QPushButton* btExpPlochPSk = nullptr;
  QPushButton* btExpDil = nullptr;
  QPushButton* btExpZRO = nullptr;
  QPushButton* btExpOdd = nullptr;
  QPushButton* btExpRev = nullptr;
  QPushButton* btExpBezLes = nullptr;
  QPushButton* btExpJP = nullptr;
  QPushButton* btExpOstatni = nullptr;
  QPushButton* btVse = nullptr;
  QPushButton* btLHC = nullptr;
  QPushButton* btZRO = nullptr;
  QPushButton* btKPSk = nullptr;
  QPushButton* btkDil = nullptr;
  QPushButton* btKZRO = nullptr;
  QPushButton* btKOdd = nullptr;
  QPushButton* btKRev = nullptr;
  QPushButton* btKBZL = nullptr;
  QPushButton* btKJP = nullptr;
  QPushButton* btKOP = nullptr;
  QCheckBox* cbJoinExpLHC = nullptr;
  // Other.
  QCheckBox* CBVypis = nullptr;
  QPushButton* BitBtn1 = nullptr;

  // The drive letter chosen in a drive box ('C' when none is mapped).
  static char DriveOf(const QComboBox* box);
  // The directory chosen in the directory list, spelled "D:\GIS\LHC\R01";
  // "D:\" for a drive's root.
  std::string Directory() const { return directory_; }
  void SetDirectory(const std::string& path);
  void UpdateOutputPaths();
  // Why lbRevir and lbLHC hold placeholders: "Špatný kód LHC: " or "Špatný
  // kód revíru: " with what the user typed or the directory gave; empty
  // when both codes form the output paths.
  std::string OutputCodeProblem() const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  // The first showing centres the window on its screen.
  void showEvent(QShowEvent* event) override;

 private:
  QPushButton* command(QWidget* parent, const QString& caption, int code, int dataKind = 0);
  void post(int code, TElement* data);
  void fillDrives(QComboBox* box);
  void fillDirectoryList();
  void DirectoryChanged();

  std::string directory_;
  bool centred_ = false;
};

// The program-wide main window: created through CreateMainForm by the main
// tool's start, gone with the application.
TMainForm* CreateMainForm();
TMainForm* MainForm();
QWidget* MainFormWidget();
// Forgets (and frees) the main window; tests start each case afresh.
void DestroyMainForm();
