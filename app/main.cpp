// The program's main block: the application, the start window (which builds
// the world and the main tool, and the main tool the main window) and the
// message loop, which ends through the main tool's close confirmation.
//
// Without a display (no DISPLAY or WAYLAND_DISPLAY and no QT_QPA_PLATFORM
// chosen) the program runs on Qt's offscreen platform in batch mode: nobody
// can answer a box, so boxes take their default answer and are written to
// the error stream, the start is run to its end, a summary of the main
// window is printed and the program exits.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/app_classes.h"
#include "app/guarded_application.h"
#include "app/main_form.h"
#include "app/main_tool.h"
#include "app/start_form.h"
#include "framework/message_dispatch.h"
#include "framework/world.h"
#include "platform/system_cause.h"
#include "platform/qt/progress_form_qt.h"
#include "platform/qt/qt_message_pump.h"
#include "platform/qt/qt_user_interaction.h"
#include "platform/scripted_user_interaction.h"

extern char** environ;

namespace {
bool empty(const char* variable) {
  const char* value = std::getenv(variable);
  return !value || !*value;
}

void printSummary(platform::ScriptedUserInteraction& ui) {
  auto* tool = dynamic_cast<TMainTool*>(GetWorld()->GetMainTool());
  TMainForm* form = MainForm();
  std::printf("protocol file: %s\n", tool ? tool->ProtocolFile().c_str() : "");
  if (form) {
    std::printf("data directory: %s\n", form->Directory().c_str());
    std::printf("DET: %s\n", form->DET->isChecked() ? "yes" : "no");
    std::printf("district output: %s\n", form->lbRevir->text().toStdString().c_str());
    std::printf("LHC output: %s\n", form->lbLHC->text().toStdString().c_str());
  }
  if (tool) std::printf("tools: %d\n", tool->ToolCount());
  for (const auto& text : ui.shownTexts()) std::fprintf(stderr, "%s\n", text.c_str());
}
}  // namespace

int main(int argc, char** argv) {
  // Before anything is written, the first line to a redirected error stream
  // among it: past a file-size limit a write then fails and is told.
  platform::ignoreFileSizeSignal();
  if (empty("QT_QPA_PLATFORM") && empty("DISPLAY") && empty("WAYLAND_DISPLAY")) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::fprintf(stderr, "zeltoexport: no display; running once offscreen and exiting\n");
  }
  TGuardedApplication application(argc, argv);
  const bool batch = QGuiApplication::platformName() == "offscreen" || QGuiApplication::platformName() == "minimal";
  application.setApplicationName("ZELTO");
  application.setQuitOnLastWindowClosed(false);
  platform::qt::InstallCzechTranslation();

  std::vector<std::string> arguments(argv + 1, argv + argc);
  app::SetCommandLine(arguments);
  app::ConfigureDrivesFromEnvironment(environ);
  RegisterAllClasses();

  platform::qt::QtMessagePump pump;
  platform::qt::QtUserInteraction screenUi;
  platform::qt::QtProgressForms screenProgress;
  std::unique_ptr<platform::ScopedScriptedUi> batchUi;
  if (batch) {
    batchUi = std::make_unique<platform::ScopedScriptedUi>();
  } else {
    platform::setUi(&screenUi);
    platform::setProgressForms(&screenProgress);
  }

  Tf_StartForm start;
  if (batch) {
    zelto::RunMessagesUntilIdle();
    QCoreApplication::processEvents();
    printSummary(**batchUi);
    return 0;
  }
  const int result = application.exec();
  platform::setProgressForms(nullptr);
  platform::setUi(nullptr);
  return result;
}
