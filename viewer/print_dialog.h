#pragma once
// The print set-up: a window that previews a desktop with the grid of
// printer pages laid over it, lets the user choose the scale, the overlap,
// fitting, centring, line rasterising and (for multi-page desktops) the
// pages, and, once printing has started, shows the start time and the
// running duration until the job is out.
#include <QDateTime>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <string>

#include "render/desktop.h"
#include "render/print_pages.h"
#include "render/qt/qt_canvas.h"
#include "viewer/interactive_tool.h"

class QLabel;
class QLineEdit;
class QToolButton;
class QGroupBox;
class QRadioButton;
class QPushButton;
class TPrnDlg;
class TPrintDevice;
class TInterpret;

namespace viewer {
// Codes the set-up window posts to its tool.
constexpr int kScaleChanged = 109;
constexpr int kOverlapChanged = 110;
constexpr int kFitToPage = 111;
constexpr int kCenterChanged = 112;
constexpr int kRasterLinesChanged = 113;
// The program's own settings file: what the main tool names, else the
// program's name with ".INI" with the user's settings.
std::string ProgramIniFileName();
}  // namespace viewer

class TPrintDialogTool : public TInteractiveTool {
  ZELTO_ELEMENT(TPrintDialogTool)
 public:
  TPrintDialogTool();
  ~TPrintDialogTool() override;

  TPrnDlg* GetForm() const { return form_; }
  // The window lets go of its tool when it closes for good.
  void UnlinkForm() { form_ = nullptr; }
  render::qt::ImageBitmap* GetBitmap() const { return bitmap_.get(); }
  // The printer device whose paper the pages cover (not owned).
  void SetPrinterDevice(TPrintDevice* device);
  TPrintDevice* GetPrinterDevice() const;
  // Created on first use; nil once cancelled or freed by the printing.
  TPrintPages* GetPrintPages();
  TDesktop* GetDesktop() const { return static_cast<TDesktop*>(desktop_.Get()); }
  TDesktop* GetPreview() const { return preview_.get(); }
  bool GetSinglePage() const { return singlePage_; }
  void SetSinglePage(bool single) { singlePage_ = single; }
  // Where the rasterise switch is kept; the program's INI file unless set.
  std::string IniFileName;
  // What the closing message names: the printer or the file printed to.
  const std::string& GetPrinterName() const { return printerName_; }

  // Whether "Pouze stránky:" is chosen, and the text of its field.
  bool PagesChosen() const;
  std::string ChosenPages() const;
  void SetStartTime(const QDateTime& time);
  void SetCaption(const std::string& caption);
  // The interpret that draws the pages on the printer (not owned).
  void SetPrintingInterpret(TInterpret* interpret) { printing_.Set(interpret); }
  // The window closed while the pages print: the page being drawn is
  // broken off, and the print with it.
  void BreakPrinting();

  void SetInput(TElement* element) override;
  void DoIt() override;
  void Close() override;
  void HandleMessage(TZeltoMessage*& message, bool& handled) override;
  void ReView(TZeltoMessage* message, bool& handled) override;

  virtual void CreateForm();
  virtual void CreateDevice();
  virtual void AttachImageBitmap();
  virtual void CreateInterpret();
  virtual void ConnectInterpretToDevice();
  virtual bool GetVisible() const;
  virtual void SetVisible(bool visible);
  virtual void FitToPage();
  virtual void ScaleChanged();
  virtual void OverlapChanged();
  virtual void CenterChanged();
  virtual void RasterLinesChanged();

 private:
  void Envelope();
  void RequestPreview();
  void FreePreview();

  QPointer<TPrnDlg> form_;
  std::unique_ptr<render::qt::ImageBitmap> bitmap_;
  std::unique_ptr<TDesktop> preview_;
  TElementRef pages_;
  TElementRef desktop_;
  TElementRef printer_;
  TElementRef printing_;
  std::string printerName_;
  bool singlePage_ = false;
};

// Shows the tool's bitmap.
class TPreviewImage : public QWidget {
 public:
  TPreviewImage(TPrnDlg* form, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  TPrnDlg* form_;
};

class TPrnDlg : public QDialog {
 public:
  explicit TPrnDlg(TPrintDialogTool* tool);

  TPrintDialogTool* Tool() const { return tool_; }
  QLineEdit* ed_Scale = nullptr;
  QLineEdit* ed_Overlap = nullptr;
  QToolButton* b_FitToPage = nullptr;
  QToolButton* b_CenterPage = nullptr;
  QToolButton* b_CutMark = nullptr;
  QToolButton* b_RasterLines = nullptr;
  QGroupBox* g_Pages = nullptr;
  QRadioButton* r_AllPages = nullptr;
  QRadioButton* r_Pages = nullptr;
  QLineEdit* ed_Pages = nullptr;
  TPreviewImage* Image = nullptr;
  QLabel* lbStart = nullptr;
  QLabel* lbTime = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;
  QPushButton* HelpBtn = nullptr;
  QTimer* Timer = nullptr;

  bool Printing() const { return printing_; }
  // After "Tisk": the window stays open without blocking and watches the job.
  void StartWatching();
  // After a print that failed: closes without the closing message.
  void CloseFailed();
  void SetStartTime(const QDateTime& time);
  const QDateTime& StartTime() const { return start_; }
  // The last number that the field read; false (after telling the user)
  // when the text is not a number.
  bool ReadScale(double& value) const;
  bool ReadOverlap(std::int32_t& value) const;
  // The tool shows the value that its pages use.
  void ShowScale(const QString& text);
  void ShowOverlap(const QString& text);

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void accept() override;
  void reject() override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void Post(int code);
  void Tick();
  // Hands what the user typed into a number field to the tool, unless it is
  // the value in use already. False when the text is refused: the user is
  // told once and the field shows the value in use again.
  bool Take(QLineEdit* field, QString& inUse, int code);
  bool TakeScale();
  bool TakeOverlap();

  TPrintDialogTool* tool_;
  bool printing_ = false;
  bool failed_ = false;
  // A text is being taken: leaving its field for a box takes nothing more.
  bool taking_ = false;
  QString scaleInUse_;
  QString overlapInUse_;
  QDateTime start_;
};

void RegisterPrintDialogClasses();
