#include "viewer/interface_tool.h"

#include "framework/class_registry.h"
#include "viewer/print_tool.h"

ZELTO_IMPLEMENT_ELEMENT(TInterfaceTool, TDeviceTool, [](auto& p) {
  using E = TInterfaceTool;
  p.Boolean("Active", &E::GetActive, &E::SetActive);
  p.Object("Interpret", TInterpret::StaticClass(), &E::GetInterpret, [](E& e, TElement* v) {
    if (v && v->Is<TInterpret>()) e.SetInterpret(static_cast<TInterpret*>(v));
  });
  p.Integer("Cursor", [](E& e) { return e.GetCursor(); }, [](E&, std::int32_t) {});
  p.Integer("CursorIndex", &E::GetCursorIndex, &E::SetCursorIndex);
  p.String("CursorName", &E::GetCursorName, &E::SetCursorName);
  p.Boolean("Print", nullptr, [](E& e, bool) {
    bool handled = false;
    e.Print(handled);
  });
})

TIntegerListElement* TInterfaceTool::GetCursors() {
  if (!cursors_) {
    auto* list = new TIntegerListElement;
    list->SetName("CURSORS");
    ReplaceChild(cursors_, list);
  }
  return cursors_;
}

std::int32_t TInterfaceTool::GetCursor() {
  if (!cursors_ || cursors_->GetCount() == 0) return 0;
  if (cursorIndex_ < 0) return cursors_->GetValue(0);
  return cursorIndex_ < cursors_->GetCount() ? cursors_->GetValue(cursorIndex_) : 0;
}

void TInterfaceTool::SetCursorIndex(std::int32_t index) {
  if (index == cursorIndex_) return;
  std::int32_t cursor = 0;
  if (cursors_ && index >= 0 && index < cursors_->GetCount()) {
    cursorIndex_ = index;
    cursor = cursors_->GetValue(index);
  } else {
    cursorIndex_ = -1;
  }
  for (int i = 0; i < GetOwnersCount(); ++i)
    if (TElement* owner = GetOwner(i))
      TZeltoMessage::Post(new TZeltoCursorEvent(zelto::msg::CursorChanged, owner, this, cursor));
}

std::string TInterfaceTool::GetCursorName() const {
  if (!cursors_ || cursorIndex_ < 0 || cursorIndex_ >= cursors_->GetCount()) return {};
  TElement* item = cursors_->GetItem(cursorIndex_);
  return item ? item->GetName() : std::string();
}

void TInterfaceTool::SetCursorName(const std::string& name) {
  if (!cursors_) return;
  if (TElement* item = cursors_->FindElementByName(name)) SetCursorIndex(cursors_->IndexOf(item));
}

void TInterfaceTool::Activate() {
  SetCursorIndex(-1);
  SetCursorIndex(0);
  if (GetCursorIndex() < 0) PostTextMessage(this, zelto::msg::LogText, "nástroj " + GetName() + " nemá žádný kurzor !");
  SetActive(true);
}

void TInterfaceTool::SetInterpret(TInterpret* interpret) { BindInterpret(interpret_, interpret); }

void TInterfaceTool::SetInput(TElement* element) {
  TDeviceTool::SetInput(element);
  if (interpret_) interpret_->SetInput(element);
}

bool TInterfaceTool::CanClose() {
  if (!TDeviceTool::CanClose()) return false;
  return !GetActive() || MayCloseWhileActive();
}

void TInterfaceTool::MouseEvent(int code, TElement* receiver, std::uint8_t button, std::uint8_t shift,
                                std::int32_t x, std::int32_t y, bool windowWasActive) {
  TZeltoMessage::Post(new TZeltoMouseEvent(code, receiver, this, button, shift, x, y, windowWasActive));
}

void TInterfaceTool::KeyEvent(int code, TElement* receiver, std::uint16_t key, std::uint8_t shift) {
  TZeltoMessage::Post(new TZeltoKeyEvent(code, receiver, this, key, shift));
}

void TInterfaceTool::ReView(TZeltoMessage* message, bool& handled) {
  if (!GetIdle() && Input() && interpret_) interpret_->ReView(message, handled);
}

void TInterfaceTool::ReViewElementArea(TZeltoMessage* message, bool& handled) {
  if (!GetIdle() && Input() && interpret_) interpret_->ReViewElementArea(message, handled);
}

void TInterfaceTool::BreakInterpret(TZeltoMessage*, bool& handled) { BreakInterpretOf(interpret_, handled); }

void TInterfaceTool::RequestReView(TZeltoMessage* message, bool& handled) {
  RequestReViewOf(interpret_, message, handled);
}

void TInterfaceTool::Print(bool& handled) {
  handled = true;
  // The printer or PDF file chosen in the dialog is the one printed on.
  viewer::PrintWithPrintDialog(interpret_);
}

void TInterfaceTool::CloseOnRequest(bool& handled) {
  handled = true;
  if (!CloseOnRequestFlag) return;
  PostMessageToOwners(zelto::msg::InterfaceCode17);
  Close();
}

void TInterfaceTool::HandleMessage(TZeltoMessage*& message, bool& handled) {
  handled = false;
  TDeviceTool::HandleMessage(message, handled);
  if (handled || !message) return;
  if (DispatchDrawingMessage(*this, message, handled)) return;
  namespace m = zelto::msg;
  switch (message->Message) {
    case m::InterfaceCode17: CloseOnRequest(handled); break;
    case m::Print: Print(handled); break;
    case 32: ReViewElementArea(message, handled); break;
    case m::CursorChanged: CursorChanged(message, handled); break;
    default: break;
  }
}
