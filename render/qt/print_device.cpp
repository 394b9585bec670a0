#include "render/qt/print_device.h"

#include <QPrintEngine>
#include <QString>
#include <QVariant>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

#include "platform/system_cause.h"
#include "platform/whole_file.h"

ZELTO_IMPLEMENT_ELEMENT(TPrintDevice, TCanvasDevice, ZELTO_NO_PROPERTIES)

namespace {
// Print documents open in this program.
int openJobs = 0;
constexpr double kThinnestLineMm = 0.1;

// Whether the PDF is whole: it ends with "%%EOF", and the offset given
// before that leads to its cross-reference section. A write that failed
// on the way cuts the end off or moves what follows it.
bool WholePdf(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary | std::ios::ate);
  const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : 0;
  const std::streamoff tailSize = std::min<std::streamoff>(size, 1024);
  std::string tail(static_cast<std::size_t>(tailSize), '\0');
  in.seekg(size - tailSize);
  if (!in.read(tail.data(), tailSize)) return false;
  while (!tail.empty() && std::isspace(static_cast<unsigned char>(tail.back()))) tail.pop_back();
  const std::size_t start = tail.rfind("startxref");
  if (!tail.ends_with("%%EOF") || start == std::string::npos) return false;
  std::size_t at = start + 9;
  while (at < tail.size() && std::isspace(static_cast<unsigned char>(tail[at]))) ++at;
  std::streamoff offset = 0;
  for (; at < tail.size() && std::isdigit(static_cast<unsigned char>(tail[at])); ++at)
    offset = offset * 10 + (tail[at] - '0');
  if (offset <= 0 || offset >= size) return false;
  // A table ("xref") or a cross-reference stream ("12 0 obj").
  std::string section(16, '\0');
  in.seekg(offset);
  in.read(section.data(), static_cast<std::streamsize>(section.size()));
  section.resize(static_cast<std::size_t>(in.gcount()));
  return section.starts_with("xref") || (!section.empty() && std::isdigit(static_cast<unsigned char>(section[0])) &&
                                         section.find(" obj") != std::string::npos);
}

// Why the PDF writer could not write on: the file is made to grow by as
// much as the writer's buffer holds, and what stops it is the cause. None
// when it grows: the space is there again.
std::error_code WhyWritingStopped(const std::filesystem::path& file) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0) return {errno, std::generic_category()};
  const std::string chunk(1 << 16, '\0');
  std::string_view left = chunk;
  int error = 0;
  while (!left.empty() && error == 0) {
    const ssize_t n = ::write(fd, left.data(), left.size());
    if (n > 0) left.remove_prefix(static_cast<std::size_t>(n));
    else if (n < 0 && errno != EINTR) error = errno;
    else if (n == 0) error = EIO;
  }
  ::close(fd);
  return {error, std::generic_category()};
}

// Where the platform's print dialog keeps the options it hands to CUPS
// (pages per sheet, odd or even pages, the printer's own options): a key
// of the print engine that Qt does not name in its public headers.
const auto kCupsOptions = static_cast<QPrintEngine::PrintEnginePropertyKey>(0xfe00);

// A printer for one document, set up as `user` is: the printer or the file,
// the paper and what the platform's dialogs chose. Qt's printer has no copy
// of its own.
std::unique_ptr<QPrinter> JobPrinter(const QPrinter& user) {
  auto job = std::make_unique<QPrinter>(QPrinter::HighResolution);
  if (user.outputFormat() == QPrinter::NativeFormat) job->setPrinterName(user.printerName());
  job->setOutputFormat(user.outputFormat());
  // An empty name would turn the printer from a file back to the spooler.
  if (!user.outputFileName().isEmpty()) job->setOutputFileName(user.outputFileName());
  job->setPdfVersion(user.pdfVersion());
  job->setDocName(user.docName());
  job->setCreator(user.creator());
  job->setResolution(user.resolution());
  job->setColorMode(user.colorMode());
  job->setDuplex(user.duplex());
  job->setCopyCount(user.copyCount());
  job->setCollateCopies(user.collateCopies());
  job->setPageOrder(user.pageOrder());
  job->setPaperSource(user.paperSource());
  job->setFontEmbeddingEnabled(user.fontEmbeddingEnabled());
  job->setPrintRange(user.printRange());
  job->setPageRanges(user.pageRanges());
  job->setFullPage(user.fullPage());
  job->setPageLayout(user.pageLayout());
  if (const QVariant options = user.printEngine()->property(kCupsOptions); options.isValid())
    job->printEngine()->setProperty(kCupsOptions, options);
  return job;
}

// Where the PDF writer writes instead of the file the printer names; none
// when the printer prints on paper.
std::unique_ptr<platform::StagedFile> StageFile(QPrinter& job) {
  const QString name = job.outputFileName();
  if (job.outputFormat() != QPrinter::PdfFormat || name.isEmpty()) return nullptr;
  auto staged = std::make_unique<platform::StagedFile>(name.toStdString());
  if (!staged->ok())
    throw EZeltoError("soubor " + name.toStdString() + " nelze zapsat: " + platform::systemCause(staged->error()));
  job.setOutputFileName(QString::fromStdString(staged->path().string()));
  return staged;
}
}  // namespace

TPrintDevice::TPrintDevice(QPrinter* printer, bool start) {
  SetName("PRINTER");
  if (!printer) {
    ownPrinter_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer = ownPrinter_.get();
  }
  printer_ = printer;
  printer_->setDocName(QStringLiteral("ZELTO VEZODA"));
  GetPage()->SetPaperColor(clWhite);
  SetupPage();
  if (start) Start();
  ++openJobs;
}

TPrintDevice::~TPrintDevice() {
  SetCanvas(nullptr);
  try {
    Finish();
  } catch (const std::exception&) {
    // Freeing can tell nobody: a caller that must know finishes first.
  }
  --openJobs;
}

void TPrintDevice::Start() {
  if (Started()) return;
  // Everything the document needs is made for it, and what a start that
  // failed made goes with it.
  std::unique_ptr<QPrinter> job = JobPrinter(*printer_);
  std::unique_ptr<platform::StagedFile> staged = StageFile(*job);
  auto painter = std::make_unique<QPainter>();
  if (!painter->begin(job.get())) throw EZeltoError("Tisk nelze zahájit");
  job_ = std::move(job);
  file_ = std::move(staged);
  painter_ = std::move(painter);
  canvas_ = std::make_unique<render::qt::QtCanvas>(painter_.get());
  // One pixel of a printer (0.02 mm at 1,200 dpi) is too fine to see on
  // paper, and the printer's own thinnest line is no wider: no line is
  // printed thinner than 0.1 mm, whether the printer draws it or a bitmap
  // of the page does.
  canvas_->SetThinnestLine(static_cast<std::int32_t>(std::lround(kThinnestLineMm * job_->logicalDpiX() / 25.4)));
  SetCanvas(canvas_.get());
}

std::unique_ptr<platform::StagedFile> TPrintDevice::DropDocument() {
  SetCanvas(nullptr);
  canvas_.reset();
  painter_.reset();
  job_.reset();
  return std::move(file_);
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

void TPrintDevice::Finish() {
  if (!Started()) return;
  const bool ended = painter_->end() && job_->printerState() != QPrinter::Error;
  const std::unique_ptr<platform::StagedFile> staged = DropDocument();
  if (!ended) throw EZeltoError("tiskárna tisk nepřijala");
  if (!staged) return;
  const std::string shown = staged->file().string();
  if (!WholePdf(staged->path())) {
    const std::error_code why = WhyWritingStopped(staged->path());
    throw EZeltoError(why ? "soubor " + shown + " nelze zapsat: " + platform::systemCause(why)
                          : "soubor " + shown + " se nezapsal celý");
  }
  if (!staged->commit())
    throw EZeltoError("soubor " + shown + " nelze zapsat: " + platform::systemCause(staged->error()));
}

void TPrintDevice::Abort() {
  if (!Started()) return;
  job_->abort();
  painter_->end();
  DropDocument();
}

bool TPrintDevice::JobInProgress() { return openJobs > 0; }

bool TPrintDevice::NewPage() { return job_ && job_->newPage(); }

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
