#include "viewer/zoom_tool.h"

#include <algorithm>

#include "framework/message_dispatch.h"

ZELTO_IMPLEMENT_ELEMENT(TViewer, TInteractiveTool, ZELTO_NO_PROPERTIES)

namespace viewer {

void ZoomKeys(TDeviceTool& tool, std::uint16_t key) {
  switch (key) {
    case zelto::key::Escape:
      tool.PostMessage(zelto::msg::BreakDrawing, &tool);
      break;
    case zelto::key::F5:
      tool.SetScale(tool.GetScale() / 2);
      tool.PostMessage(zelto::msg::RequestReView, &tool);
      break;
    case zelto::key::F6:
      tool.SetScale(tool.GetScale() * 2);
      tool.PostMessage(zelto::msg::RequestReView, &tool);
      break;
    default:
      break;
  }
}

void XorFrame(TCanvas& canvas, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  constexpr TColor kGreen = 32768;
  constexpr std::int32_t kHalf = 1;  // a pen 3 pixels wide
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  const TDeviceRect clip = canvas.ClipRect();
  auto flip = [&](std::int32_t x, std::int32_t y) {
    if (x < clip.Left || x >= clip.Right || y < clip.Top || y >= clip.Bottom) return;
    const TColor c = canvas.GetPixel(x, y);
    if (c != clInvalid) canvas.SetPixel(x, y, c ^ kGreen);
  };
  // Each pixel of the band exactly once, so that a second call erases it.
  for (std::int32_t y = top - kHalf; y <= bottom + kHalf; ++y) {
    if (y <= top + kHalf || y >= bottom - kHalf) {
      for (std::int32_t x = left - kHalf; x <= right + kHalf; ++x) flip(x, y);
      continue;
    }
    const std::int32_t leftEnd = std::min(left + kHalf, right + kHalf);
    for (std::int32_t x = left - kHalf; x <= leftEnd; ++x) flip(x, y);
    for (std::int32_t x = std::max(right - kHalf, leftEnd + 1); x <= right + kHalf; ++x) flip(x, y);
  }
}

}  // namespace viewer

void TViewer::KeyDown(TZeltoMessage* message, bool& handled) {
  // Left unhandled, so that the manager's keys follow on the same message.
  if (auto* key = dynamic_cast<TZeltoKeyEvent*>(message)) viewer::ZoomKeys(*this, key->Key);
  handled = false;
}

void TViewer::DrawBand() {
  TDevice* device = GetDevice();
  TCanvas* canvas = nullptr;
  if (auto* cd = dynamic_cast<TCanvasDevice*>(device)) canvas = cd->GetCanvas();
  if (canvas) viewer::XorFrame(*canvas, left_, upper_, right_, lower_);
}

void TViewer::MouseDown(TZeltoMessage* message, bool& handled) {
  zelto::ProcessPendingMessages();
  PostMessageToOwners(zelto::msg::BreakDrawing);
  auto* e = dynamic_cast<TZeltoMouseEvent*>(message);
  if (!e || e->Button != mbLeft || !e->WindowWasActive) return;
  left_ = right_ = e->X;
  upper_ = lower_ = e->Y;
  banding_ = true;
  DrawBand();
  handled = true;
}

void TViewer::MouseMove(TZeltoMessage* message, bool& handled) {
  handled = false;
  auto* e = dynamic_cast<TZeltoMouseEvent*>(message);
  if (!e || !banding_ || !e->WindowWasActive || !(e->Shift & ssLeft)) return;
  DrawBand();
  right_ = e->X;
  lower_ = e->Y;
  DrawBand();
}

void TViewer::MouseUp(TZeltoMessage* message, bool& handled) {
  auto* e = dynamic_cast<TZeltoMouseEvent*>(message);
  if (!e || e->Button != mbLeft) return;
  handled = true;
  // A click that re-activates the window did not start a band.
  if (!e->WindowWasActive || !banding_) return;
  banding_ = false;
  DrawBand();
  TDevice* device = GetDevice();
  TPageProjection* projection = device ? device->GetProjection() : nullptr;
  if (!projection) return;
  if (right_ - left_ < 3 && lower_ - upper_ < 3) {
    geometry::PointD centre{};
    projection->DeviceToWorldPoint(e->X, e->Y, centre);
    projection->SetCenter(centre);
  } else {
    geometry::WorldRect world{};
    projection->DeviceToWorldRect(left_, upper_, right_, lower_, world);
    projection->FitWorldRect(world);
  }
  PostMessageToOwners(zelto::msg::RequestReView);
}
