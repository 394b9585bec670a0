#include "framework/tool.h"

#include <memory>

#include "framework/element_model.h"
#include "framework/message_dispatch.h"
#include "framework/zelto_message.h"

ZELTO_IMPLEMENT_ELEMENT(TParameters, TOwnerEntity, ZELTO_NO_PROPERTIES)

ZELTO_IMPLEMENT_ELEMENT(TTool, TOwnerEntity, [](auto& p) {
  using E = TTool;
  p.Object("Input", TElement::StaticClass(), &E::Input, &E::SetInput);
  p.Object("Output", TElement::StaticClass(), &E::Output, &E::SetOutput);
  p.Boolean("Busy", &E::GetBusy, &E::SetBusy);
  p.Boolean("Idle", &E::GetIdle, &E::SetIdle);
  p.Boolean("InProgress", &E::GetInProgress, &E::SetInProgress);
  p.Boolean("BreakWork", &E::GetBreakWork, &E::SetBreakWork);
  p.Boolean("DynamicTool", &E::DynamicTool, &E::DynamicTool);
  p.Object("SelfModel", TToolModel::StaticClass(), &E::GetSelfModel, &E::SetSelfModel);
  p.Integer("Error", &E::Error, &E::Error);
  p.Object("NextParameter", TElement::StaticClass(), nullptr, &E::SetNextParameter);
})

ZELTO_IMPLEMENT_ELEMENT(TResultTool, TTool,
                        [](auto& p) { p.String("Result", &TResultTool::Result, &TResultTool::Result); })
ZELTO_IMPLEMENT_ELEMENT(TBooleanTool, TTool,
                        [](auto& p) { p.Boolean("Result", &TBooleanTool::Result, &TBooleanTool::Result); })
ZELTO_IMPLEMENT_ELEMENT(TToolProperties, TOwnerElement, ZELTO_NO_PROPERTIES)

TTool::~TTool() {
  // The end still reaches the progress monitor; nothing is delivered from
  // inside a destructor.
  if (GetInProgress())
    TZeltoMessage::Post(new TProgressMessage(zelto::msg::ProgressEnd, nullptr, nullptr, this));
}

void TTool::SetFlag(std::uint8_t bit, bool on) {
  if (on) flags_ |= bit;
  else flags_ &= static_cast<std::uint8_t>(~bit);
}

TParameters* TTool::GetParameters() {
  if (!parameters_) parameters_ = Adopt(new TParameters());
  return parameters_;
}

void TTool::SetParameters(TParameters* parameters) { ReplaceChild(parameters_, parameters); }

TElement* TTool::GetParameter(const std::string& name) {
  return parameters_ ? parameters_->FindByNameOrAlias(name) : nullptr;
}

void TTool::SetParameter(const std::string& name, TElement* element) {
  GetParameters()->BindAlias(name, element);
}

std::string TTool::GetParameterName(int) { return {}; }

void TTool::SetDefaultParameterText(int index, const std::string& text) {
  const std::string name = GetParameterName(index);
  if (!name.empty()) SetPropertyText(name, text);
}

void TTool::SetBreakWork(bool on) {
  if (on) {
    SetFlag(kBreak, true);
  } else {
    SetFlag(kBreak, false);
    SetFlag(kBreakWhileBusy, false);
  }
}

void TTool::DoIt() { SetFlag(kRunning, true); }

void TTool::DoItOn(TElement* element) {
  if (!element) {
    SetInput(nullptr);
    DoIt();
    return;
  }
  struct Restore {
    TTool& tool;
    TElement* saved;
    ~Restore() { tool.passing_ = saved; }
  } restore{*this, passing_};
  passing_ = element;
  DoIt();
}

TToolModel* TTool::GetSelfModel() const { return FindElementByClass<TToolModel>(); }

void TTool::SetSelfModel(TToolModel* model) {
  if (TToolModel* old = GetSelfModel()) {
    if (old == model) return;
    Delete(old);
  }
  Add(model);
}

void TTool::SetNextParameter(TElement* element) {
  if (element) SetParameter(element->GetName(), element);
}

void TTool::InitFromModel() {
  TToolModel* model = GetSelfModel();
  if (!model) {
    PostTextMessage(this, zelto::msg::LogText,
                    "Tool: " + GetName() + " class: " + ClassName() + " Has no model!");
    return;
  }
  DynamicTool = model->DynamicTool;
  if (model->GetNoModelProperties()) return;
  for (TElement* e : std::vector<TElement*>(model->GetModelProperties()->Items()))
    if (auto* property = dynamic_cast<TPropertyModel*>(e)) SetPropertyText(property->GetName(), property->Value);
}

void TTool::SaveToModel() {
  TToolModel* model = GetSelfModel();
  if (!model || model->GetNoModelProperties()) return;
  for (TElement* e : model->GetModelProperties()->Items())
    if (auto* property = dynamic_cast<TPropertyModel*>(e)) GetPropertyText(property->GetName(), property->Value);
}

void TTool::Close() {
  if (!CanClose()) return;
  SetFlag(kRunning, false);
  PostMessageToOwners(zelto::msg::ToolClosed);
}

void TTool::HandleMessage(TZeltoMessage*& message, bool& handled) {
  handled = false;
  TOwnerEntity::HandleMessage(message, handled);
  if (handled || !message) return;
  switch (message->Message) {
    case zelto::msg::ToolCode0:
      OnMessageCode0(message, handled);
      break;
    case zelto::msg::ToolClosed:
      OnToolClosed(message, handled);
      break;
    case zelto::msg::CloseRequest:
      Close();
      break;
    case zelto::msg::Finished:
      OnToolFinished(message, handled);
      break;
    default:
      break;
  }
}

void TTool::BeginProgress(const std::string& processName, std::int32_t min, std::int32_t max) {
  auto message = std::make_unique<TProgressMessage>(zelto::msg::ProgressBegin, nullptr, nullptr, this);
  message->ProcessName = processName;
  message->MinProgress = min;
  message->MaxProgress = max;
  TZeltoMessage::Post(message.release());
  SetInProgress(true);
  zelto::ProcessPendingMessages();
}

void TTool::StepProgress(std::int32_t position) {
  if (!GetInProgress()) return;
  auto* message = new TProgressMessage(zelto::msg::ProgressStep, nullptr, nullptr, this);
  message->Progress = position;
  TZeltoMessage::Post(message);
}

void TTool::ProgressText(const std::string& text) {
  if (!GetInProgress()) return;
  PostTextMessage(this, zelto::msg::ProgressText, text);
}

void TTool::EndProgress() {
  if (!GetInProgress()) return;
  TZeltoMessage::Post(new TProgressMessage(zelto::msg::ProgressEnd, nullptr, nullptr, this));
  SetInProgress(false);
  zelto::ProcessPendingMessages();
}
