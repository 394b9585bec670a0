#pragma once
// The command interpreter: one line or a whole script of lines that walk
// object paths from the current element (ACTIVEELEMENT), read and set
// published properties, call built-in methods, run any registered tool class
// as a method and keep named variables holding elements. Results are text
// lines; errors go to a message box, or with ByDDE into the results as
// "ERROR n: ..." lines.
//
//   auto* line = new TCommandLine();     // context: the world
//   line->SetContext(element);
//   line->SetLine("ACTIVEELEMENT.Name");
//   line->DoIt();
//   line->GetFirstResult(text);
#include <cstdint>
#include <string>
#include <vector>

#include "framework/tool.h"

// One named variable of a command line.
class TVar : public TOwnerElement {
  ZELTO_ELEMENT(TVar)
 public:
  const TElementClass* VarClass = nullptr;
  TElement* GetElement() const { return element_.Get(); }
  void SetElement(TElement* element) { element_.Set(element); }

 private:
  // Held weakly: a variable whose element was freed reads nil.
  TElementRef element_;
};

// What evaluating one side of a line found.
struct TPathResult {
  TElement* Object = nullptr;
  bool IsList = false;   // the keyword ELEMENT was met
  bool IsConst = false;  // Name holds a constant or a tool's result text
  bool IsVar = false;    // the path named a variable
  std::string Name;      // property name, constant, or a word still to resolve
};

class TCommandLine : public TTool {
  ZELTO_ELEMENT(TCommandLine)
 public:
  // How deep CALL may nest scripts before the innermost call fails.
  static constexpr int MaxCallDepth = 16;

  TCommandLine();
  ~TCommandLine() override;

  void HandleMessage(TZeltoMessage*& message, bool& handled) override;
  // A non-nil input also becomes the context.
  void SetInput(TElement* element) override;
  // The line, else the lines, else the script file; every failure is
  // reported, nothing leaves.
  void DoIt() override;
  // 0 "FileName", 1 "ActualDirectory".
  std::string GetParameterName(int index) override;
  // One line of a script run in SmartMode.
  virtual void Step();

  // The current element; the world when none is set or it was freed.
  TElement* GetContext() const;
  void SetContext(TElement* element) { context_.Set(element); }

  const std::string& GetLine() const { return line_; }
  void SetLine(const std::string& line) { line_ = line; }
  void SetNextLine(const std::string& line) { lines_.push_back(line); }
  const std::vector<std::string>& Lines() const { return lines_; }
  const std::string& GetActualDirectory() const { return actualDirectory_; }
  // Always kept with a trailing "\".
  void SetActualDirectory(const std::string& directory);
  const std::string& GetFileName() const { return fileName_; }
  // Forgets the line and the lines of the previous script.
  void SetFileName(const std::string& fileName);
  TOwnerEntity* GetVars();
  TVar* FindVar(const std::string& name) const;
  TVar* GetActualVar() const { return static_cast<TVar*>(actualVar_.Get()); }
  void SetActualVar(TVar* var) { actualVar_.Set(var); }
  int GetLineIndex() const { return lineIndex_; }
  // Inside DoIt (a script in SmartMode is not running between its lines).
  bool IsRunning() const { return running_; }

  const std::vector<std::string>& Results() const { return results_; }
  // The first result line, empty when there is none.
  void GetFirstResult(std::string& text) const;
  std::string FirstResult() const;

  virtual void ReportError(const std::string& text, int code);

  bool ByDDE = false;
  bool SmartMode = false;

 protected:
  void ExecuteLine();
  void RunLines();
  void EvaluatePath(const std::string& text, TPathResult& result);
  void StepPath(const std::string& word, TPathResult& result);
  // Reads the arguments after the "(" before `position` and applies the
  // method; `position` ends after the delimiter that follows the ")". False
  // when the path ends there.
  bool CallMethod(const std::string& word, const std::string& text, std::size_t& position,
                  char& delimiter, TPathResult& result);
  void OutputValue(const TPathResult& result);
  std::string GetValueText(const TPathResult& result) const;
  TVar* NewVar(const std::string& name, const TElementClass* cls);

 private:
  void CallTool(const std::string& className, TPathResult& result);
  void CallScript(const std::string& fileName);
  void FreeObject(TPathResult& result);
  void AssignActiveElement();
  void Assign();
  void StoreValue(TElement* target, const std::string& name, TElement* object, const std::string& text,
                  bool isObject);
  bool ReadScriptFile();
  void ReportException(const std::string& message);

  std::string line_;
  std::vector<std::string> lines_;
  std::string actualDirectory_;
  std::string fileName_;
  std::vector<std::string> results_;
  TElementRef context_;
  std::int32_t lineIndex_ = 0;
  TOwnerEntity* vars_ = nullptr;
  TElementRef actualVar_;
  bool commentBlock_ = false;
  bool assignActive_ = false;
  bool assigning_ = false;
  TPathResult left_;
  TPathResult right_;
  std::vector<std::string> arguments_;
  int callDepth_ = 0;
  bool running_ = false;
  // The object the last step of the path left, for FREE.
  TElementRef pathParent_;
};

namespace script {
// Raised inside a command line that a line of its own has freed, to leave
// without touching it; DoIt and Step swallow it.
struct CommandLineGone {};
}  // namespace script

// Registers the interpreter's classes with the class registry.
void RegisterScriptClasses();
