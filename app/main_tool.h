#pragma once
// The export program's main tool: receives every framework message posted
// without a receiver, keeps the protocol file and the state the jobs share
// (the data last read, its forest hierarchy, the data directory), reads the
// program's settings at start and runs the job behind each main-window
// command.
#include <cstdint>
#include <string>
#include <system_error>

#include "app/jobs/forest_level_export.h"
#include "app/jobs/loaded_model.h"
#include "app/old_main_tool.h"
#include "platform/regular_file.h"

class TForestSpaceUnit;

// The option set of the main tool; nothing in the export jobs reads it.
class TOptions : public TBaseOptions {
  ZELTO_ELEMENT(TOptions)
 public:
  std::string WorkingDirectory;
  std::string DataDirectory;
  std::string ServiceDirectory;
  bool FullUseMemory = false;
};

// The settings read once at start (sections DET and GLOBAL of TERGELIX.INI).
struct TStartSettings {
  std::int32_t DruhPorostniSkupiny = 110;
  std::int32_t DruhPrazdnePlochy = 134;
  std::int32_t SpodniMezBezlesi = 100;
  std::int32_t SpodniMezJine = 500;
  std::int32_t SpodniMezOstatni = 900;
  // What was wrong with them, one line per key; the jobs that rest on them
  // refuse to run until the program starts with a mended file.
  std::string Errors;
};

class TMainTool : public TOldMainTool {
  ZELTO_ELEMENT(TMainTool)
 public:
  ~TMainTool() override;

  void HandleMessage(TZeltoMessage*& message, bool& handled) override;
  // The program's start: protocol file, settings, main window, pipeline tools.
  void DoIt() override;
  void LoadSettings() override;
  TBaseOptions* GetOptions() override;
  void SetOptions(TBaseOptions* options) override;

  virtual TBaseOptions* GetOptionsProperty() { return GetOptions(); }
  virtual void SetOptionsProperty(TBaseOptions* options) { SetOptions(options); }
  virtual void ShowData(TZeltoMessage* message);
  virtual void ExploreTree(TZeltoMessage* message);
  virtual void ExploreFromHere(TZeltoMessage* message);
  virtual void ExploreOwners(TZeltoMessage* message);
  virtual void ReadDistrict();
  void ReadLhcLines();
  // Adds the lines of one block directory to the subject of interest (a
  // spatial entity created when nothing is loaded); a missing block does
  // nothing.
  void LoadLineBlock(const std::string& block);
  void BuildForestHierarchy();
  void SelectLinesIntoHierarchy();
  void ExploreSubjectOfInterest();
  // A model browser on the element's children, or on its owners.
  void ExploreElement(TElement* element, bool owners = false);

  // Posts the text as a log text to this tool: it reaches the log window and
  // the protocol file once the current job returns to the message loop.
  void SetProtocol(const std::string& text);
  void LogTextMessage(TZeltoMessage* message);
  // An error box with an OK button.
  void ShowError(const std::string& text);

  // Picks the protocol file in the current directory: the first of
  // "0001.PTC" to "10000.PTC" under which nothing lies (no file, directory,
  // pipe, nor link, be it to nowhere), else "EXPORT.PTC". The file is taken
  // for this run with its first line: a program started in the same
  // directory before that line takes the next free number, so that no two
  // runs write one protocol.
  void ChooseProtocolFile();
  const std::string& ProtocolFile() const { return protocolFile_; }

  const TStartSettings& StartSettings() const { return settings_; }
  TElement* SubjectOfInterest() const { return state_.GetSubject(); }
  void SetSubjectOfInterest(TElement* element) { state_.Subject.Set(element); }
  TForestSpaceUnit* ForestRoot() const;
  void SetForestRoot(TForestSpaceUnit* root);
  const std::string& DataDirectory() const { return state_.DataDirectory; }
  void SetDataDirectory(const std::string& directory) { state_.DataDirectory = directory; }

 private:
  void CreatePipelineTools();
  // The root of the GIS output tree on the drive of the window's "QVR"
  // box, as the user names it ("D:\GIS").
  std::string GisRoot() const;
  // The kinds of section DET read at start.
  jobs::DetKinds StartKinds() const;
  // Drops everything loaded: the object model, the subject of interest and
  // the forest hierarchy that lived in it.
  void ReplaceObjectModel();
  void AppendProtocolLine(const std::string& text);
  // Commands 95, 97 to 103 and 116: one level of the hierarchy read last, or
  // all of them, exported into the district's output directory.
  void ExportLevel(int code);
  // Commands 86 to 91: the line extractions and the noding of the networks.
  void RunLineJob(int code);
  // Commands 104 and 117: the districts' blocks merged into the LHC's.
  void MergeLhc(int code);
  // Command 105: the "K" button named by the message opens the comparison
  // of its level with the forest description.
  void CheckExportedLayer(TZeltoMessage* message);

  TOptions* options_ = nullptr;
  std::string protocolFile_;
  bool protocolTaken_ = false;  // created by this run, or EXPORT.PTC
  bool protocolFailureTold_ = false;
  // The first free number from `first` on, as ChooseProtocolFile says.
  void chooseProtocolFrom(int first);
  int protocolNumber_ = 0;  // of protocolFile_; 0 for EXPORT.PTC
  // Opens the protocol file for appending; the first time, makes it this
  // run's own. Invalid, with `error` set, where it cannot be opened.
  platform::FileDescriptor OpenProtocolFile(std::error_code& error);
  // What the read commands loaded; the exports work on it.
  jobs::LoadedModel state_;
  TStartSettings settings_;
  bool jobRunning_ = false;
};
