#pragma once
// The printer as a canvas device: creating it opens a print job and freeing
// it ends the job, so one device is one print job. The document itself may
// be started later, once the user has confirmed the set-up: a job dropped
// before that sends nothing to the spooler. Drawing passes never clear the
// paper. A print into a PDF file is written beside the file and takes its
// place only when it is whole: the PDF writer says nothing of a write that
// failed. The document is painted on a printer of its own, set up as the
// one given: the given printer, which the user's later prints use too,
// keeps nothing of it, a write that failed least of all (the PDF writer
// would drop every later write of its printer).
#include <QPrinter>
#include <memory>

#include "render/device.h"
#include "render/qt/qt_canvas.h"

namespace platform {
class StagedFile;
}

class TPrintDevice : public TCanvasDevice {
  ZELTO_ELEMENT(TPrintDevice)
 public:
  // The printer as the print set-up configured it (not owned); without one
  // the system's default printer. EZeltoError when the document cannot be
  // started.
  explicit TPrintDevice(QPrinter* printer = nullptr, bool start = true);
  ~TPrintDevice() override;

  // Starts the document; EZeltoError when it cannot be started.
  void Start();
  bool Started() const { return painter_ && painter_->isActive(); }

  // The printer as the print set-up configured it; the document is printed
  // on a copy of it.
  QPrinter* GetPrinter() const { return printer_; }
  // Starts the next sheet of the document.
  bool NewPage();
  // Ends the document: the pages go to the printer, or the file printed
  // into holds them whole. EZeltoError, with the cause, when the printer
  // refuses the job or the file cannot be written whole; the file then
  // keeps what it held. Freeing a started device ends it the same way but
  // can tell nobody.
  void Finish();
  // Drops the job: nothing reaches the printer, and the file printed into
  // keeps what it held.
  void Abort();
  // Before the document starts, the page is the printer's printable area.
  void SetupPage() override;
  // Whether any print document is open in this program. The program keeps
  // the count itself: the spooler's queue says nothing about our own job.
  static bool JobInProgress();
  // Whether lines are rasterised by the program instead of the printer.
  bool RasterizeLines = false;

  void SetTitle(const std::string& title) override;
  void BeginDraw() override {}
  void EndDraw() override {}
  // Pixel moves also become the point that LineTo compares with.
  void LineToPixel(std::int32_t x, std::int32_t y) override;
  void MoveToPixel(std::int32_t x, std::int32_t y) override;

 private:
  // Lets go of the document's canvas, painter and printer; its staged file
  // goes too unless the caller keeps what this hands back.
  std::unique_ptr<platform::StagedFile> DropDocument();

  std::unique_ptr<QPrinter> ownPrinter_;
  QPrinter* printer_ = nullptr;
  // The document's own, from Start to Finish or Abort.
  std::unique_ptr<QPrinter> job_;
  std::unique_ptr<platform::StagedFile> file_;
  std::unique_ptr<QPainter> painter_;
  std::unique_ptr<render::qt::QtCanvas> canvas_;
};
