#include "viewer/print_dialog.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QTime>
#include <QVBoxLayout>
#include <cmath>
#include <filesystem>

#include "framework/class_registry.h"
#include "framework/ini_file.h"
#include "framework/settings.h"
#include "framework/message_dispatch.h"
#include "framework/world.h"
#include "platform/system_cause.h"
#include "platform/user_interaction.h"
#include "render/bitmap_device.h"
#include "render/interpret.h"
#include "render/qt/print_device.h"
#include "render/universal_interpret.h"
#include "render/universal_script_creator.h"

ZELTO_IMPLEMENT_ELEMENT(TPrintDialogTool, TInteractiveTool, [](auto& p) {
  p.String("IniFileName", &TPrintDialogTool::IniFileName, &TPrintDialogTool::IniFileName);
})

namespace {
constexpr const char* kSection = "PRINT";
constexpr const char* kRasterKey = "RasterizeLinesByZelto";
constexpr int kPreviewSize = 360;

QString u(const char* text) { return QString::fromUtf8(text); }

QToolButton* switchButton(QWidget* parent, const char* name, const char* text, const char* hint) {
  auto* b = new QToolButton(parent);
  b->setObjectName(name);
  b->setText(u(text));
  b->setToolTip(u(hint));
  b->setCheckable(true);
  return b;
}

// A number in either decimal separator.
bool parseReal(QString text, double& value) {
  bool ok = false;
  value = text.trimmed().replace(',', '.').toDouble(&ok);
  return ok;
}

// The times the window shows are written the Czech way whatever the
// system's locale says: "7. 12. 2026 8:35:14" for a moment, "8:35:14" for
// a time of day. A duration is hours, minutes and seconds, no time of day:
// it names no time zone and goes on past 24 hours.
QString momentText(const QDateTime& moment) { return moment.toString(u("d. M. yyyy H:mm:ss")); }
QString clockText(const QTime& time) { return time.toString(u("H:mm:ss")); }
QString durationText(qint64 milliseconds) {
  const qint64 seconds = std::max<qint64>(0, milliseconds / 1000);
  return QString("%1:%2:%3")
      .arg(seconds / 3600)
      .arg(seconds / 60 % 60, 2, 10, QChar('0'))
      .arg(seconds % 60, 2, 10, QChar('0'));
}
}  // namespace

std::string viewer::ProgramIniFileName() {
  if (TWorld* world = GetWorld())
    if (TElement* main = world->GetMainTool(); main && main->HasProperty("IniFileName")) {
      std::string name;
      main->GetPropertyText("IniFileName", name);
      if (!name.empty()) return name;
    }
  return framework::ProgramSettingsFilePath();
}

// ---- TPrintDialogTool ----

TPrintDialogTool::TPrintDialogTool() {
  CreateForm();
  CreateDevice();
  AttachImageBitmap();
  CreateInterpret();
  ConnectInterpretToDevice();
}

TPrintDialogTool::~TPrintDialogTool() {
  Close();
  if (auto* device = dynamic_cast<TCanvasDevice*>(GetDevice())) device->SetCanvas(nullptr);
}

void TPrintDialogTool::CreateForm() { form_ = new TPrnDlg(this); }

void TPrintDialogTool::CreateDevice() { SetDevice(new TImageCanvasDevice); }

void TPrintDialogTool::AttachImageBitmap() {
  const QSize size = form_->Image->size();
  bitmap_ = std::make_unique<render::qt::ImageBitmap>(std::max(1, size.width()), std::max(1, size.height()));
  if (auto* device = dynamic_cast<TBitmapDevice*>(GetDevice())) device->SetBitmap(bitmap_.get());
}

void TPrintDialogTool::CreateInterpret() {
  TUniversalGelixScriptCreator creator;
  creator.DoIt();
  auto* interpret = new TUniversalInterpret;
  if (auto* script = dynamic_cast<TInterpretScript*>(creator.Output())) interpret->SetScript(script);
  SetInterpret(interpret);
}

void TPrintDialogTool::ConnectInterpretToDevice() {
  if (GetInterpret()) GetInterpret()->SetDevice(GetDevice());
}

bool TPrintDialogTool::GetVisible() const { return form_ && form_->isVisible(); }

void TPrintDialogTool::SetVisible(bool visible) {
  if (form_) form_->setVisible(visible);
  if (GetDevice()) GetDevice()->SetupPage();
}

void TPrintDialogTool::SetPrinterDevice(TPrintDevice* device) {
  printer_.Set(device);
  if (QPrinter* printer = device ? device->GetPrinter() : nullptr)
    printerName_ = (printer->outputFileName().isEmpty() ? printer->printerName() : printer->outputFileName()).toStdString();
  if (TPrintPages* pages = static_cast<TPrintPages*>(pages_.Get())) pages->Device = device;
}

TPrintDevice* TPrintDialogTool::GetPrinterDevice() const { return static_cast<TPrintDevice*>(printer_.Get()); }

TPrintPages* TPrintDialogTool::GetPrintPages() {
  if (auto* pages = static_cast<TPrintPages*>(pages_.Get())) return pages;
  if (pages_.WasSet()) return nullptr;  // freed by the printing or the cancel
  auto* pages = new TPrintPages;
  pages->Device = GetPrinterDevice();
  pages->SetSinglePage(singlePage_);
  pages_.Set(pages);
  SetOutput(pages);
  return pages;
}

bool TPrintDialogTool::PagesChosen() const { return form_ && form_->r_Pages->isChecked(); }

std::string TPrintDialogTool::ChosenPages() const {
  return PagesChosen() ? form_->ed_Pages->text().toStdString() : std::string();
}

void TPrintDialogTool::SetStartTime(const QDateTime& time) {
  if (form_) form_->SetStartTime(time);
}

void TPrintDialogTool::SetCaption(const std::string& caption) {
  if (form_) form_->setWindowTitle(QString::fromStdString(caption));
}

void TPrintDialogTool::BreakPrinting() {
  // Between two pages the interpret is idle: the pages, gone with this
  // tool, stop the printing there, and a break kept would stop the next
  // drawing of the screen.
  if (auto* interpret = static_cast<TInterpret*>(printing_.Get()); interpret && interpret->GetBusy())
    interpret->SetBreakWork(true);
}

void TPrintDialogTool::SetInput(TElement* element) {
  auto* desktop = dynamic_cast<TDesktop*>(element);
  if (!desktop) return;
  desktop_.Set(desktop);
  FreePreview();
  preview_ = std::make_unique<TDesktop>();
  if (TPrintPages* pages = GetPrintPages()) {
    pages->SetDesktop(desktop);
    preview_->AddAndExtend(pages);
  }
  // The desktop's outline over the white pages, so that the user sees where
  // the desktop lies on them; filled, it would hide the grid inside it.
  auto* frame = new TDrawRectangle;
  frame->GetRectangle()->Assign(&desktop->Rect());
  frame->PenWidth = 0.002;
  frame->PenColor = 255;
  frame->BrushColor = 0xFFFFFF;
  frame->BrushStyle = bsClear;
  preview_->AddAndExtend(frame);
  TInteractiveTool::SetInput(preview_.get());
}

void TPrintDialogTool::Envelope() {
  if (preview_) preview_->RecalcEnvelope();
}

void TPrintDialogTool::RequestPreview() { PostMessage(zelto::msg::ReviewRequest, this); }

void TPrintDialogTool::DoIt() {
  if (!Input() || !form_) return;
  if (IniFileName.empty()) IniFileName = viewer::ProgramIniFileName();
  const bool raster = TRealIniFile(IniFileName).ReadBool(kSection, kRasterKey, false);
  form_->b_RasterLines->setChecked(raster);
  if (TPrintDevice* printer = GetPrinterDevice()) printer->RasterizeLines = raster;
  form_->b_CenterPage->setChecked(true);
  if (TPrintPages* pages = GetPrintPages()) pages->SetCentered(true);
  Envelope();
  form_->g_Pages->setVisible(singlePage_);
  if (form_->exec() != QDialog::Accepted) {
    SetOutput(nullptr);
    FreePreview();
    if (form_) {
      form_->deleteLater();
      form_ = nullptr;
    }
    return;
  }
  form_->StartWatching();
}

void TPrintDialogTool::FreePreview() {
  if (auto* pages = static_cast<TPrintPages*>(pages_.Get())) delete pages;
  if (preview_) TInteractiveTool::SetInput(nullptr);
  preview_.reset();
}

void TPrintDialogTool::Close() {
  if (form_) {
    form_->Timer->stop();
    TPrnDlg* form = form_;
    form_ = nullptr;
    form->deleteLater();
  }
  FreePreview();
}

void TPrintDialogTool::HandleMessage(TZeltoMessage*& message, bool& handled) {
  TInteractiveTool::HandleMessage(message, handled);
  if (handled || !message) return;
  handled = true;
  switch (message->Message) {
    case zelto::msg::CloseRequest: Close(); break;
    case viewer::kScaleChanged: ScaleChanged(); break;
    case viewer::kOverlapChanged: OverlapChanged(); break;
    case viewer::kFitToPage: FitToPage(); break;
    case viewer::kCenterChanged: CenterChanged(); break;
    case viewer::kRasterLinesChanged: RasterLinesChanged(); break;
    case zelto::msg::EndOfDrawing:
      if (form_) form_->Image->update();
      break;
    default: handled = false;
  }
}

void TPrintDialogTool::ReView(TZeltoMessage* message, bool& handled) {
  auto* input = dynamic_cast<TRectEntity*>(Input());
  TDevice* device = GetDevice();
  if (!input || !device) return;
  device->SetupPage();
  device->GetPage()->SetPaperColor(RGBColor(128, 128, 128));
  device->GetProjection()->ShowWorldRect({input->GetMinX(), input->GetMinY(), input->GetMaxX(), input->GetMaxY()},
                                         device->GetPage());
  TInteractiveTool::ReView(message, handled);
  if (form_) form_->Image->update();
}

void TPrintDialogTool::FitToPage() {
  TPrintPages* pages = GetPrintPages();
  TDesktop* desktop = GetDesktop();
  TPrintDevice* printer = GetPrinterDevice();
  if (!form_ || !form_->b_FitToPage->isChecked() || !pages || !desktop || !printer) return;
  const double ov = 2 * pages->GetOverlap();
  const double fx = desktop->GetWidth() / (printer->GetPaperWidth() - ov);
  const double fy = desktop->GetHeight() / (printer->GetPaperHeight() - ov);
  const double factor = fx > fy ? fx : fy;
  pages->SetScaleFactor(factor);
  form_->ShowScale(QString::number(factor, 'f', 2));
  Envelope();
  RequestPreview();
}

void TPrintDialogTool::ScaleChanged() {
  double factor = 0;
  TPrintPages* pages = GetPrintPages();
  if (!form_ || !pages || !form_->ReadScale(factor)) return;
  pages->SetScaleFactor(factor);
  form_->b_FitToPage->setChecked(false);
  Envelope();
  RequestPreview();
}

void TPrintDialogTool::OverlapChanged() {
  std::int32_t millimetres = 0;
  TPrintPages* pages = GetPrintPages();
  if (!form_ || !pages || !form_->ReadOverlap(millimetres)) return;
  const double overlap = millimetres / 1000.0;
  // Fitting divides by the paper less twice the overlap: that must stay
  // positive, or the pages would never advance across the desktop.
  if (TPrintDevice* printer = GetPrinterDevice();
      printer && (printer->GetPaperWidth() - 2 * overlap <= 0 || printer->GetPaperHeight() - 2 * overlap <= 0)) {
    platform::showError("Přesah " + std::to_string(millimetres) + " mm je na papír tiskárny příliš velký");
    form_->ShowOverlap(QString::number(static_cast<int>(std::lround(pages->GetOverlap() * 1000))));
    return;
  }
  pages->SetOverlap(overlap);
  form_->b_FitToPage->setChecked(false);
  Envelope();
  RequestPreview();
}

void TPrintDialogTool::CenterChanged() {
  TPrintPages* pages = GetPrintPages();
  if (!form_ || !pages) return;
  pages->SetCentered(form_->b_CenterPage->isChecked());
  Envelope();
  RequestPreview();
}

void TPrintDialogTool::RasterLinesChanged() {
  if (!form_) return;
  const bool raster = form_->b_RasterLines->isChecked();
  if (IniFileName.empty()) IniFileName = viewer::ProgramIniFileName();
  if (TPrintDevice* printer = GetPrinterDevice()) printer->RasterizeLines = raster;
  // The settings directory is made on the first setting kept.
  std::error_code ec;
  if (const std::filesystem::path dir = std::filesystem::path(IniFileName).parent_path(); !dir.empty())
    std::filesystem::create_directories(dir, ec);
  if (TRealIniFile ini(IniFileName); !ini.WriteBool(kSection, kRasterKey, raster))
    platform::showError("Nastavení tisku nelze uložit do souboru " + IniFileName + ": " +
                        (ec ? platform::systemCause(ec) : ini.WriteError()));
}

// ---- TPreviewImage, TPrnDlg ----

TPreviewImage::TPreviewImage(TPrnDlg* form, QWidget* parent) : QWidget(parent), form_(form) {
  setObjectName("Image");
  setFixedSize(kPreviewSize, kPreviewSize);
}

void TPreviewImage::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  TPrintDialogTool* tool = form_->Tool();
  if (tool && tool->GetBitmap())
    painter.drawImage(0, 0, tool->GetBitmap()->Image());
  else
    painter.fillRect(rect(), Qt::gray);
}

TPrnDlg::TPrnDlg(TPrintDialogTool* tool) : tool_(tool) {
  setObjectName("TPrnDlg");
  setWindowTitle(u("Tiskový dialog"));
  setModal(true);

  ed_Scale = new QLineEdit("1", this);
  ed_Scale->setObjectName("ed_Scale");
  ed_Overlap = new QLineEdit("0", this);
  ed_Overlap->setObjectName("ed_Overlap");
  scaleInUse_ = ed_Scale->text();
  overlapInUse_ = ed_Overlap->text();
  b_FitToPage = switchButton(this, "b_FitToPage", "Zarovnat", "Zarovnat na stránku");
  b_CenterPage = switchButton(this, "b_CenterPage", "Vycentrovat", "Vycentrovat v rámci stránky (stránek)");
  b_CutMark = switchButton(this, "b_CutMark", "Ořez", "Značky pro ořez");
  b_RasterLines = switchButton(this, "b_RasterLines", "Rastrovat", "Rastrovat linie prostředky Zeltou ");

  g_Pages = new QGroupBox(this);
  g_Pages->setObjectName("g_Pages");
  r_AllPages = new QRadioButton(u("Všechno"), g_Pages);
  r_AllPages->setObjectName("r_AllPages");
  r_AllPages->setChecked(true);
  r_Pages = new QRadioButton(u("Pouze stránky:"), g_Pages);
  r_Pages->setObjectName("r_Pages");
  ed_Pages = new QLineEdit(g_Pages);
  ed_Pages->setObjectName("ed_Pages");
  ed_Pages->setEnabled(false);
  // Each layout has its owner before anything else is allocated: a window
  // that cannot be built whole frees what it made.
  auto* pagesLayout = new QVBoxLayout(g_Pages);
  pagesLayout->addWidget(r_AllPages);
  auto* onlyRow = new QHBoxLayout;
  pagesLayout->addLayout(onlyRow);
  onlyRow->addWidget(r_Pages);
  onlyRow->addWidget(ed_Pages);

  Image = new TPreviewImage(this, this);
  lbStart = new QLabel(this);
  lbStart->setObjectName("lbStart");
  lbTime = new QLabel(this);
  lbTime->setObjectName("lbTime");
  OKBtn = new QPushButton(u("Tisk"), this);
  OKBtn->setObjectName("OKBtn");
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton(u("Storno"), this);
  CancelBtn->setObjectName("CancelBtn");
  HelpBtn = new QPushButton(u("&Nápověda"), this);
  HelpBtn->setObjectName("HelpBtn");
  Timer = new QTimer(this);
  Timer->setObjectName("Timer");
  Timer->setInterval(250);

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(Image);
  auto* side = new QVBoxLayout;
  layout->addLayout(side);
  auto* fields = new QGridLayout;
  side->addLayout(fields);
  fields->addWidget(new QLabel(u("Měřítko 1 : "), this), 0, 0);
  fields->addWidget(ed_Scale, 0, 1);
  fields->addWidget(new QLabel(u("Přesah v mm:"), this), 1, 0);
  fields->addWidget(ed_Overlap, 1, 1);
  auto* switches = new QHBoxLayout;
  side->addLayout(switches);
  for (QToolButton* b : {b_FitToPage, b_CenterPage, b_CutMark, b_RasterLines}) switches->addWidget(b);
  side->addWidget(g_Pages);
  auto* times = new QHBoxLayout;
  side->addLayout(times);
  times->addWidget(new QLabel(u("Start:"), this));
  times->addWidget(lbStart);
  times->addWidget(lbTime);
  times->addStretch();
  side->addStretch();
  side->addWidget(OKBtn);
  side->addWidget(CancelBtn);
  side->addWidget(HelpBtn);

  connect(ed_Scale, &QLineEdit::editingFinished, this, [this] { TakeScale(); });
  connect(ed_Overlap, &QLineEdit::editingFinished, this, [this] { TakeOverlap(); });
  ed_Scale->installEventFilter(this);
  ed_Overlap->installEventFilter(this);
  connect(b_FitToPage, &QToolButton::clicked, this, [this] { Post(viewer::kFitToPage); });
  connect(b_CenterPage, &QToolButton::clicked, this, [this] { Post(viewer::kCenterChanged); });
  connect(b_RasterLines, &QToolButton::clicked, this, [this] { Post(viewer::kRasterLinesChanged); });
  connect(r_Pages, &QRadioButton::toggled, ed_Pages, &QLineEdit::setEnabled);
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &TPrnDlg::reject);
  connect(Timer, &QTimer::timeout, this, &TPrnDlg::Tick);
}

void TPrnDlg::Post(int code) {
  if (tool_) tool_->PostMessage(code, tool_);
}

bool TPrnDlg::ReadScale(double& value) const {
  if (parseReal(ed_Scale->text(), value)) return true;
  platform::showError("'" + ed_Scale->text().toStdString() + "' není platné reálné číslo");
  return false;
}

bool TPrnDlg::ReadOverlap(std::int32_t& value) const {
  bool ok = false;
  value = ed_Overlap->text().trimmed().toInt(&ok);
  if (ok) return true;
  platform::showError("'" + ed_Overlap->text().toStdString() + "' není platné celé číslo");
  return false;
}

void TPrnDlg::ShowScale(const QString& text) {
  ed_Scale->setText(text);
  scaleInUse_ = text;
}

void TPrnDlg::ShowOverlap(const QString& text) {
  ed_Overlap->setText(text);
  overlapInUse_ = text;
}

bool TPrnDlg::Take(QLineEdit* field, QString& inUse, int code) {
  const QString typed = field->text();
  if (taking_ || typed == inUse) return true;
  taking_ = true;
  double real = 0;
  std::int32_t integer = 0;
  const bool reads = field == ed_Scale ? ReadScale(real) : ReadOverlap(integer);
  // Taken at once: a "Tisk" that follows prints with it.
  if (reads && tool_) tool_->SendMessage(code, tool_);
  taking_ = false;
  if (!reads) {
    field->setText(inUse);
    return false;
  }
  // The tool refuses a value it cannot use by showing the one in use.
  if (field->text() != typed) return false;
  inUse = typed;
  return true;
}

bool TPrnDlg::TakeScale() { return Take(ed_Scale, scaleInUse_, viewer::kScaleChanged); }

bool TPrnDlg::TakeOverlap() { return Take(ed_Overlap, overlapInUse_, viewer::kOverlapChanged); }

bool TPrnDlg::eventFilter(QObject* watched, QEvent* e) {
  // Return in a field would also press "Tisk", the default button: a text
  // refused there keeps the window open for the user to mend it.
  if (e->type() == QEvent::KeyPress && (watched == ed_Scale || watched == ed_Overlap)) {
    const int key = static_cast<QKeyEvent*>(e)->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !(watched == ed_Scale ? TakeScale() : TakeOverlap()))
      return true;
  }
  return QDialog::eventFilter(watched, e);
}

void TPrnDlg::accept() {
  // What prints is what the fields show: a text typed but not yet taken is
  // taken now, and one refused keeps the window open.
  if (!printing_ && (!TakeScale() || !TakeOverlap())) return;
  QDialog::accept();
}

void TPrnDlg::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (!printing_) Post(zelto::msg::ReviewRequest);
}

void TPrnDlg::StartWatching() {
  setWindowTitle(u("... tiskne se"));
  for (QWidget* w : std::initializer_list<QWidget*>{OKBtn, b_FitToPage, b_CenterPage, b_CutMark, b_RasterLines,
                                                    ed_Scale, ed_Overlap})
    w->setEnabled(false);
  setModal(false);
  printing_ = true;
  show();
  Timer->start();
}

void TPrnDlg::CloseFailed() {
  failed_ = true;
  Timer->stop();
  close();
}

void TPrnDlg::SetStartTime(const QDateTime& time) {
  start_ = time;
  lbStart->setText(clockText(time.time()));
}

void TPrnDlg::Tick() {
  if (TPrintDevice::JobInProgress()) {
    const qint64 ms = start_.msecsTo(QDateTime::currentDateTime());
    lbTime->setText(durationText(ms));
    return;
  }
  Timer->stop();
  close();
}

void TPrnDlg::reject() {
  Timer->stop();
  if (printing_)
    close();
  else
    QDialog::reject();
}

void TPrnDlg::closeEvent(QCloseEvent* e) {
  // Before "Tisk" closing is "Storno"; afterwards the window goes at once
  // (the dialog's own handling would call reject, which closes it again).
  if (!printing_ || !tool_) {
    QDialog::closeEvent(e);
    return;
  }
  e->accept();
  // Closed while the pages print: the user breaks the print off, and the
  // printing says so once it has dropped the job.
  if (!failed_ && TPrintDevice::JobInProgress()) tool_->BreakPrinting();
  if (!failed_ && !TPrintDevice::JobInProgress()) {
    const QDateTime now = QDateTime::currentDateTime();
    platform::showInfo(momentText(now).toStdString() + "\r\rUkončen tisk na \"" + tool_->GetPrinterName() +
                       "\"\r\rTrvání: " + durationText(start_.msecsTo(now)).toStdString());
  }
  // The window outlived the print loop; it frees its tool and then itself.
  TPrintDialogTool* tool = tool_;
  tool_ = nullptr;
  tool->UnlinkForm();
  delete tool;
  deleteLater();
}

void RegisterPrintDialogClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterZeltoClass(TPrintDialogTool::StaticClass());
}
