#include <gtest/gtest.h>

#include "tests/framework/test_support.h"

#include "framework/message_dispatch.h"
#include "platform/message_queue.h"

ZELTO_IMPLEMENT_ELEMENT(TProbe, TOwnerEntity, [](auto& p) {
  p.Integer("Number", &TProbe::Count, &TProbe::Count);
  p.Boolean("Flag", &TProbe::Flag, &TProbe::Flag);
  p.Enumeration("Tint", {"clRed", "clGreen", "clBlue"}, &TProbe::Tint, &TProbe::Tint);
  p.Float("Scale", &TProbe::Scale, &TProbe::Scale);
  p.String("Label", &TProbe::Label, &TProbe::Label).Stored(false);
  p.Char("Letter", &TProbe::Letter, &TProbe::Letter);
  p.Set("Bits", {"bA", "bB", "bC"}, &TProbe::Bits, &TProbe::Bits);
  p.Object("Target", TEntity::StaticClass(), &TProbe::Target, &TProbe::Target);
  p.Method("OnChange", &TProbe::HandlerAssigned);
})

ZELTO_IMPLEMENT_ELEMENT(TRecorder, TOwnerEntity, ZELTO_NO_PROPERTIES)

void TRecorder::HandleMessage(TZeltoMessage*& message, bool& handled) {
  TOwnerEntity::HandleMessage(message, handled);
  auto* text = dynamic_cast<TZeltoTextMessage*>(message);
  seen.push_back({message->Message, message->Receiver(), message->Sender(), message->Data(),
                  text ? text->Text : std::string()});
  if (throws) throw std::runtime_error("handler failed");
  if (handles) handled = true;
}

void FrameworkTest::SetUp() {
  static bool registered = false;
  if (!registered) {
    registered = true;
    RegisterElementClasses();
    RegisterZeltoClass(TProbe::StaticClass());
    RegisterZeltoClass(TRecorder::StaticClass());
  }
  platform::messageQueue().discardAll();
  zelto::SetMainToolResolver(nullptr);
}

void FrameworkTest::TearDown() {
  platform::messageQueue().discardAll();
  zelto::SetMainToolResolver(nullptr);
}

bool Alive(platform::Handle handle) { return TElement::FromHandle(handle) != nullptr; }

void WriteZltHeader(zelto::ValueWriter& w) {
  w.WriteRaw("ZLT0");
  for (int i = 0; i < 3; ++i) w.WriteString("hlavička");
}

void WriteClassDefinition(zelto::ValueWriter& w, const std::string& name,
                          std::initializer_list<std::pair<const char*, int>> properties) {
  w.WriteInteger(-1);
  w.WriteString(name);
  w.WriteInteger(0);
  w.WriteListBegin();
  for (const auto& [property, kind] : properties) w.WriteString(property), w.WriteInteger(kind);
  w.WriteListEnd();
}
