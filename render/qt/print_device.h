#pragma once
// The printer as a canvas device: creating it opens a print job and freeing
// it ends the job, so one device is one print job. The document itself may
// be started later, once the user has confirmed the set-up: a job dropped
// before that sends nothing to the spooler. Drawing passes never clear the
// paper.
#include <QPrinter>
#include <memory>

#include "render/device.h"
#include "render/qt/qt_canvas.h"

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

  QPrinter* GetPrinter() const { return printer_; }
  // Starts the next sheet of the document.
  bool NewPage();
  // Drops the job: nothing reaches the printer, and a file being written is
  // removed.
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
  std::unique_ptr<QPrinter> ownPrinter_;
  QPrinter* printer_ = nullptr;
  std::unique_ptr<QPainter> painter_;
  std::unique_ptr<render::qt::QtCanvas> canvas_;
};
