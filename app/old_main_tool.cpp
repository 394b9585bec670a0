#include "app/old_main_tool.h"

#include <QCoreApplication>
#include <QCursor>
#include <QPixmap>
#include <QProcess>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>

#include "app/main_form.h"
#include "app/progress_monitor.h"
#include "framework/errors.h"
#include "framework/file_version.h"
#include "framework/ini_file.h"
#include "framework/property_access.h"
#include "framework/settings.h"
#include "framework/string_list.h"
#include "framework/system_register.h"
#include "framework/world.h"
#include "framework/zelto_message.h"
#include "platform/regular_file.h"
#include "platform/system_cause.h"
#include "platform/user_interaction.h"
#include "render/qt/memo_form_device.h"

namespace fs = std::filesystem;

ZELTO_IMPLEMENT_ELEMENT(TBaseOptions, TOwnerEntity, [](auto&) {})
ZELTO_IMPLEMENT_ELEMENT(TOldMainTool, TTechnology, [](auto& p) {
  // Read by the print set-up, which keeps its switch in the same file.
  p.String("IniFileName", [](TOldMainTool& e) { return e.GetIniFileName(); }).Stored(false);
})

namespace app {
namespace {
std::vector<std::string>& arguments() {
  static std::vector<std::string> args;
  return args;
}
std::map<int, QCursor>& screenCursors() {
  static std::map<int, QCursor> cursors;
  return cursors;
}
std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}
}  // namespace

void SetCommandLine(std::vector<std::string> args) { arguments() = std::move(args); }
const std::vector<std::string>& CommandLine() { return arguments(); }

std::int64_t StartProcess(const std::string& program, const std::string& parameters) {
  QStringList args;
  if (!parameters.empty()) args = QProcess::splitCommand(QString::fromStdString(parameters));
  qint64 pid = 0;
  if (!QProcess::startDetached(QString::fromStdString(program), args, QString(), &pid)) return 0;
  return pid;
}

bool HasScreenCursor(int number) { return screenCursors().count(number) != 0; }
}  // namespace app

TOldMainTool::~TOldMainTool() {
  // The log window stays open for the user; only its device goes.
  delete logDevice_.Get();
}

void TOldMainTool::HandleMessage(TZeltoMessage*& message, bool& handled) {
  handled = false;
  TTechnology::HandleMessage(message, handled);
  if (handled || !message) return;
  // Nothing here marks the message handled: the derived tool still sees it.
  switch (message->Message) {
    case zelto::msg::Finished: ForgetClosedMonitor(message); break;
    case zelto::msg::LogText: ShowTextMessage(message); break;
    case zelto::msg::ProgressBegin:
    case zelto::msg::ProgressStep:
    case zelto::msg::ProgressEnd:
    case zelto::msg::ProgressText: ForwardProgressMessage(message, handled); handled = false; break;
    case 29: RunInfoPanel(); break;
    default: break;
  }
}

void TOldMainTool::DoIt() {
  BeforeRunHook();
  auto* form = CreateMainForm();
  form->MainTool = this;
  form->CloseAllowed = false;
  AfterMainFormHook();
  LoadCursors();
}

void TOldMainTool::Close() {
  if (platform::ui().showMessage("Opravdu ukončit aplikaci ?", platform::MessageKind::Confirmation,
                                 platform::Buttons::YesNoCancel) == platform::Answer::Yes)
    TerminateApplication();
}

void TOldMainTool::TerminateApplication() {
  terminateRequested_ = true;
  // quit() would first ask every window to close, and the main window
  // refuses (it turns a close into this very question); exit() leaves the
  // loop without asking. The window may close now that the user has said so.
  if (TMainForm* form = MainForm()) form->CloseAllowed = true;
  if (QCoreApplication::instance()) QCoreApplication::exit(0);
}

TMemoFormDevice* TOldMainTool::LogDevice() const { return static_cast<TMemoFormDevice*>(logDevice_.Get()); }
TProgressMonitor* TOldMainTool::ProgressMonitor() const {
  return static_cast<TProgressMonitor*>(progressMonitor_.Get());
}

TProgressMonitor* TOldMainTool::GetProgressMonitor() {
  if (!progressMonitor_.Get()) {
    auto* monitor = new TProgressMonitor;
    AppendTool(monitor);
    progressMonitor_.Set(monitor);
  }
  return ProgressMonitor();
}

void TOldMainTool::ForwardProgressMessage(TZeltoMessage*& message, bool& handled) {
  bool monitorHandled = false;
  GetProgressMonitor()->HandleMessage(message, monitorHandled);
}

void TOldMainTool::ShowTextMessage(TZeltoMessage* message) {
  if (!logDevice_.Get()) {
    auto* device = new TMemoFormDevice;
    logDevice_.Set(device);
    // Beside the main window, whatever box or progress window is up when
    // the first text comes.
    device->SetOpener(MainFormWidget());
    // A new window, also after the user closed the last one: texts nobody
    // sees are as good as lost.
    device->SetVisible(true);
  }
  auto* text = dynamic_cast<TZeltoTextMessage*>(message);
  if (text && !text->Text.empty()) LogDevice()->WriteLine(text->Text);
}

void TOldMainTool::ForgetClosedMonitor(TZeltoMessage* message) {
  // A device or monitor that has already died is forgotten by its weak
  // reference; one that announces its going while alive is forgotten here.
  TElement* sender = message->Sender();
  if (!sender) return;
  if (sender == logDevice_.Get()) logDevice_.Set(nullptr);
  else if (sender == progressMonitor_.Get()) progressMonitor_.Set(nullptr);
}

std::string TOldMainTool::GetProgramDir() {
  std::string dir = fs::path(framework::ProgramFile()).parent_path().string();
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

std::string TOldMainTool::FindParamByExt(const std::string& extension) {
  const std::string wanted = app::upper(extension);
  for (const auto& argument : app::CommandLine())
    if (app::upper(fs::path(argument).extension().string()) == wanted) return argument;
  return {};
}

std::string TOldMainTool::GetIniFileName() {
  const std::string given = FindParamByExt(".INI");
  std::error_code ec;
  if (!given.empty() && fs::is_regular_file(given, ec)) return given;
  return framework::ProgramSettingsFilePath();
}

namespace {
// The published properties after "LastIndex": the options kept in the file.
std::vector<std::string> storedOptionNames(TBaseOptions* options) {
  std::vector<std::string> names;
  bool after = false;
  for (int i = 0; i < PropCount(options); ++i) {
    std::string name;
    PropNameByIndex(options, i, name);
    if (after) names.push_back(name);
    if (name == "LastIndex") after = true;
  }
  return names;
}
}  // namespace

void TOldMainTool::LoadSettings() {
  TBaseOptions* options = GetOptions();
  if (!options) return;
  TRealIniFile ini(GetIniFileName());
  for (const auto& name : storedOptionNames(options)) {
    std::string current;
    GetPropTextByName(options, name, current);
    SetPropTextByName(options, name, ini.ReadString("Options", name, current));
  }
}

void TOldMainTool::SaveSettings() {
  TBaseOptions* options = GetOptions();
  if (!options) return;
  TRealIniFile ini(GetIniFileName());
  for (const auto& name : storedOptionNames(options)) {
    std::string current;
    GetPropTextByName(options, name, current);
    // The first key that does not go in says why; the rest would only
    // repeat it.
    if (!ini.WriteString("Options", name, current)) {
      platform::showError("Nastavení nelze uložit do souboru " + ini.FileName() + ": " + ini.WriteError());
      return;
    }
  }
}

void TOldMainTool::LoadCursors() {
  TWorld* world = GetWorld();
  if (!world) return;
  TStringListElement* list = world->GetSystemRegister()->GetCursors();
  if (!list) return;
  for (int i = 0; i < list->GetCount(); ++i) {
    std::string name = list->GetItemValue(i);
    if (name.find(':') == std::string::npos && !fs::path(name).is_absolute()) name = GetProgramDir() + name;
    std::string bytes;
    std::error_code ec;
    QPixmap picture;
    if (platform::readRegularFile(name, bytes, ec) &&
        picture.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<uint>(bytes.size())))
      app::screenCursors()[i + 1] = QCursor(picture);
    else
      PostTextMessage(this, zelto::msg::LogText, "Soubor kurzoru " + name + " nebyl nalezen");
  }
}

void TOldMainTool::RunInfoPanel() {
  std::error_code ec;
  fs::current_path(GetProgramDir(), ec);
  if (ec) throw EZeltoError("Do adresáře programu " + GetProgramDir() + " nelze přejít: " + platform::systemCause(ec));
  app::StartProcess("Plakatek.exe", framework::ProgramFile() + " 1");
}
