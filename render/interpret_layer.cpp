#include "render/interpret_layer.h"

#include "framework/class_registry.h"
#include "platform/codepage.h"
#include "platform/path_resolver.h"
#include "platform/regular_file.h"

ZELTO_IMPLEMENT_ELEMENT(TInterpretLayer, TRectEntity, [](auto& p) {
  using L = TInterpretLayer;
  p.String("Path", &L::Path, &L::Path);
  p.Integer("GlobalColor", &L::GlobalColor, &L::GlobalColor);
  p.Integer("GlobalSymbol", &L::GlobalSymbol, &L::GlobalSymbol);
  p.Boolean("SwitchedOff", &L::SwitchedOff, &L::SwitchedOff);
  p.String("LayerClassName", &L::GetLayerClassName, &L::SetLayerClassName);
  p.Object("Interpret", TInterpret::StaticClass(), &L::GetInterpret, [](L& l, TElement* e) {
    l.SetInterpret(e && e->Is<TInterpret>() ? static_cast<TInterpret*>(e) : nullptr);
  });
  p.String("InterpretName", &L::GetInterpretName, &L::SetInterpretName);
  p.Float("MinScaleNumber", &L::MinScaleNumber, &L::MinScaleNumber);
  p.Float("MaxScaleNumber", &L::MaxScaleNumber, &L::MaxScaleNumber);
  p.String("LayerType", &L::LayerType, &L::LayerType);
  p.String("AsText", &L::AsText, &L::AsText);
})
ZELTO_IMPLEMENT_ELEMENT(TInterpretContainer, TRectEntity, [](auto& p) {
  using C = TInterpretContainer;
  p.Boolean("SwitcheAllOff", nullptr, &C::SwitchAll);
  p.String("SwitcheLayerOff", nullptr, [](C& c, const std::string& t) { c.SwitchLayerType(t, true); });
  p.String("SwitcheLayerOn", nullptr, [](C& c, const std::string& t) { c.SwitchLayerType(t, false); });
  p.String("InfoFile", nullptr, &C::WriteInfoFile);
})

TInterpretLayer::~TInterpretLayer() { delete interpret_; }

std::string TInterpretLayer::GetLayerClassName() const {
  return layerClass_ ? layerClass_->ClassName() : std::string();
}

void TInterpretLayer::SetLayerClassName(const std::string& name) { layerClass_ = FindZeltoClass(name); }

void TInterpretLayer::SetInterpret(TInterpret* interpret) {
  if (interpret == interpret_) return;
  delete interpret_;
  interpret_ = interpret;
}

std::string TInterpretLayer::GetInterpretName() const {
  return interpret_ ? interpret_->ClassName() : std::string();
}

void TInterpretLayer::SetInterpretName(const std::string& name) {
  if (interpret_ && platform::equalsIgnoringAsciiCase(interpret_->GetName(), name)) return;
  const TElementClass* cls = FindZeltoClass(name);
  TElement* created = cls && cls->InheritsFrom(TInterpret::StaticClass()) ? cls->Create() : nullptr;
  SetInterpret(static_cast<TInterpret*>(created));
}

bool TInterpretLayer::IsVisibleAtScale(double scale) const {
  if (SwitchedOff) return false;
  if (MinScaleNumber != 0 && !(scale > MinScaleNumber)) return false;
  if (MaxScaleNumber != 0 && !(scale < MaxScaleNumber)) return false;
  return true;
}

void TInterpretContainer::Add(TElement* element) {
  if (element && element->Is<TInterpretLayer>()) ExtendBy(element);
  TRectEntity::Add(element);
}

void TInterpretContainer::SwitchAll(bool off) {
  for (TElement* e : Items())
    if (e && e->Is<TInterpretLayer>()) static_cast<TInterpretLayer*>(e)->SwitchedOff = off;
}

void TInterpretContainer::SwitchLayerType(const std::string& type, bool off) {
  for (TElement* e : Items()) {
    if (!e || !e->Is<TInterpretLayer>()) continue;
    auto* layer = static_cast<TInterpretLayer*>(e);
    if (platform::equalsIgnoringAsciiCase(layer->LayerType, type)) layer->SwitchedOff = off;
  }
}

void TInterpretContainer::WriteInfoFile(const std::string& fileName) const {
  platform::RegularFileStream out(platform::pathResolver().forWriting(fileName), std::ios::out | std::ios::trunc);
  if (!out) throw EZeltoError("Nelze vytvořit soubor " + fileName);
  auto line = [&](const std::string& text) {
    out << platform::fromUtf8(text, platform::CodePage::Windows1250) << "\r\n";
  };
  const auto& items = Items();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (!items[i] || !items[i]->Is<TInterpretLayer>()) continue;
    const auto* layer = static_cast<const TInterpretLayer*>(items[i]);
    line("[LAYER" + std::to_string(i) + "]");
    line("TYPE=" + layer->LayerType);
    line("LAYER=" + layer->Path);
    line("");
  }
  if (!out) throw EZeltoError("Nelze zapsat soubor " + fileName);
}
