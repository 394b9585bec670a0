#include "app/main_form.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <memory>

#include "app/old_main_tool.h"
#include "framework/drive_map.h"
#include "framework/errors.h"
#include "framework/file_version.h"
#include "framework/world.h"
#include "framework/zelto_message.h"
#include "gisblock/staged_block.h"
#include "platform/directory_entries.h"
#include "platform/path_resolver.h"
#include "platform/qt/window_placement.h"
#include "platform/user_interaction.h"

namespace fs = std::filesystem;

namespace {
// Runs a control's handler: what it throws is told as a failed command is,
// here, before it could leave through the toolkit's delivery. Taken as it
// is: making a function object of it could fail before the handler runs.
template <class Handler>
void Handled(const Handler& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    platform::showError(framework::CauseOf(e));
  }
}

enum DataKind { kNoData, kWorld, kMainTool, kObjectModel, kButton };

TMainForm*& mainFormReference() {
  static TMainForm* form = nullptr;
  return form;
}

QString caption() {
  TFileVersion version;
  version.SetFileName(framework::ProgramFile());
  // A program file without a version resource still gets a title.
  const std::string product = version.ProductName().empty() ? "zeltoexport" : version.ProductName();
  return QString::fromStdString(product + "  verze " + version.FileVersion() + " " + version.FileDescription());
}

// The last component of a path spelled with backslashes; empty for a root.
std::string lastComponent(const std::string& path) {
  std::string p = path;
  while (!p.empty() && p.back() == '\\') p.pop_back();
  const auto cut = p.find_last_of("\\:");
  return cut == std::string::npos ? p : p.substr(cut + 1);
}

// A code typed or taken from a directory name becomes a path component of
// directories the exports replace: only digits, at most as many as the
// field holds, so that no separator or ".." can lead elsewhere.
bool isCode(const std::string& text, std::size_t digits) {
  return !text.empty() && text.size() <= digits &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}
constexpr std::size_t kLhcDigits = 6;
constexpr std::size_t kDistrictDigits = 2;

std::string parentOf(const std::string& path) {
  std::string p = path;
  while (!p.empty() && p.back() == '\\') p.pop_back();
  const auto cut = p.find_last_of('\\');
  if (cut == std::string::npos) return p;
  std::string parent = p.substr(0, cut);
  if (parent.size() == 2 && parent[1] == ':') parent += '\\';
  return parent;
}

// Tests and accessibility tools find the controls by these names.
void nameControls(TMainForm& form) {
  form.setObjectName("TMainForm");
  const std::pair<QWidget*, const char*> controls[] = {
      {form.DriveComboBox1, "DriveComboBox1"},
      {form.DirectoryListBox1, "DirectoryListBox1"},
      {form.DET, "DET"},
      {form.dcbQVR, "dcbQVR"},
      {form.edLHC, "edLHC"},
      {form.edKodRevir, "edKodRevir"},
      {form.edLHCKOD, "edLHCKOD"},
      {form.lbRevir, "lbRevir"},
      {form.lbLHC, "lbLHC"},
      {form.btZobrazPZ, "btZobrazPZ"},
      {form.btStromNastroju, "btStromNastroju"},
      {form.btStromUdaju, "btStromUdaju"},
      {form.btPredmetuZajmu, "btPredmetuZajmu"},
      {form.btCtiLHC, "btCtiLHC"},
      {form.btExportCest, "btExportCest"},
      {form.btExportVod, "btExportVod"},
      {form.btExportPruseku, "btExportPruseku"},
      {form.btExpLinVse, "btExpLinVse"},
      {form.btUzlovaniKomunikace, "btUzlovaniKomunikace"},
      {form.btUzlovaniVody, "btUzlovaniVody"},
      {form.btCtiRevir, "btCtiRevir"},
      {form.btExpPlochPSk, "btExpPlochPSk"},
      {form.btExpDil, "btExpDil"},
      {form.btExpZRO, "btExpZRO"},
      {form.btExpOdd, "btExpOdd"},
      {form.btExpRev, "btExpRev"},
      {form.btExpBezLes, "btExpBezLes"},
      {form.btExpJP, "btExpJP"},
      {form.btExpOstatni, "btExpOstatni"},
      {form.btVse, "btVse"},
      {form.btLHC, "btLHC"},
      {form.btZRO, "btZRO"},
      {form.cbJoinExpLHC, "cbJoinExpLHC"},
      {form.CBVypis, "CBVypis"},
      {form.BitBtn1, "BitBtn1"}};
  for (auto [control, name] : controls) control->setObjectName(name);
}
}  // namespace

TMainForm::TMainForm() {
  setWindowTitle(caption());
  platform::qt::MarkMainWindow(*this);
  // Every control and layout has its owner from the start: a window that
  // cannot be built whole frees what it made.
  auto* layout = new QVBoxLayout(this);

  auto* data = new QGroupBox("Data", this);
  auto* dataLayout = new QVBoxLayout(data);
  DriveComboBox1 = new QComboBox(data);
  fillDrives(DriveComboBox1);
  DirectoryListBox1 = new QListWidget(data);
  DET = new QCheckBox("DET", data);
  DET->setEnabled(false);
  dataLayout->addWidget(DriveComboBox1);
  dataLayout->addWidget(DirectoryListBox1, 1);
  dataLayout->addWidget(DET);
  layout->addWidget(data, 1);

  auto* output = new QGroupBox(this);
  auto* outputLayout = new QGridLayout(output);
  dcbQVR = new QComboBox(output);
  fillDrives(dcbQVR);
  edLHC = new QLineEdit(output);
  edLHC->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,6}"), edLHC));
  edKodRevir = new QLineEdit(output);
  edKodRevir->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,2}"), edKodRevir));
  edLHCKOD = new QLineEdit(output);
  edLHCKOD->setInputMask("0000;_");  // four digits, each may stay blank
  edLHCKOD->setMaxLength(4);
  lbRevir = new QLabel(output);
  lbLHC = new QLabel(output);
  outputLayout->addWidget(new QLabel("QVR", output), 0, 0);
  outputLayout->addWidget(dcbQVR, 0, 1);
  outputLayout->addWidget(new QLabel("LHC", output), 1, 0);
  outputLayout->addWidget(edLHC, 1, 1);
  outputLayout->addWidget(new QLabel("kód", output), 1, 2);
  outputLayout->addWidget(edLHCKOD, 1, 3);
  outputLayout->addWidget(new QLabel("Kód revíru", output), 2, 0);
  outputLayout->addWidget(edKodRevir, 2, 1);
  outputLayout->addWidget(lbRevir, 3, 0, 1, 4);
  outputLayout->addWidget(lbLHC, 4, 0, 1, 4);
  layout->addWidget(output);

  auto* view = new QGroupBox("Zobraz", this);
  auto* viewLayout = new QHBoxLayout(view);
  btZobrazPZ = command(view, "&Předmět zájmu", 30, kWorld);
  btStromNastroju = command(view, "&Nástrojů", 108, kMainTool);
  btStromUdaju = command(view, "&Dat", 108, kObjectModel);
  btPredmetuZajmu = command(view, "Světa", 108, kWorld);
  for (auto* b : {btZobrazPZ, btStromNastroju, btStromUdaju, btPredmetuZajmu}) viewLayout->addWidget(b);
  layout->addWidget(view);

  auto* lines = new QGroupBox("Vyjm. do bloků", this);
  auto* linesLayout = new QHBoxLayout(lines);
  btCtiLHC = command(lines, "Čti linie LHC", 85);
  btExportCest = command(lines, "&Cesty", 86);
  btExportPruseku = command(lines, "Průseky", 87);
  btExportVod = command(lines, "&Vody", 88);
  btExpLinVse = command(lines, "Všechno", 89);
  for (auto* b : {btExportCest, btExportVod, btExportPruseku}) b->setEnabled(false);
  for (auto* b : {btCtiLHC, btExportCest, btExportVod, btExportPruseku, btExpLinVse}) linesLayout->addWidget(b);
  layout->addWidget(lines);

  auto* noding = new QGroupBox("Uzlování", this);
  auto* nodingLayout = new QHBoxLayout(noding);
  btUzlovaniKomunikace = command(noding, "Komunikace", 91);
  btUzlovaniVody = command(noding, "Vody", 90);
  nodingLayout->addWidget(btUzlovaniKomunikace);
  nodingLayout->addWidget(btUzlovaniVody);
  layout->addWidget(noding);

  btCtiRevir = command(this, "Čti revír", 84);
  layout->addWidget(btCtiRevir);
  auto* exports = new QGroupBox("Export", this);
  auto* exportLayout = new QGridLayout(exports);
  struct Level {
    QPushButton** button;
    const char* caption;
    int code;
    QPushButton** check;
    const char* checkName;
  };
  const Level levels[] = {
      {&btExpPlochPSk, "Sku", 95, &btKPSk, "btKPSk"},   {&btExpDil, "Dil", 97, &btkDil, "btkDil"},
      {&btExpZRO, "ZRO", 116, &btKZRO, "btKZRO"},       {&btExpOdd, "Odd", 98, &btKOdd, "btKOdd"},
      {&btExpRev, "Rev", 99, &btKRev, "btKRev"},        {&btExpBezLes, "BZL", 100, &btKBZL, "btKBZL"},
      {&btExpJP, "JP", 101, &btKJP, "btKJP"},           {&btExpOstatni, "OP", 102, &btKOP, "btKOP"},
  };
  int column = 0;
  for (const Level& level : levels) {
    *level.button = command(exports, level.caption, level.code);
    (*level.button)->setEnabled(false);
    *level.check = command(exports, "K", 105, kButton);
    (*level.check)->setObjectName(level.checkName);
    exportLayout->addWidget(*level.button, 0, column);
    exportLayout->addWidget(*level.check, 1, column);
    ++column;
  }
  btVse = command(exports, "Vše v revíru", 103);
  btVse->setEnabled(false);
  btLHC = command(exports, "LHC", 104);
  btZRO = command(exports, "ZRO", 117);
  cbJoinExpLHC = new QCheckBox("Spojovat linie", exports);
  exportLayout->addWidget(btVse, 2, 0, 1, 3);
  exportLayout->addWidget(btLHC, 2, 3);
  exportLayout->addWidget(btZRO, 2, 4);
  exportLayout->addWidget(cbJoinExpLHC, 2, 5, 1, 3);
  layout->addWidget(exports);

  auto* other = new QHBoxLayout;
  layout->addLayout(other);
  CBVypis = new QCheckBox("Vypisovat hlášení", this);
  BitBtn1 = new QPushButton("&Konec", this);
  connect(BitBtn1, &QPushButton::clicked, this,
          [this] { Handled([this] { post(zelto::msg::CloseRequest, nullptr); }); });
  other->addWidget(CBVypis);
  other->addStretch(1);
  other->addWidget(BitBtn1);

  connect(DriveComboBox1, &QComboBox::currentIndexChanged, this,
          [this] { Handled([this] { SetDirectory(std::string(1, DriveOf(DriveComboBox1)) + ":\\"); }); });
  connect(DirectoryListBox1, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    if (DirectoryListBox1->row(item) == 0) return;  // the directory shown
    Handled([this, item] {
      const std::string name = item->text().toStdString();
      if (name == "..") SetDirectory(parentOf(directory_));
      else SetDirectory(directory_ + (directory_.ends_with('\\') ? "" : "\\") + name);
    });
  });
  connect(edLHC, &QLineEdit::textChanged, this, [this] { Handled([this] { UpdateOutputPaths(); }); });
  connect(edKodRevir, &QLineEdit::textChanged, this, [this] { Handled([this] { UpdateOutputPaths(); }); });
  connect(dcbQVR, &QComboBox::currentIndexChanged, this, [this] { Handled([this] { UpdateOutputPaths(); }); });

  // Start on the drive of the GIS data tree, in its root, when one is mapped.
  for (int i = 0; i < DriveComboBox1->count(); ++i) {
    const std::string gis = DriveComboBox1->itemData(i).toString().toStdString() + ":\\GIS";
    if (platform::pathResolver().exists(gis)) {
      const QSignalBlocker quiet(DriveComboBox1);
      DriveComboBox1->setCurrentIndex(i);
      dcbQVR->setCurrentIndex(i);
      directory_ = gis;
      break;
    }
  }
  if (directory_.empty() && DriveComboBox1->count() > 0) directory_ = std::string(1, DriveOf(DriveComboBox1)) + ":\\";
  if (!directory_.empty()) SetDirectory(directory_);
  else UpdateOutputPaths();
  nameControls(*this);
}

QPushButton* TMainForm::command(QWidget* parent, const QString& caption, int code, int dataKind) {
  auto* button = new QPushButton(caption, parent);
  connect(button, &QPushButton::clicked, this, [this, button, code, dataKind] {
    Handled([&] {
      TWorld* world = GetWorld();
      switch (dataKind) {
        case kWorld: post(code, world); break;
        case kMainTool: post(code, static_cast<TElement*>(MainTool)); break;
        case kObjectModel: post(code, world ? world->GetObjectModel() : nullptr); break;
        case kButton: {
          // The check job tells the level by the name of the button pressed.
          auto which = std::make_unique<TNameElement>();
          which->SetName(button->objectName().toStdString());
          auto message = std::make_unique<TZeltoMessage>(code, which.get(), static_cast<TElement*>(MainTool),
                                                         static_cast<TElement*>(MainTool));
          message->KillData = true;
          which.release();  // the message's now
          TZeltoMessage::Post(message.release());
          break;
        }
        default: post(code, nullptr); break;
      }
    });
  });
  return button;
}

void TMainForm::post(int code, TElement* data) {
  auto* tool = static_cast<TElement*>(MainTool);
  TZeltoMessage::Post(new TZeltoMessage(code, data, tool, tool));
}

void TMainForm::fillDrives(QComboBox* box) {
  for (const auto& [letter, directory] : framework::DriveDirectories())
    box->addItem(QString("%1:  [%2]").arg(QChar(std::toupper(letter))).arg(QString::fromStdString(directory.string())),
                 QChar(std::toupper(letter)));
}

char TMainForm::DriveOf(const QComboBox* box) {
  const QString letter = box->currentData().toString();
  return letter.isEmpty() ? 'C' : letter.at(0).toLatin1();
}

void TMainForm::SetDirectory(const std::string& path) {
  directory_ = path;
  // Before the list is filled: a DET block that a killed export left aside
  // is put back, and listed under its own name.
  DirectoryChanged();
  fillDirectoryList();
}

void TMainForm::fillDirectoryList() {
  DirectoryListBox1->clear();
  // The directory itself heads the list, chosen, so that the user sees
  // where the read commands will read.
  auto* current = new QListWidgetItem(QString::fromStdString(directory_), DirectoryListBox1);
  QFont bold = current->font();
  bold.setBold(true);
  current->setFont(bold);
  DirectoryListBox1->setCurrentItem(current);
  if (!lastComponent(directory_).empty()) DirectoryListBox1->addItem("..");
  std::error_code ec;
  const fs::path native = platform::pathResolver().existing(directory_);
  // A block that a killed job left only aside is the user's block still: it
  // goes back under its name before the list is read.
  gisblock::putBackBlocksLeftAside(directory_);
  QStringList names;
  // What a killed export left beside its blocks is cleared by the next one
  // and is nothing to enter; a block aside that could not go back is its
  // reader's to name.
  for (const std::string& name : platform::directoryEntries(native, ec))
    if (!gisblock::isBlockWorkName(name) && fs::is_directory(native / name, ec)) names << QString::fromStdString(name);
  names.sort(Qt::CaseInsensitive);
  DirectoryListBox1->addItems(names);
}

void TMainForm::DirectoryChanged() {
  edKodRevir->clear();
  edLHC->clear();
  const std::string name = lastComponent(directory_);
  if (!name.empty()) {
    platform::BusyCursor hourglass;
    // A DET block a writer is putting in place, or one that cannot be put
    // back, is still the district's: its read says what stops it.
    std::string refused;
    DET->setChecked(gisblock::findBlock(directory_ + "\\DET.BLK", refused) != gisblock::BlockFound::Missing);
    if (DET->isChecked()) {
      edKodRevir->setText(QString::fromStdString(name));
      edLHC->setText(QString::fromStdString(lastComponent(parentOf(directory_))));
    }
  } else {
    DET->setChecked(false);
  }
  UpdateOutputPaths();
}

void TMainForm::UpdateOutputPaths() {
  const std::string d(1, DriveOf(dcbQVR));
  const std::string lhc = edLHC->text().toStdString();
  const std::string district = edKodRevir->text().toStdString();
  if (OutputCodeProblem().empty()) {
    lbRevir->setText(QString::fromStdString(d + ":\\GIS\\" + lhc + "\\" + district));
    lbLHC->setText(QString::fromStdString(d + ":\\GIS\\" + lhc));
  } else {
    lbRevir->setText(QString::fromStdString(d + ":\\GIS\\LHC\\RevirX"));
    lbLHC->setText(QString::fromStdString(d + ":\\GIS\\LHCX"));
  }
}

std::string TMainForm::OutputCodeProblem() const {
  const std::string lhc = edLHC->text().toStdString();
  if (!isCode(lhc, kLhcDigits)) return "Špatný kód LHC: " + (lhc.empty() ? std::string("(nezadán)") : lhc);
  const std::string district = edKodRevir->text().toStdString();
  if (!isCode(district, kDistrictDigits))
    return "Špatný kód revíru: " + (district.empty() ? std::string("(nezadán)") : district);
  return {};
}

void TMainForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (centred_) return;
  centred_ = true;
  platform::qt::CentreOnScreen(*this);
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (CloseAllowed) {
    event->accept();
    return;
  }
  event->ignore();
  post(zelto::msg::CloseRequest, nullptr);
}

TMainForm* CreateMainForm() {
  DestroyMainForm();
  auto* form = new TMainForm;
  mainFormReference() = form;
  return form;
}

TMainForm* MainForm() { return mainFormReference(); }
QWidget* MainFormWidget() { return mainFormReference(); }

void DestroyMainForm() {
  delete mainFormReference();
  mainFormReference() = nullptr;
}
