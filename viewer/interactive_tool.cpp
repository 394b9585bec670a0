#include "viewer/interactive_tool.h"

#include "framework/class_registry.h"
#include "viewer/interface_tool.h"

ZELTO_IMPLEMENT_ELEMENT(TDeviceTool, TTechnology, [](auto& p) {
  using E = TDeviceTool;
  p.Float("Scale", &E::GetScale, &E::SetScale);
  p.Float("VirtualScale", &E::GetVirtualScale, &E::SetVirtualScale);
})
ZELTO_IMPLEMENT_ELEMENT(TInteractiveTool, TDeviceTool, ZELTO_NO_PROPERTIES)

void TDeviceTool::SetDevice(TDevice* device) {
  if (device_ == device) return;
  if (device_) Remove(device_);
  device_ = device;
  if (device_) Add(device_);
}

double TDeviceTool::GetScale() const {
  return device_ && device_->GetProjection() ? device_->GetProjection()->GetScale() : 0.0;
}

void TDeviceTool::SetScale(double scale) {
  if (device_ && device_->GetProjection()) device_->GetProjection()->SetScale(scale);
}

double TDeviceTool::GetVirtualScale() const {
  return device_ && device_->GetProjection() ? device_->GetProjection()->GetVirtualScale() : 0.0;
}

void TDeviceTool::SetVirtualScale(double scale) {
  if (device_ && device_->GetProjection()) device_->GetProjection()->SetVirtualScale(scale);
}

void TInteractiveTool::HandleMessage(TZeltoMessage*& message, bool& handled) {
  handled = false;
  TTechnology::HandleMessage(message, handled);
  if (handled || !message) return;
  DispatchDrawingMessage(*this, message, handled);
}

void TInteractiveTool::SetInput(TElement* element) {
  TDeviceTool::SetInput(element);
  if (interpret_) interpret_->SetInput(element);
}

void TInteractiveTool::MouseEvent(int code, TElement* receiver, std::uint8_t button, std::uint8_t shift,
                                  std::int32_t x, std::int32_t y, bool windowWasActive) {
  TZeltoMessage::Post(new TZeltoMouseEvent(code, receiver, this, button, shift, x, y, windowWasActive));
}

void TInteractiveTool::KeyEvent(int code, TElement* receiver, std::uint16_t key, std::uint8_t shift) {
  TZeltoMessage::Post(new TZeltoKeyEvent(code, receiver, this, key, shift));
}

void TInteractiveTool::SetInterpret(TInterpret* interpret) { BindInterpret(interpret_, interpret); }

void TInteractiveTool::ReView(TZeltoMessage* message, bool& handled) {
  if (Input() && interpret_) interpret_->ReView(message, handled);
}

void TInteractiveTool::BreakInterpret(TZeltoMessage*, bool& handled) { BreakInterpretOf(interpret_, handled); }

void TInteractiveTool::RequestReView(TZeltoMessage* message, bool& handled) {
  RequestReViewOf(interpret_, message, handled);
}

void TDeviceTool::BindInterpret(TInterpret*& slot, TInterpret* next) {
  if (!next || next == slot) return;
  if (slot) {
    next->SetDevice(slot->GetDevice());
    next->SetInput(slot->Input());
    TInterpret* old = slot;
    slot = nullptr;
    Delete(old);
  } else {
    next->SetDevice(GetDevice());
    next->SetInput(Input());
  }
  slot = next;
  Add(slot);
}

void TDeviceTool::BreakInterpretOf(TInterpret* interpret, bool& handled) {
  if (!interpret) return;
  if (interpret->GetBusy()) interpret->SetBreakWork(true);
  handled = true;
}

void TDeviceTool::RequestReViewOf(TInterpret* interpret, TZeltoMessage* message, bool& handled) {
  if (!interpret) return;
  handled = true;
  if (interpret->GetBusy()) {
    SetFlag(TInteractiveTool::kReviewPending, true);
    // A print is not broken off for the screen: the review waits for it.
    if (!interpret->GetPrinting()) interpret->SetBreakWork(true);
    return;
  }
  auto* review = new TZeltoMessage(zelto::msg::ReviewRequest, message->Data(), message->Receiver(), this);
  review->KillData = message->KillData;
  // The request no longer owns the data: the review does.
  message->KillData = false;
  TZeltoMessage::Post(review);
}

void RegisterInteractiveToolClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  for (const TElementClass* c :
       {&TDeviceTool::StaticClass(), &TInteractiveTool::StaticClass(), &TZeltoShiftEvent::StaticClass(),
        &TZeltoMouseEvent::StaticClass(), &TZeltoKeyEvent::StaticClass(), &TZeltoCursorEvent::StaticClass(),
        &TInterfaceTool::StaticClass()})
    RegisterZeltoClass(*c);
}
