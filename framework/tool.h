#pragma once
// A tool does one piece of work on request: it takes an input element and
// named parameters, works in DoIt and leaves an output element. It reports
// progress (codes 10 to 13) and texts (code 8) to the main tool, and learns of
// life-cycle events (codes 0 to 3) through its message handler.
#include <cstdint>
#include <string>

#include "framework/entity.h"

class TToolModel;

// The parameters of a tool: parameter elements and, once an alias has been
// bound, one TAliases child.
class TParameters : public TOwnerEntity {
  ZELTO_ELEMENT(TParameters)
};

class TTool : public TOwnerEntity {
  ZELTO_ELEMENT(TTool)
 public:
  // Flag bits.
  static constexpr std::uint8_t kRunning = 0x01;
  static constexpr std::uint8_t kBusy = 0x02;
  static constexpr std::uint8_t kBreak = 0x04;
  static constexpr std::uint8_t kBreakWhileBusy = 0x08;  // set by the viewer
  static constexpr std::uint8_t kInProgress = 0x20;
  static constexpr std::uint8_t kIdle = 0x40;

  ~TTool() override;

  std::int32_t Error = 0;
  bool DynamicTool = false;

  TElement* Input() const { return passing_ ? passing_ : input_.Get(); }
  TElement* Output() const { return output_.Get(); }
  virtual void SetInput(TElement* element) {
    passing_ = nullptr;
    input_.Set(element);
  }
  // DoIt with the element as input for that run alone; the input set before
  // is the input again afterwards. The element must live through the run.
  // A renderer hands its interprets every object of a map this way: a
  // lasting input would give each of them a handle.
  void DoItOn(TElement* element);
  virtual void SetOutput(TElement* element) { output_.Set(element); }

  virtual TParameters* GetParameters();
  // The parameters object may be shared by several tools.
  virtual void SetParameters(TParameters* parameters);
  // The element bound to the alias of that name, else the parameter child of
  // that name; nullptr when none.
  virtual TElement* GetParameter(const std::string& name);
  // Binds the element under the name; the element bound before is deleted.
  virtual void SetParameter(const std::string& name, TElement* element);
  void AddParameter(TElement* element) { GetParameters()->Add(element); }
  TElement* GetParameterByIndex(int index) { return GetParameters()->GetItem(index); }
  bool HasNoParameters() const { return !parameters_ || parameters_->GetCount() == 0; }
  // The name of positional parameter i; empty here.
  virtual std::string GetParameterName(int index);
  void SetDefaultParameterText(int index, const std::string& text);

  bool Flag(std::uint8_t bit) const { return (flags_ & bit) != 0; }
  void SetFlag(std::uint8_t bit, bool on);
  bool GetBusy() const { return Flag(kBusy); }
  void SetBusy(bool on) { SetFlag(kBusy, on); }
  bool GetIdle() const { return Flag(kIdle); }
  void SetIdle(bool on) { SetFlag(kIdle, on); }
  bool GetInProgress() const { return Flag(kInProgress); }
  void SetInProgress(bool on) { SetFlag(kInProgress, on); }
  bool GetBreakWork() const { return Flag(kBreak) || Flag(kBreakWhileBusy); }
  // True sets the break bit; false clears it together with the viewer's.
  virtual void SetBreakWork(bool on);

  // The work; the base only records that it started.
  virtual void DoIt();
  virtual bool CanClose() { return true; }
  virtual void InitFromModel();
  virtual void BuildFromModel() {}
  virtual void SaveAndFreeTools() {}
  virtual void SaveToModel();
  virtual void OnMessageCode0(TZeltoMessage*& message, bool& handled) {}
  // When CanClose allows: tells every owner (code 1), which then frees it.
  virtual void Close();
  virtual void OnToolClosed(TZeltoMessage*& message, bool& handled) {}
  virtual void OnToolFinished(TZeltoMessage*& message, bool& handled) {}
  void HandleMessage(TZeltoMessage*& message, bool& handled) override;

  TToolModel* GetSelfModel() const;
  void SetSelfModel(TToolModel* model);
  void SetNextParameter(TElement* element);

  // Progress to the main tool with this tool as sender. Step, text and end
  // post only between a begin and an end.
  void BeginProgress(const std::string& processName, std::int32_t min, std::int32_t max);
  void StepProgress(std::int32_t position);
  void ProgressText(const std::string& text);
  void EndProgress();

 private:
  std::uint8_t flags_ = 0;
  TParameters* parameters_ = nullptr;
  TElementRef input_;
  TElement* passing_ = nullptr;
  TElementRef output_;
};

// A tool that answers a text.
class TResultTool : public TTool {
  ZELTO_ELEMENT(TResultTool)
 public:
  std::string Result;
};

// A tool that answers yes or no.
class TBooleanTool : public TTool {
  ZELTO_ELEMENT(TBooleanTool)
 public:
  bool Result = false;
};

class TToolProperties : public TOwnerElement {
  ZELTO_ELEMENT(TToolProperties)
};
