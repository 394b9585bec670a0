#include "viewer/print_entry.h"

#include <QCoreApplication>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrinter>
#include <memory>

#include "framework/class_registry.h"
#include "framework/tool.h"
#include "framework/zelto_message.h"
#include "platform/user_interaction.h"
#include "render/interpret.h"
#include "render/qt/print_device.h"

namespace viewer {

namespace {
// Holds the session printer as a child of the application, so that the
// printer goes before the platform's print support does.
class PrinterHolder : public QObject {
 public:
  using QObject::QObject;
  QPrinter printer{QPrinter::HighResolution};
};
}  // namespace

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

QPrinter& SessionPrinter() {
  static QPointer<PrinterHolder> holder;
  if (!holder) holder = new PrinterHolder(QCoreApplication::instance());
  return holder->printer;
}

void ShowPrinterSetup(QWidget* parent) {
  // The paper of a document being printed cannot change under it.
  if (TPrintDevice::JobInProgress()) {
    platform::showError("Dosud se tiskne");
    return;
  }
  QPageSetupDialog dialog(&SessionPrinter(), parent);
  dialog.exec();
}

}  // namespace viewer
