#pragma once
// A technology is a tool that owns an ordered list of sub-tools: it builds
// them from its tool model, runs them as a pipeline (TSeqTechnology) or picks
// one (TSelectTechnology), and deletes a sub-tool that reports it has closed.
#include <cstdint>
#include <string>

#include "framework/tool.h"

class TToolModel;

// The sub-tool list; messages that reach it go on to the technology.
class TTools : public TEnvelopeEntity {
  ZELTO_ELEMENT(TTools)
};

class TTechnology : public TTool {
  ZELTO_ELEMENT(TTechnology)
 public:
  TTools* GetTools();
  int ToolCount() const { return tools_ ? tools_->GetCount() : 0; }
  TTool* GetToolByIndex(int index) const;
  TTool* FindToolByName(const std::string& name) const;

  virtual TTool* GetActiveTool() const;
  virtual std::int32_t GetCurrentIndex() const { return currentIndex_; }
  virtual void SetActiveTool(TTool* tool);
  // Out of range selects none (-1).
  virtual void SetCurrentIndex(std::int32_t index);
  virtual void AddTool(TTool* tool) { GetTools()->Add(tool); }
  virtual TTool* AppendTool(TTool* tool);
  // A sub-tool of the model's class, named and configured by the model;
  // nullptr (with a code-8 text) for an unknown class or one that is no tool.
  virtual TTool* NewToolByModel(TToolModel* model);
  virtual TElement* AddNewTool(const std::string& className, const std::string& name);
  virtual TTool* InsertTool(int index, TTool* tool);
  virtual void RemoveTool(TTool* tool);
  virtual void DeleteTool(TTool* tool);

  bool CanClose() override;
  void InitFromModel() override;
  void BuildFromModel() override;
  void SaveAndFreeTools() override;
  void SaveToModel() override;
  void OnToolClosed(TZeltoMessage*& message, bool& handled) override;

 private:
  TTools* tools_ = nullptr;
  std::int32_t currentIndex_ = 0;
};

// Runs every sub-tool in order, each one's output the next one's input.
class TSeqTechnology : public TTechnology {
  ZELTO_ELEMENT(TSeqTechnology)
 public:
  void DoIt() override;
};

// Runs the sub-tool at SelIndex, or ElseTool.
class TSelectTechnology : public TTechnology {
  ZELTO_ELEMENT(TSelectTechnology)
 public:
  std::int32_t SelIndex = 0;
  TTool* GetElseTool() const { return elseTool_; }
  void SetElseTool(TTool* tool);
  void DoIt() override;

 private:
  TTool* elseTool_ = nullptr;
};

void RegisterToolClasses();
