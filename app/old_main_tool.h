#pragma once
// The application-level base of the main tool: the log window for log texts,
// the progress monitor for the progress messages of running tools, a close
// that asks first, the program's own INI file with its "Options" section,
// screen cursors from the system register and the launcher of external
// programs.
#include <cstdint>
#include <string>
#include <vector>

#include "framework/technology.h"

class TMemoFormDevice;
class TProgressMonitor;

// An application's option set: the published properties after the
// entity's "LastIndex" are the options kept in the INI file.
class TBaseOptions : public TOwnerEntity {
  ZELTO_ELEMENT(TBaseOptions)
};

class TOldMainTool : public TTechnology {
  ZELTO_ELEMENT(TOldMainTool)
 public:
  ~TOldMainTool() override;

  void HandleMessage(TZeltoMessage*& message, bool& handled) override;
  void DoIt() override;
  // Asks "Opravdu ukončit aplikaci ?"; Yes ends the application.
  void Close() override;

  virtual void LoadSettings();
  virtual void SaveSettings();
  virtual void BeforeRunHook() {}
  // The ".INI" file named on the command line when it exists; otherwise
  // the program's own file with the user's settings.
  virtual std::string GetIniFileName();
  // With a trailing separator.
  virtual std::string GetProgramDir();
  virtual TBaseOptions* GetOptions() { return nullptr; }
  virtual void SetOptions(TBaseOptions*) {}
  virtual void LoadCursors();
  virtual void RunInfoPanel();
  virtual void ShowTextMessage(TZeltoMessage* message);
  virtual void ForgetClosedMonitor(TZeltoMessage* message);
  virtual void AfterMainFormHook() {}

  // The application's terminate request; tests see it through the flag.
  virtual void TerminateApplication();
  bool TerminateRequested() const { return terminateRequested_; }

  // Both are created on first use and forgotten when they go away.
  TMemoFormDevice* LogDevice() const;
  TProgressMonitor* ProgressMonitor() const;
  TProgressMonitor* GetProgressMonitor();

  // The first command-line argument with that extension (compared in upper
  // case); empty when none.
  static std::string FindParamByExt(const std::string& extension);

 protected:
  void ForwardProgressMessage(TZeltoMessage*& message, bool& handled);

 private:
  TElementRef logDevice_;
  TElementRef progressMonitor_;
  bool terminateRequested_ = false;
};

namespace app {
// The program's arguments (without the program itself), set by the main block.
void SetCommandLine(std::vector<std::string> arguments);
const std::vector<std::string>& CommandLine();
// Starts the program without waiting for it; the process id, 0 when it
// cannot be started.
std::int64_t StartProcess(const std::string& program, const std::string& parameters);
// The cursors loaded from the system register, by screen cursor number.
bool HasScreenCursor(int number);
}  // namespace app
