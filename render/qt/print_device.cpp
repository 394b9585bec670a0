#include "render/qt/print_device.h"

#include <QFile>
#include <QString>
#include <cmath>

ZELTO_IMPLEMENT_ELEMENT(TPrintDevice, TCanvasDevice, ZELTO_NO_PROPERTIES)

namespace {
// Print documents open in this program.
int openJobs = 0;
constexpr double kThinnestLineMm = 0.1;
}  // namespace

TPrintDevice::TPrintDevice(QPrinter* printer, bool start) {
  SetName("PRINTER");
  if (!printer) {
    ownPrinter_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer = ownPrinter_.get();
  }
  printer_ = printer;
  printer_->setDocName(QStringLiteral("ZELTO VEZODA"));
  painter_ = std::make_unique<QPainter>();
  GetPage()->SetPaperColor(clWhite);
  SetupPage();
  if (start) Start();
  ++openJobs;
}

TPrintDevice::~TPrintDevice() {
  SetCanvas(nullptr);
  if (Started()) painter_->end();
  --openJobs;
}

void TPrintDevice::Start() {
  if (Started()) return;
  if (!painter_->begin(printer_)) throw EZeltoError("Tisk nelze zahájit");
  canvas_ = std::make_unique<render::qt::QtCanvas>(painter_.get());
  // One pixel of a printer (0.02 mm at 1,200 dpi) is too fine to see on
  // paper, and the printer's own thinnest line is no wider: no line is
  // printed thinner than 0.1 mm, whether the printer draws it or a bitmap
  // of the page does.
  canvas_->SetThinnestLine(static_cast<std::int32_t>(std::lround(kThinnestLineMm * printer_->logicalDpiX() / 25.4)));
  SetCanvas(canvas_.get());
}

void TPrintDevice::SetupPage() {
  if (Started()) {
    TCanvasDevice::SetupPage();
    return;
  }
  T_Page* page = GetPage();
  const TDeviceRect area{0, 0, printer_->width(), printer_->height()};
  page->SetPageRect(area);
  page->SetInnerRect(area);
  page->SetResolution(printer_->logicalDpiX() * 1000.0 / 25.4, printer_->logicalDpiY() * 1000.0 / 25.4);
  TPageProjection* pr = GetProjection();
  pr->Setup({pr->GetCenterX(), pr->GetCenterY()}, page, pr->GetScale());
}

void TPrintDevice::Abort() {
  if (!Started()) return;
  printer_->abort();
  painter_->end();
  const QString file = printer_->outputFileName();
  if (!file.isEmpty()) QFile::remove(file);
}

bool TPrintDevice::JobInProgress() { return openJobs > 0; }

bool TPrintDevice::NewPage() { return printer_->newPage(); }

void TPrintDevice::SetTitle(const std::string& title) {
  printer_->setDocName(QString::fromStdString(title));
}

void TPrintDevice::LineToPixel(std::int32_t x, std::int32_t y) {
  TCanvasDevice::LineToPixel(x, y);
  LastX = x;
  LastY = y;
}

void TPrintDevice::MoveToPixel(std::int32_t x, std::int32_t y) {
  TCanvasDevice::MoveToPixel(x, y);
  LastX = x;
  LastY = y;
}
