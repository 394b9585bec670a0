#include "framework/technology.h"

#include "framework/class_registry.h"
#include "framework/element_model.h"
#include "framework/property_access.h"
#include "framework/zelto_message.h"

ZELTO_IMPLEMENT_ELEMENT(TTools, TEnvelopeEntity, ZELTO_NO_PROPERTIES)

ZELTO_IMPLEMENT_ELEMENT(TTechnology, TTool, [](auto& p) {
  using E = TTechnology;
  p.Object("ActiveTool", TTool::StaticClass(), &E::GetActiveTool, &E::SetActiveTool);
  p.Object("ToolToAdd", TTool::StaticClass(), nullptr, &E::AddTool);
  p.Object("NewToolByModel", TToolModel::StaticClass(), nullptr,
           [](E& e, TElement* model) { e.NewToolByModel(dynamic_cast<TToolModel*>(model)); });
  p.Object("ToolToFree", TTool::StaticClass(), nullptr, &E::DeleteTool);
  p.Object("ToolToRemove", TTool::StaticClass(), nullptr, &E::RemoveTool);
})

ZELTO_IMPLEMENT_ELEMENT(TSeqTechnology, TTechnology, ZELTO_NO_PROPERTIES)

ZELTO_IMPLEMENT_ELEMENT(TSelectTechnology, TTechnology, [](auto& p) {
  using E = TSelectTechnology;
  p.Object("ElseTool", TTool::StaticClass(), &E::GetElseTool, &E::SetElseTool);
  p.Integer("SelIndex", &E::SelIndex, &E::SelIndex);
})

TTools* TTechnology::GetTools() {
  if (!tools_) {
    tools_ = new TTools();
    Add(tools_);
  }
  return tools_;
}

TTool* TTechnology::GetToolByIndex(int index) const {
  if (!tools_ || index < 0 || index >= tools_->GetCount()) return nullptr;
  return dynamic_cast<TTool*>(tools_->GetItem(index));
}

TTool* TTechnology::FindToolByName(const std::string& name) const {
  return tools_ ? dynamic_cast<TTool*>(tools_->FindElementByName(name)) : nullptr;
}

TTool* TTechnology::GetActiveTool() const {
  if (currentIndex_ < 0 || currentIndex_ >= ToolCount()) return nullptr;
  return GetToolByIndex(currentIndex_);
}

void TTechnology::SetActiveTool(TTool* tool) {
  SetCurrentIndex(tools_ && tool ? tools_->IndexOf(tool) : -1);
}

void TTechnology::SetCurrentIndex(std::int32_t index) {
  currentIndex_ = index >= 0 && index < ToolCount() ? index : -1;
}

TTool* TTechnology::AppendTool(TTool* tool) {
  GetTools()->Add(tool);
  return tool;
}

TElement* TTechnology::AddNewTool(const std::string& className, const std::string& name) {
  return GetTools()->AddNew(className, name);
}

TTool* TTechnology::InsertTool(int index, TTool* tool) {
  GetTools()->Insert(index, tool);
  return tool;
}

void TTechnology::RemoveTool(TTool* tool) {
  if (tools_) tools_->Remove(tool);
}

void TTechnology::DeleteTool(TTool* tool) {
  if (tools_) tools_->Delete(tool);
}

TTool* TTechnology::NewToolByModel(TToolModel* model) {
  if (!model || model->ElementClassName.empty()) return nullptr;
  const TElementClass* cls = FindZeltoClass(model->ElementClassName);
  if (!cls) {
    PostTextMessage(this, zelto::msg::LogText, "Unknown class: " + model->ElementClassName);
    return nullptr;
  }
  if (!cls->InheritsFrom(TTool::StaticClass())) {
    PostTextMessage(this, zelto::msg::LogText, "Class: " + model->ElementClassName + " is not a Tool");
    return nullptr;
  }
  auto* tool = dynamic_cast<TTool*>(cls->Create());
  if (!tool) return nullptr;
  tool->SetName(model->GetName());
  AppendTool(tool);
  if (!model->AttachToPropertyName.empty()) SetObjectPropByName(this, model->AttachToPropertyName, tool);
  tool->SetSelfModel(model);
  tool->InitFromModel();
  return tool;
}

bool TTechnology::CanClose() {
  for (int i = 0; i < ToolCount(); ++i)
    if (TTool* tool = GetToolByIndex(i); tool && !tool->CanClose()) return false;
  return true;
}

void TTechnology::InitFromModel() {
  TTool::InitFromModel();
  if (!DynamicTool) BuildFromModel();
}

void TTechnology::BuildFromModel() {
  TToolModel* model = GetSelfModel();
  if (!model || model->GetNoModelTools()) return;
  for (TElement* e : std::vector<TElement*>(model->GetModelTools()->Items()))
    NewToolByModel(dynamic_cast<TToolModel*>(e));
}

void TTechnology::SaveToModel() {
  TTool::SaveToModel();
  for (int i = 0; i < ToolCount(); ++i)
    if (TTool* tool = GetToolByIndex(i)) tool->SaveToModel();
}

void TTechnology::SaveAndFreeTools() {
  SaveToModel();
  if (tools_) tools_->FreeAll();
}

void TTechnology::OnToolClosed(TZeltoMessage*& message, bool& handled) {
  DeleteTool(dynamic_cast<TTool*>(message->Sender()));
  handled = true;
}

void TSeqTechnology::DoIt() {
  TTool::DoIt();
  if (GetCount() == 0) return;
  for (int i = 0; i < ToolCount(); ++i) {
    TTool* tool = GetToolByIndex(i);
    if (!tool) continue;
    SetCurrentIndex(i);
    tool->SetParameters(GetParameters());
    tool->SetInput(Input());
    tool->DoIt();
    SetOutput(tool->Output());
    SetInput(tool->Output());
  }
}

void TSelectTechnology::SetElseTool(TTool* tool) {
  if (!tool) return;
  elseTool_ = tool;
  Add(tool);
}

void TSelectTechnology::DoIt() {
  TTool* chosen = nullptr;
  if (ToolCount() > 0 && SelIndex >= 0 && SelIndex < ToolCount()) chosen = GetToolByIndex(SelIndex);
  if (!chosen) chosen = elseTool_;
  if (!chosen) return;
  chosen->SetInput(Input());
  chosen->DoIt();
  SetOutput(chosen->Output());
}

void RegisterToolClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterZeltoClass(TProgressMessage::StaticClass());
  RegisterZeltoClass(TToolProperties::StaticClass());
  RegisterZeltoClass(TTool::StaticClass());
  RegisterZeltoClass(TResultTool::StaticClass());
  RegisterZeltoClass(TBooleanTool::StaticClass());
  RegisterZeltoClass(TTechnology::StaticClass());
  RegisterZeltoClass(TSeqTechnology::StaticClass());
  RegisterZeltoClass(TSelectTechnology::StaticClass());
}
