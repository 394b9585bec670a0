#pragma once
// Printing: what an interpret draws goes to the printer. A model prints as
// one page at the scale of the screen; a desktop first opens the print
// set-up and then prints tiled over the printer pages it chose; a
// multi-page desktop prints its pages, all or those the user named.
#include <QPrinter>

#include "framework/tool.h"

class TInterpret;
class TPrintDevice;
class TPrintDialogTool;
class TDesktop;
class TMultiPageDesktop;

class TPrint : public TTool {
  ZELTO_ELEMENT(TPrint)
 public:
  TPrint();
  ~TPrint() override;

  // The printer to print on (not owned); without one the viewer's session
  // printer, after the platform's print dialog when the system has no
  // printer set up.
  void SetPrinter(QPrinter* printer) { printer_ = printer; }

  void DoIt() override;

 private:
  QPrinter* ChoosePrinter();
  void PrintDesktop(TInterpret& interpret, TPrintDevice& printer, TDesktop& desktop);
  void PrintMultiPage(TInterpret& interpret, TPrintDevice& printer, TMultiPageDesktop& desktop);
  // The set-up window; nil (and the job dropped) when the user cancelled.
  TPrintDialogTool* RunSetUp(TInterpret& interpret, TPrintDevice& printer, TDesktop& desktop, bool singlePage);

  QPrinter* printer_ = nullptr;
};

namespace viewer {
// Prints what the interpret draws: the print set-up opens for a desktop.
void PrintWithPrinter(TInterpret* interpret, QPrinter* printer);
// The platform's print dialog first (printer or PDF file), then printing.
void PrintWithPrintDialog(TInterpret* interpret);
}  // namespace viewer

void RegisterPrintClasses();
