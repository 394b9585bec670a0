#include "viewer/print_tool.h"

#include <QDateTime>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <new>
#include <string>
#include <vector>

#include "framework/class_registry.h"
#include "framework/integer_list.h"
#include "framework/message_dispatch.h"
#include "platform/user_interaction.h"
#include "render/desktop.h"
#include "render/interpret.h"
#include "render/print_pages.h"
#include "render/qt/print_device.h"
#include "framework/errors.h"
#include "viewer/print_dialog.h"
#include "viewer/print_entry.h"

ZELTO_IMPLEMENT_ELEMENT(TPrint, TTool, ZELTO_NO_PROPERTIES)

TPrint::TPrint() = default;
TPrint::~TPrint() = default;

QPrinter* TPrint::ChoosePrinter() {
  if (printer_) return printer_;
  QPrinter& session = viewer::SessionPrinter();
  if (QPrinterInfo::defaultPrinter().isNull()) {
    // No printer is set up: the user may still print into a PDF file.
    QPrintDialog dialog(&session);
    if (dialog.exec() != QDialog::Accepted) return nullptr;
  }
  return &session;
}

void TPrint::DoIt() {
  TTool::DoIt();
  auto* interpret = dynamic_cast<TInterpret*>(Input());
  if (!interpret) return;
  TDevice* saved = interpret->GetDevice();
  if (!saved) {
    platform::showError("Není nastaveno zařízení interpretru");
    return;
  }
  if (TPrintDevice::JobInProgress()) {
    platform::showError("Dosud se tiskne");
    return;
  }
  QPrinter* qprinter = ChoosePrinter();
  if (!qprinter) return;
  std::unique_ptr<TPrintDevice> printer;
  try {
    // The document starts once there is something to print.
    printer = std::make_unique<TPrintDevice>(qprinter, false);
    TPageProjection* from = saved->GetProjection();
    TPageProjection* to = printer->GetProjection();
    to->Setup({from->GetCenterX(), from->GetCenterY()}, printer->GetPage(), from->GetScale());
    to->SetVirtualScale(from->GetVirtualScale());
  } catch (const std::exception& e) {
    platform::showError("Problémy s přípravou tisku: " + framework::CauseOf(e));
    return;
  }
  interpret->SetPrinting(true);
  interpret->SetDevice(printer.get());
  try {
    auto* model = dynamic_cast<TEntity*>(interpret->Input());
    TDesktop* desktop = model ? model->FindElementByClass<TDesktop>() : nullptr;
    TMultiPageDesktop* pages = model ? model->FindElementByClass<TMultiPageDesktop>() : nullptr;
    if (desktop)
      PrintDesktop(*interpret, *printer, *desktop);
    else if (pages)
      PrintMultiPage(*interpret, *printer, *pages);
    else {
      printer->Start();
      interpret->DoIt();
      printer->Finish();
    }
  } catch (const EBreakInterpret&) {
    // Part of the map is missing: nothing of it goes to the printer.
    printer->Abort();
    platform::showInfo("Tisk byl přerušen, nic nebylo vytištěno");
  } catch (const std::exception& e) {
    printer->Abort();
    platform::showError("Problémy s tiskem: " + framework::CauseOf(e) + "; nic nebylo vytištěno");
  }
  interpret->SetDevice(saved);
  printer.reset();
  interpret->SetPrinting(false);
  interpret->PostMessageToOwners(zelto::msg::InterfaceCode17);
}

TPrintDialogTool* TPrint::RunSetUp(TInterpret& interpret, TPrintDevice& printer, TDesktop& desktop,
                                   bool singlePage) {
  auto* tool = new TPrintDialogTool;
  tool->SetSinglePage(singlePage);
  tool->SetPrinterDevice(&printer);
  tool->SetPrintingInterpret(&interpret);
  tool->SetInput(&desktop);
  tool->DoIt();
  if (!dynamic_cast<TPrintPages*>(tool->Output())) {
    delete tool;
    printer.Abort();
    return nullptr;
  }
  // From here the window owns the tool: it frees it when it closes.
  tool->SetStartTime(QDateTime::currentDateTime());
  return tool;
}

namespace {
// The set-up window may be closed while the pages print: then its tool and
// pages are gone and the print is broken off.
struct SetUpLink {
  TElementRef tool;
  TElementRef pages;
  explicit SetUpLink(TPrintDialogTool* t) : tool(t), pages(t->Output()) {}
  TPrintDialogTool* Tool() const { return static_cast<TPrintDialogTool*>(tool.Get()); }
  TPrintPages* Pages() const { return static_cast<TPrintPages*>(pages.Get()); }
  void Caption(const std::string& text) const {
    if (TPrintDialogTool* t = Tool()) t->SetCaption(text);
  }
  // Closed before every page was drawn: the print is broken off and sends
  // out nothing.
  void ThrowIfClosed() const {
    if (!Pages()) throw EBreakInterpret();
  }
  // A print that failed ends its window without the closing message.
  void Fail() const {
    delete Pages();
    if (TPrintDialogTool* t = Tool(); t && t->GetForm()) t->GetForm()->CloseFailed();
  }
};

void printPage(TInterpret& interpret, TPrintDevice& printer, geometry::PointD centre, double scale) {
  printer.GetProjection()->Setup(centre, printer.GetPage(), scale);
  interpret.DoIt();
}
}  // namespace

void TPrint::PrintDesktop(TInterpret& interpret, TPrintDevice& printer, TDesktop& desktop) {
  TPrintDialogTool* tool = RunSetUp(interpret, printer, desktop, false);
  if (!tool) return;
  SetUpLink link(tool);
  const int count = link.Pages()->GetPageCount();
  try {
    printer.Start();
    for (int i = 0; i < count && link.Pages(); ++i) {
      if (i > 0) printer.NewPage();
      if (count > 1)
        link.Caption("Tisk strany č. " + std::to_string(i + 1) + " (" + std::to_string(count) + ")");
      TDrawRectangle* page = link.Pages()->GetPage(i);
      printPage(interpret, printer, {page->GetCenterX(), page->GetCenterY()}, link.Pages()->GetScaleFactor());
    }
    link.ThrowIfClosed();
    printer.Finish();
  } catch (...) {
    link.Fail();
    throw;
  }
  delete link.Pages();
}

void TPrint::PrintMultiPage(TInterpret& interpret, TPrintDevice& printer, TMultiPageDesktop& work) {
  std::vector<TDesktop*> pages;
  for (TElement* child : work.Items())
    if (auto* page = dynamic_cast<TDesktop*>(child)) pages.push_back(page);
  if (pages.empty()) {
    printer.Abort();
    return;
  }
  TPrintDialogTool* tool = RunSetUp(interpret, printer, *pages.front(), true);
  if (!tool) return;
  SetUpLink link(tool);
  const std::string chosen = tool->ChosenPages();
  const bool onlySome = tool->PagesChosen();
  TIntegerListElement set;
  set.AddCommaText(chosen);
  std::vector<TDesktop*> printed;
  for (TDesktop* page : pages)
    if (!onlySome || set.Contains(work.IndexOf(page) + 1)) printed.push_back(page);
  if (printed.empty()) {
    platform::showError("Zadaným číslům neodpovídá žádná stránka: " + chosen);
    delete link.Pages();
    printer.Abort();
    if (TPrintDialogTool* t = link.Tool(); t && t->GetForm()) t->GetForm()->close();
    return;
  }
  TDrawRectangle* first = link.Pages()->GetPage(0);
  const double dx = first->GetCenterX() - pages.front()->GetCenterX();
  const double dy = first->GetCenterY() - pages.front()->GetCenterY();
  const double scale = link.Pages()->GetScaleFactor();
  TElement* input = interpret.Input();
  try {
    printer.Start();
    for (std::size_t i = 0; i < printed.size() && link.Pages(); ++i) {
      TDesktop* page = printed[i];
      const int number = work.IndexOf(page) + 1;
      work.SetActualPage(page);
      // A new sheet before every page but the first: the job holds exactly
      // the pages chosen, with no blank sheet after the last.
      if (i > 0) printer.NewPage();
      link.Caption("Tisk strany č. " + std::to_string(number) + " (" + std::to_string(pages.size()) + ")");
      interpret.SetInput(page);
      printPage(interpret, printer, {page->GetCenterX() + dx, page->GetCenterY() + dy}, scale);
    }
    link.ThrowIfClosed();
    printer.Finish();
  } catch (...) {
    interpret.SetInput(input);
    link.Fail();
    throw;
  }
  interpret.SetInput(input);
  delete link.Pages();
}

namespace viewer {

void PrintWithPrinter(TInterpret* interpret, QPrinter* printer) {
  TPrint print;
  print.SetPrinter(printer);
  print.SetInput(interpret);
  print.DoIt();
}

void PrintWithPrintDialog(TInterpret* interpret) {
  if (TPrintDevice::JobInProgress()) {
    platform::showError("Dosud se tiskne");
    return;
  }
  QPrinter& printer = SessionPrinter();
  QPrintDialog dialog(&printer);
  if (dialog.exec() != QDialog::Accepted) return;
  PrintWithPrinter(interpret, &printer);
}

}  // namespace viewer

void RegisterPrintClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterZeltoClass(TPrint::StaticClass());
  RegisterPrintDialogClasses();
}
