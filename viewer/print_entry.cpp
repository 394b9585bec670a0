#include "viewer/print_entry.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <memory>

#include "framework/class_registry.h"
#include "framework/tool.h"
#include "framework/zelto_message.h"
#include "render/interpret.h"

namespace viewer {

void PrintInterpret(TInterpret* interpret) {
  const TElementClass* cls = FindZeltoClass("TPrint");
  if (!cls || !cls->InheritsFrom(TTool::StaticClass())) {
    PostTextMessage(interpret, zelto::msg::LogText, "Tisk: v tomto sestavení programu není k dispozici");
    return;
  }
  std::unique_ptr<TTool> print(static_cast<TTool*>(cls->Create()));
  print->SetInput(interpret);
  print->DoIt();
}

bool ConfirmPrinter(QWidget* parent) {
  QPrinter printer;
  QPrintDialog dialog(&printer, parent);
  return dialog.exec() == QDialog::Accepted;
}

void ShowPrinterSetup(QWidget* parent) {
  QPrinter printer;
  QPageSetupDialog dialog(&printer, parent);
  dialog.exec();
}

}  // namespace viewer
