#include "render/qt/print_device.h"

#include <QFile>
#include <QString>

ZELTO_IMPLEMENT_ELEMENT(TPrintDevice, TCanvasDevice, ZELTO_NO_PROPERTIES)

namespace {
// Print documents open in this program.
int openJobs = 0;
}  // namespace

TPrintDevice::TPrintDevice(QPrinter* printer) {
  SetName("PRINTER");
  if (!printer) {
    ownPrinter_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer = ownPrinter_.get();
  }
  printer_ = printer;
  printer_->setDocName(QStringLiteral("ZELTO VEZODA"));
  painter_ = std::make_unique<QPainter>();
  if (!painter_->begin(printer_)) throw EZeltoError("Tisk nelze zahájit");
  open_ = true;
  ++openJobs;
  GetPage()->SetPaperColor(clWhite);
  canvas_ = std::make_unique<render::qt::QtCanvas>(painter_.get());
  SetCanvas(canvas_.get());
}

TPrintDevice::~TPrintDevice() {
  SetCanvas(nullptr);
  if (painter_ && painter_->isActive()) painter_->end();
  if (open_) --openJobs;
}

void TPrintDevice::Abort() {
  printer_->abort();
  if (painter_ && painter_->isActive()) painter_->end();
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
