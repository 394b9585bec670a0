#include "render/interpret.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "framework/zelto_message.h"

ZELTO_IMPLEMENT_ELEMENT(TInterpret, TRecursor, [](auto& p) {
  p.Object("Device", TDevice::StaticClass(), &TInterpret::GetDevice,
           [](TInterpret& i, TElement* e) {
             i.SetDevice(e && e->Is<TDevice>() ? static_cast<TDevice*>(e) : nullptr);
           });
  p.Object("NextSubInterpret", TInterpret::StaticClass(), nullptr, &TInterpret::SetNextSubInterpret);
})
ZELTO_IMPLEMENT_ELEMENT(TRectInterpret, TInterpret, [](auto& p) {
  p.Float("MinX", &TRectInterpret::GetMinX);
  p.Float("MinY", &TRectInterpret::GetMinY);
  p.Float("MaxX", &TRectInterpret::GetMaxX);
  p.Float("MaxY", &TRectInterpret::GetMaxY);
})

namespace {
std::vector<TInterpret*> subInterprets(TTechnology& technology) {
  std::vector<TInterpret*> list;
  for (int i = 0; i < technology.ToolCount(); ++i) {
    TTool* tool = technology.GetToolByIndex(i);
    if (tool && tool->Is<TInterpret>()) list.push_back(static_cast<TInterpret*>(tool));
  }
  return list;
}
}  // namespace

TInterpret::~TInterpret() {
  // The device outlives its renderers: unlink it before the children go.
  SetDevice(nullptr);
}

void TInterpret::SetDevice(TDevice* device) {
  if (device == device_) return;
  if (device_) Remove(device_);
  device_ = device;
  if (device_) Add(device_);
}

void TInterpret::SetNextSubInterpret(TElement* interpret) {
  if (interpret && interpret->Is<TTool>()) AppendTool(static_cast<TTool*>(interpret));
}

void TInterpret::EnsureSubInterprets() {
  if (subInterpretsCreated_) return;
  subInterpretsCreated_ = true;
  CreateSubInterprets();
}

void TInterpret::HandleMessage(TZeltoMessage*& message, bool& handled) {
  TRecursor::HandleMessage(message, handled);
  if (handled || !message) return;
  if (message->Message == zelto::msg::ReviewRequest)
    ReView(message, handled);
  else if (message->Message == 32)
    ReViewElementArea(message, handled);
}

void TInterpret::SetBreakWork(bool on) {
  TRecursor::SetBreakWork(on);
  for (TInterpret* sub : subInterprets(*this)) sub->SetBreakWork(on);
}

void TInterpret::DoIt() { DrawFrom(Input()); }

void TInterpret::Draw(TElement* element) { DoItOn(element); }

void TInterpret::DrawFrom(TElement* element) {
  if (GetBusy()) return;
  EnsureSubInterprets();
  SetBusy(true);
  // However the walk ends, the interpret is free again afterwards.
  struct Release {
    TInterpret& interpret;
    ~Release() {
      interpret.SetBusy(false);
      interpret.SetBreakWork(false);
    }
  } release{*this};
  try {
    BeforeInterpret();
    Walk(element);
    AfterInterpret();
  } catch (...) {
    if (GetPrinting()) {
      // A print is not drawn again: whether a renderer failed or the user
      // broke off, its page lacks part of the map, and the print must say
      // so. The walk first lets go of the printer, which goes with the print.
      AfterInterpret();
      throw;
    }
    // The screen draws again at its next review: a break (or a renderer's
    // failure) ends the walk quietly, and a break that asked for a repeat
    // draws again from the message queue.
    if (Flag(kBreakWhileBusy)) {
      try {
        AfterInterpret();
      } catch (const std::exception&) {
        // The screen's device stays bound; the repeat binds it anew.
      }
      PostMessage(zelto::msg::ReviewRequest, this);
    }
  }
}

void TInterpret::Recurse(TElement* element) {
  TDevice* device = device_;
  if (!device) {
    TRecursor::Recurse(element);
    return;
  }
  if (!device->EnterDrawing(element)) return;
  try {
    TRecursor::Recurse(element);
  } catch (...) {
    device->LeaveDrawing(element);
    throw;
  }
  device->LeaveDrawing(element);
}

bool TInterpret::QGoInside(TElement* element) { return element && element->Is<TEntity>(); }

void TInterpret::Process(TElement* element) {
  for (TInterpret* sub : subInterprets(*this)) {
    if (!sub->IsItsClass(element)) continue;
    sub->DoItOn(element);
    AfterSubInterpret(sub->Output());
  }
}

void TInterpret::FreeSubInterprets() { GetTools()->FreeAll(); }

void TInterpret::BeginOnDevice(TDevice* device) {
  EnsureSubInterprets();
  SetBreakWork(false);
  SetBusy(false);
  SetDevice(device);
  for (TInterpret* sub : subInterprets(*this)) {
    sub->SetPrinting(printing_);
    sub->BeginOnDevice(device);
  }
}

void TInterpret::EndOnDevice() {
  SetDevice(nullptr);
  for (TInterpret* sub : subInterprets(*this)) sub->EndOnDevice();
}

void TInterpret::ReView(TZeltoMessage* message, bool& handled) {
  handled = true;
  if (GetBusy()) return;
  TElement* element = message ? message->Data() : nullptr;
  if (!element) {
    DoIt();
    return;
  }
  TElement* saved = Input();
  SetInput(element);
  DoIt();
  SetInput(saved);
}

void TRectInterpret::BeginOnDevice(TDevice* device) {
  TInterpret::BeginOnDevice(device);
  if (!device || !device->GetProjection()) return;
  geometry::WorldRect r{};
  device->GetProjection()->GetInnerWorldRect(r);
  minX_ = r.MinX;
  minY_ = r.MinY;
  maxX_ = r.MaxX;
  maxY_ = r.MaxY;
  if (device->GetProjection()->GetAngle() == 0.0) return;
  // A turned page shows a turned rectangle of the world: every corner,
  // turned back, must lie inside what the renderers look at.
  const double corners[4][2] = {{r.MinX, r.MinY}, {r.MinX, r.MaxY}, {r.MaxX, r.MinY}, {r.MaxX, r.MaxY}};
  for (const auto& c : corners) {
    double x = c[0], y = c[1];
    device->UnrotatePoint(x, y);
    minX_ = std::min(minX_, x);
    minY_ = std::min(minY_, y);
    maxX_ = std::max(maxX_, x);
    maxY_ = std::max(maxY_, y);
  }
}
