#include "render/universal_interpret.h"

#include <string>

#include "framework/class_registry.h"
#include "framework/message_dispatch.h"
#include "framework/zelto_message.h"
#include "render/interpret_layer.h"

ZELTO_IMPLEMENT_ELEMENT(TUniversalInterpret, TInterpret, [](auto& p) {
  using E = TUniversalInterpret;
  p.Object("Script", TInterpretScript::StaticClass(), &E::GetScript,
           [](E& e, TElement* v) {
             e.SetScript(v && v->Is<TInterpretScript>() ? static_cast<TInterpretScript*>(v) : nullptr);
           });
  p.Object("Interpret", TInterpret::StaticClass(), &E::GetInterpret);
  p.Boolean("InterpretByLayer", &E::GetInterpretByLayer);
  p.Boolean("CanGoInside", &E::GetCanGoInside);
  p.Integer("Counter", &E::Counter, &E::Counter);
  p.Boolean("Tile", &E::Tile, &E::Tile);
  p.Object("TileDevice", TTileDevice::StaticClass(), &E::GetTileDevice,
           [](E& e, TElement* v) {
             // Only a tiled device may render the strips.
             if (v && v->Is<TTileDevice>()) e.SetTileDevice(static_cast<TTileDevice*>(v));
           });
  p.Object("Timer", TTickElement::StaticClass(), &E::GetTimer);
})

namespace {
constexpr std::int32_t kBreakPollMs = 200;
}  // namespace

void TUniversalInterpret::SetScript(TInterpretScript* script) { ReplaceChild(script_, script); }

TTileDevice* TUniversalInterpret::GetTileDevice() {
  if (!tileDevice_) SetTileDevice(new TTileDevice());
  return tileDevice_;
}

void TUniversalInterpret::SetTileDevice(TTileDevice* device) {
  if (device) ReplaceChild(tileDevice_, device);
}

TTickElement* TUniversalInterpret::GetTimer() {
  if (!timer_) {
    auto* timer = new TTickElement();
    timer->Interval = kBreakPollMs;
    ReplaceChild(timer_, timer);
  }
  return timer_;
}

void TUniversalInterpret::RunPasses() {
  if (!script_ || script_->GetPassesCount() < 1) return;
  const std::int32_t passes = script_->GetPassesCount();
  for (std::int32_t i = 0; i < passes && !broken_; ++i) {
    script_->SetPass(i);
    if (script_->Error > 0) break;
    TInterpret::DoIt();
  }
}

void TUniversalInterpret::RunTiles() {
  TDevice* target = GetDevice();
  if (!target) return;
  TTileDevice* tiles = GetTileDevice();
  BeginProgress("Interpretace Bitmapových Dlaždic", 0, 0);
  ProgressText("Inicializace....");
  // The target is this run's only: a printer device goes with its job, and
  // the strip of a run broken off would hold its memory until the next run.
  tiles->SetTarget(target);
  SetDevice(tiles);
  try {
    for (std::int32_t n = 1; !tiles->GetDone() && !broken_; ++n) {
      ProgressText("Interpretace " + std::to_string(n) + ". dlaždice z " +
                   std::to_string(tiles->GetTileCount()));
      tiles->BeginDraw();
      RunPasses();
      tiles->EndDraw();
      tiles->NextTile();
    }
  } catch (...) {
    SetDevice(target);
    tiles->SetTarget(nullptr);
    EndProgress();
    throw;
  }
  SetDevice(target);
  tiles->SetTarget(nullptr);
  EndProgress();
}

void TUniversalInterpret::DoIt() {
  if (GetBusy()) return;
  broken_ = false;
  if (Tile)
    RunTiles();
  else
    RunPasses();
}

bool TUniversalInterpret::LayerVisible(TInterpretLayer* layer) {
  TDevice* device = GetDevice();
  const double scale = device && device->GetProjection() ? device->GetProjection()->GetScale() : 0.0;
  return layer->IsVisibleAtScale(scale);
}

bool TUniversalInterpret::QProcessBefore(TElement* element) {
  if (!element || !element->Is<TInterpretLayer>()) return true;
  auto* layer = static_cast<TInterpretLayer*>(element);
  if (!LayerVisible(layer)) return false;
  if (layer->GetInterpret() && layer->GetLayerClass()) {
    layerInterpret_ = layer->GetInterpret();
    layerInterpret_->SetPrinting(GetPrinting());
    layerInterpret_->BeginOnDevice(GetDevice());
    current_ = layerInterpret_;
    layerClass_ = layer->GetLayerClass();
    interpretByLayer_ = true;
  }
  return true;
}

void TUniversalInterpret::DrawWith(TInterpret* interpret, TElement* element) {
  current_ = interpret;
  interpret->SetPrinting(GetPrinting());
  interpret->Draw(element);
  canGoInside_ = interpret->CanGoInside(element);
}

void TUniversalInterpret::Process(TElement* element) {
  canGoInside_ = true;
  if (!interpretByLayer_) {
    if (script_ && script_->Matches(element))
      if (TInterpret* interpret = script_->InterpretFor(element)) DrawWith(interpret, element);
    current_ = nullptr;
  } else if (element && layerClass_ && element->InheritsFrom(*layerClass_)) {
    DrawWith(layerInterpret_, element);
  }
  PollBreak();
}

void TUniversalInterpret::PollBreak() {
  TTickElement* timer = GetTimer();
  if (!timer->GetAlarm()) return;
  timer->Pause = true;
  zelto::ProcessPendingMessages();
  if (GetBreakWork()) {
    broken_ = true;
    throw EBreakInterpret();
  }
  timer->Restart();
}

bool TUniversalInterpret::QGoInside(TElement* element) {
  if (element && element->Is<TInterpretLayer>()) return LayerVisible(static_cast<TInterpretLayer*>(element));
  return canGoInside_ && element && element->Is<TEntity>();
}

bool TUniversalInterpret::QProcessAfter(TElement* element) {
  if (!element || !element->Is<TInterpretLayer>()) return TInterpret::QProcessAfter(element);
  if (interpretByLayer_ && layerInterpret_) layerInterpret_->EndOnDevice();
  interpretByLayer_ = false;
  layerClass_ = nullptr;
  layerInterpret_ = nullptr;
  current_ = nullptr;
  return false;
}

void TUniversalInterpret::BeforeInterpret() {
  // A walk broken inside a layer never reached the layer's end.
  interpretByLayer_ = false;
  layerClass_ = nullptr;
  layerInterpret_ = nullptr;
  current_ = nullptr;
  canGoInside_ = true;
  if (script_) script_->BeginOnDevice(GetDevice());
  GetTimer()->Restart();
  Counter = 0;
}

void TUniversalInterpret::AfterInterpret() {
  if (script_) script_->EndOnDevice();
  if (layerInterpret_) layerInterpret_->EndOnDevice();
  interpretByLayer_ = false;
  layerInterpret_ = nullptr;
  current_ = nullptr;
  PostMessageToOwners(zelto::msg::Finished);
}

void TUniversalInterpret::SetBreakWork(bool on) {
  TInterpret::SetBreakWork(on);
  if (current_) current_->SetBreakWork(on);
}

void TUniversalInterpret::ReView(TZeltoMessage* message, bool& handled) {
  handled = true;
  // A redraw while a walk runs must not clear what the walk is drawing.
  if (GetBusy()) return;
  zelto::ProcessPendingMessages();
  TDevice* device = GetDevice();
  const bool whole = !message || !message->Data();
  if (whole && device) device->BeginDraw();
  TInterpret::ReView(message, handled);
  if (device) device->EndDraw();
}

void TUniversalInterpret::ReViewElementArea(TZeltoMessage* message, bool& handled) {
  handled = true;
  if (GetBusy()) return;
  TElement* data = message ? message->Data() : nullptr;
  TDevice* device = GetDevice();
  if (!data || !data->Is<TRectEntity>() || !device || !device->GetProjection() || !device->GetPage()) return;
  zelto::ProcessPendingMessages();
  auto* rect = static_cast<TRectEntity*>(data);
  constexpr double kMargin = 10.0;
  T_Page* page = device->GetPage();
  device->GetProjection()->SetInnerWorldRect({rect->GetMinX() - kMargin, rect->GetMinY() - kMargin,
                                              rect->GetMaxX() + kMargin, rect->GetMaxY() + kMargin});
  page->SetUseInnerRect(true);
  try {
    // The clear and the redraw of the whole model stay inside the rectangle.
    device->BeginDraw();
    bool inner = false;
    ReView(nullptr, inner);
  } catch (...) {
    page->SetUseInnerRect(false);
    page->SetInnerRect(page->GetPageRect());
    throw;
  }
  page->SetUseInnerRect(false);
  page->SetInnerRect(page->GetPageRect());
  device->EndDraw();
}

void RegisterUniversalInterpretClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterInterpretScriptClasses();
  RegisterZeltoClass(TUniversalInterpret::StaticClass());
}
