#include "app/main_tool.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <optional>

#include <fcntl.h>

#include "app/jobs/forest_level_export.h"
#include "app/jobs/read_commands.h"
#include "app/main_form.h"
#include "areas/export_gauge.h"
#include "areas/forest_space_unit.h"
#include "framework/class_registry.h"
#include "framework/message_dispatch.h"
#include "framework/problem_report.h"
#include "framework/settings.h"
#include "framework/zelto_message.h"
#include "platform/codepage.h"
#include "platform/pacer.h"
#include "platform/path_resolver.h"
#include "platform/progress_form.h"
#include "platform/regular_file.h"
#include "platform/system_cause.h"
#include "platform/qt/late_window.h"
#include "platform/user_interaction.h"

namespace fs = std::filesystem;

ZELTO_IMPLEMENT_ELEMENT(TOptions, TBaseOptions, [](auto& p) {
  p.String("WorkingDirectory", &TOptions::WorkingDirectory, &TOptions::WorkingDirectory);
  p.String("DataDirectory", &TOptions::DataDirectory, &TOptions::DataDirectory);
  p.String("ServiceDirectory", &TOptions::ServiceDirectory, &TOptions::ServiceDirectory);
  p.Boolean("FullUseMemory", &TOptions::FullUseMemory, &TOptions::FullUseMemory);
})

ZELTO_IMPLEMENT_ELEMENT(TMainTool, TOldMainTool, [](auto& p) {
  p.Object("Options", TBaseOptions::StaticClass(), &TMainTool::GetOptionsProperty, &TMainTool::SetOptionsProperty);
  p.String("Protocol", nullptr, &TMainTool::SetProtocol);
})

namespace {
// The tools of the noding and hierarchy pipelines, in the order the jobs
// and the tool tree expect them; the last one has no name.
struct PipelineTool {
  const char* className;
  const char* name;
};
constexpr PipelineTool kPipelineTools[] = {
    {"TReadLinesIntoQTree", "Načítání linií do QTree"},
    {"TPutLinesIntoNodes", "Vložení linií do uzlů"},
    {"TPutNodesIntoQTree", "Vytvoření uzlů v QTree"},
    {"TDeleteDirectRelationsToLinesInQTree", "Zrušit linie v QTree"},
    {"TNodeConector", "Vyhledání vazeb uzlu"},
    {"TNodesConector", "Vyhledání vazeb uzlu v QTree"},
    {"TCreateAreaForBranch", "Vytvoř plochu pro větev uzlu"},
    {"TCreateAreasForQTree", "Vytvoř plochy pro QTree"},
    {"TExportNodedLines", "Export zauzlovaných linií"},
    {"TForestHierarchy", "Vytvoř lesnickou hierarchii"},
    {"TVyberLiniiDoHierarchie", "Výběr linií do hierarchie"},
    {"TExportAllLines", "Export linií do TEST.BLK"},
    {"TOznacLinie", ""},
};

std::string protocolName(int n) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%04d.PTC", n);
  return buffer;
}
}  // namespace

TMainTool::~TMainTool() = default;

void TMainTool::DoIt() {
  ChooseProtocolFile();
  LoadSettings();
  TMainForm* form = CreateMainForm();
  form->MainTool = this;
  form->CloseAllowed = false;
  form->show();
  CreatePipelineTools();
}

void TMainTool::CreatePipelineTools() {
  for (const PipelineTool& entry : kPipelineTools) {
    const TElementClass* cls = FindZeltoClass(entry.className);
    TTool* tool = cls && cls->InheritsFrom(TTool::StaticClass()) ? static_cast<TTool*>(cls->Create()) : nullptr;
    if (!tool) {
      // A build without that tool still starts; the jobs that need it say so.
      PostTextMessage(this, zelto::msg::LogText, std::string("Neznámá třída nástroje: ") + entry.className);
      continue;
    }
    AppendTool(tool);
    if (*entry.name) tool->SetName(entry.name);
  }
}

void TMainTool::ChooseProtocolFile() {
  protocolFailureTold_ = false;
  chooseProtocolFrom(1);
}

void TMainTool::chooseProtocolFrom(int first) {
  std::error_code ec;
  fs::path directory = fs::current_path(ec);
  protocolTaken_ = false;
  for (int n = first; n <= 10000; ++n) {
    fs::path candidate = directory / protocolName(n);
    // Whatever lies under the name takes it, a link to nowhere too: the
    // exclusive create below refuses all of them.
    if (fs::symlink_status(candidate, ec).type() == fs::file_type::not_found) {
      protocolFile_ = candidate.string();
      protocolNumber_ = n;
      return;
    }
  }
  // Every number taken: the one shared file, appended to.
  protocolFile_ = (directory / "EXPORT.PTC").string();
  protocolNumber_ = 0;
  protocolTaken_ = true;
}

platform::FileDescriptor TMainTool::OpenProtocolFile(std::error_code& error) {
  // Opened by name for each line, as a regular file: a named pipe put there
  // since is refused rather than waited on for ever, a directory or a link
  // to nowhere refused by name.
  const int append = O_WRONLY | O_CREAT | O_APPEND;
  if (protocolTaken_) return platform::openRegularFile(protocolFile_, append, error);
  // Created here and now, or another run (or anything else) has the name
  // since it was chosen: then the next free one. A new file only, so
  // nothing that lies there is opened.
  while (!protocolTaken_) {
    platform::FileDescriptor fd = platform::openWithoutWaiting(protocolFile_, append | O_EXCL, error);
    if (fd) {
      protocolTaken_ = true;
      return fd;
    }
    if (error != std::errc::file_exists) return {};
    chooseProtocolFrom(protocolNumber_ + 1);
  }
  return platform::openRegularFile(protocolFile_, append, error);
}

void TMainTool::LoadSettings() {
  SettingsCheck check;
  const jobs::DetKinds kinds = jobs::ReadDetKinds(check);
  settings_.DruhPorostniSkupiny = kinds.StandGroup;
  settings_.DruhPrazdnePlochy = kinds.Empty;
  const jobs::HierarchyLimits limits = jobs::ReadHierarchyLimits(check);
  settings_.SpodniMezBezlesi = limits.Bezlesi;
  settings_.SpodniMezJine = limits.Jine;
  settings_.SpodniMezOstatni = limits.Ostatni;
  settings_.Errors = check.Errors();
  // Told at once; the exports refuse to run with them.
  if (!check.Ok()) ShowError(settings_.Errors);
}

TBaseOptions* TMainTool::GetOptions() {
  if (!options_) {
    options_ = new TOptions;
    Add(options_);
  }
  return options_;
}

void TMainTool::SetOptions(TBaseOptions* options) {
  if (options == options_) return;
  if (options_) Delete(options_);
  options_ = dynamic_cast<TOptions*>(options);
  if (options_) Add(options_);
}

TForestSpaceUnit* TMainTool::ForestRoot() const { return state_.GetHierarchyRoot(); }
void TMainTool::SetForestRoot(TForestSpaceUnit* root) { state_.HierarchyRoot.Set(root); }

namespace {
// The codes of the main window's commands (and of the tools that ask the
// main tool for a viewer or browser): each one runs a job.
bool IsJobCommand(int code) {
  switch (code) {
    case 30: case 36: case 37: case 84: case 85: case 86: case 87: case 88: case 89: case 90: case 91: case 92:
    case 93: case 94: case 95: case 97: case 98: case 99: case 100: case 101: case 102: case 103: case 104:
    case 105: case 108: case 116: case 117:
      return true;
    default:
      return false;
  }
}

// A job lets pending messages through so that its progress is painted; a
// command that arrives then (a button pressed before the window went grey,
// or the title bar's close) would run inside the job and could free what the
// job works on. While a job runs, the window is disabled and such commands
// are refused with a beep. The progress windows of the job's steps count
// their delay from the job's start.
class JobScope {
 public:
  explicit JobScope(bool& running) : running_(running) {
    running_ = true;
    if (TMainForm* form = MainForm()) form->setEnabled(false);
  }
  ~JobScope() {
    running_ = false;
    // The window may have gone while the job let messages through.
    if (TMainForm* form = MainForm()) form->setEnabled(true);
  }
  JobScope(const JobScope&) = delete;
  JobScope& operator=(const JobScope&) = delete;

 private:
  bool& running_;
  platform::qt::CommandScope command_;
  // A stop pressed on any of its progress windows is the job's.
  platform::BreakableJob breakable_;
};
}  // namespace

void TMainTool::HandleMessage(TZeltoMessage*& message, bool& handled) {
  handled = false;
  // The window's close comes as the main tool's own close request; a tool
  // that closes itself meanwhile is not refused.
  const bool windowClose = message && message->Message == zelto::msg::CloseRequest && message->Sender() == this;
  if (message && jobRunning_ && (IsJobCommand(message->Message) || windowClose)) {
    platform::ui().beep();
    handled = true;
    return;
  }
  TOldMainTool::HandleMessage(message, handled);
  if (handled || !message) return;
  std::optional<JobScope> job;
  // What the core reports per object or row while the job runs is logged
  // as it comes and shown once, counted, when the job is done.
  std::optional<zelto::ProblemTally> problems;
  if (IsJobCommand(message->Message)) {
    job.emplace(jobRunning_);
    problems.emplace();
  }
  switch (message->Message) {
    case zelto::msg::LogText: LogTextMessage(message); break;
    case 30: ShowData(message); break;
    case 36: ExploreFromHere(message); break;
    case 37: ExploreOwners(message); break;
    case 84: ReadDistrict(); break;
    case 85: ReadLhcLines(); break;
    case 86:
    case 87:
    case 88:
    case 89:
    case 90:
    case 91: RunLineJob(message->Message); break;
    case 92: BuildForestHierarchy(); break;
    case 93: ExploreSubjectOfInterest(); break;
    case 94: SelectLinesIntoHierarchy(); break;
    case 104:
    case 117: MergeLhc(message->Message); break;
    case 105: CheckExportedLayer(message); break;
    case 95:
    case 97:
    case 98:
    case 99:
    case 100:
    case 101:
    case 102:
    case 103:
    case 116: ExportLevel(message->Message); break;
    case 108: ExploreTree(message); break;
    default: break;
  }
  if (problems) zelto::ShowProblems(*problems);
}

void TMainTool::ExportLevel(int code) {
  TMainForm* form = MainForm();
  if (!form) return;
  jobs::LevelExportContext context;
  context.Model = &state_;
  // As the user reads them: the job resolves them and names them so.
  context.OutputDirectory = form->lbRevir->text().toStdString();
  context.GisRoot = GisRoot();
  context.JoinLines = form->cbJoinExpLHC->isChecked();
  context.LhcCode = form->edLHCKOD->text().toStdString();
  context.Refusal = form->OutputCodeProblem();
  if (context.Refusal.empty()) context.Refusal = settings_.Errors;
  context.Kinds = StartKinds();
  context.ShowDistrictCode = [](const std::string& code) {
    // The window may have gone while the job let messages through.
    if (TMainForm* f = MainForm()) f->edKodRevir->setText(QString::fromStdString(code));
  };
  context.DisableReadButtons = [] {
    if (TMainForm* f = MainForm()) {
      f->btCtiRevir->setEnabled(false);
      f->btLHC->setEnabled(false);
    }
  };
  context.EnableReadButtons = [] {
    if (TMainForm* f = MainForm()) {
      f->btCtiRevir->setEnabled(true);
      f->btLHC->setEnabled(true);
    }
  };
  // The window as a whole is off while a job runs; the button's own state counts.
  context.ReadLocked = !form->btCtiRevir->isEnabledTo(form);
  platform::Pacer pacer;
  context.ProcessMessages = [&pacer] {
    if (pacer.due()) zelto::ProcessPendingMessages();
  };
  // The whole district runs for a while: the user sees how many levels are
  // done, and may stop between two levels.
  std::optional<areas::ExportGauge> gauge;
  if (code == 103 && context.Refusal.empty())
    gauge.emplace("Export všech vrstev revíru", static_cast<int>(jobs::ForestLevels().size()),
                  "Přerušit export vrstev revíru ?");
  context.NextLevel = [&gauge](int level) { return !gauge || gauge->step(level); };
  jobs::RunLevelCommand(context, code);
}

jobs::DetKinds TMainTool::StartKinds() const {
  // In range: out of range they are in the errors, which refuse the job.
  return {static_cast<std::int16_t>(settings_.DruhPorostniSkupiny), static_cast<std::int16_t>(settings_.DruhPrazdnePlochy)};
}

std::string TMainTool::GisRoot() const {
  TMainForm* form = MainForm();
  return std::string(1, form ? TMainForm::DriveOf(form->dcbQVR) : 'C') + ":\\GIS";
}

void TMainTool::SetProtocol(const std::string& text) { PostTextMessage(this, zelto::msg::LogText, text, this); }

void TMainTool::ShowError(const std::string& text) {
  platform::ui().showMessage(text, platform::MessageKind::Error, platform::Buttons::Ok);
}

void TMainTool::LogTextMessage(TZeltoMessage* message) {
  auto* textMessage = dynamic_cast<TZeltoTextMessage*>(message);
  if (!textMessage) return;
  const std::string& text = textMessage->Text;
  TMainForm* form = MainForm();
  if (form && form->CBVypis->isChecked() && !text.empty() && text.front() != ';') {
    const auto answer = platform::ui().showMessage(text + "\r(Zrušit výpisy - Ignore)", platform::MessageKind::Warning,
                                                   platform::Buttons::OkIgnore);
    // The box may have let other messages through; the window may be gone.
    if (answer == platform::Answer::Ignore && MainForm()) MainForm()->CBVypis->setChecked(false);
  }
  AppendProtocolLine(text);
}

void TMainTool::AppendProtocolLine(const std::string& text) {
  if (protocolFile_.empty()) return;
  // One line per text: a text of several lines (a table that could not be
  // made, and below it why) would leave its cause on lines of its own,
  // apart from what it explains.
  std::string joined;
  for (const char c : text) {
    if (c != '\r' && c != '\n') joined += c;
    else if (!joined.empty() && joined.back() != ' ') joined += ' ';
  }
  const std::string line = platform::fromUtf8(joined, platform::CodePage::Windows1250) + "\r\n";
  std::error_code error;
  platform::FileDescriptor file = OpenProtocolFile(error);
  if (file && platform::writeAll(file.get(), line, error)) {
    if (file.close()) return;
    error = {errno ? errno : EIO, std::generic_category()};
  }
  // Told once: every line after it would fail alike. Noted before the box,
  // which lets the texts that wait through.
  if (protocolFailureTold_) return;
  protocolFailureTold_ = true;
  ShowError("Soubor " + platform::pathResolver().userSpelling(protocolFile_) + " nelze zapsat: " +
            platform::systemCause(error));
}
