#include "render/print_pages.h"

#include <cmath>

ZELTO_IMPLEMENT_ELEMENT(TPrintPages, TRectEntity, [](auto&) {})

void TPrintPages::SetDesktop(TDesktop* desktop) {
  desktop_ = desktop;
  RebuildPages();
}

double TPrintPages::GetScaleFactor() {
  if (scaleFactor_ <= 0) scaleFactor_ = 1.0;
  return scaleFactor_;
}

void TPrintPages::SetScaleFactor(double value) {
  scaleFactor_ = value;
  RebuildPages();
}

void TPrintPages::SetOverlap(double value) {
  overlap_ = value;
  RebuildPages();
}

void TPrintPages::SetCentered(bool centered) {
  if (centered == centered_) return;
  centered_ = centered;
  RebuildPages();
}

TRectEntity* TPrintPages::GetPages() {
  if (!pages_) {
    pages_ = new TRectEntity;
    Add(pages_);
  }
  return pages_;
}

int TPrintPages::GetPageCount() { return GetPages()->GetCount(); }

TDrawRectangle* TPrintPages::GetPage(int index) {
  return dynamic_cast<TDrawRectangle*>(GetPages()->GetItem(index));
}

void TPrintPages::ClearPages() { GetPages()->FreeAll(); }

TDrawRectangle* TPrintPages::AddPage(double minX, double minY, double width, double height) {
  auto* page = new TDrawRectangle;
  page->PenColor = 0;
  page->PenStyle = psSolid;
  page->BrushColor = 0xFFFFFF;
  page->BrushStyle = bsSolid;
  page->SetMinX(minX);
  page->SetMinY(minY);
  page->SetMaxX(minX + width);
  page->SetMaxY(minY + height);
  GetPages()->AddAndExtend(page);
  return page;
}

namespace {

// Whole steps, plus one for a remainder above a thousandth of a step.
std::int32_t StepCount(double length, double step) {
  const double quotient = length / step;
  const double whole = std::floor(quotient);
  return static_cast<std::int32_t>(whole) + (quotient - whole > 0.001 ? 1 : 0);
}

}  // namespace

void TPrintPages::RebuildPages() {
  if (pages_) {
    Delete(pages_);
    pages_ = nullptr;
  }
  SetRectangle(nullptr);
  Rows = 0;
  Cols = 0;
  if (!desktop_ || !Device) return;
  const double s = GetScaleFactor();
  const double o = overlap_;
  const double stepX = (Device->GetPaperWidth() - o) * s;
  const double stepY = (Device->GetPaperHeight() - o) * s;
  // An overlap as large as the paper would never advance across the desktop.
  if (!(stepX > 0) || !(stepY > 0)) return;
  Cols = StepCount(desktop_->GetWidth(), stepX);
  Rows = StepCount(desktop_->GetHeight(), stepY);
  if (singlePage_) Cols = Rows = 1;
  double y = desktop_->GetMinY();
  for (std::int32_t row = 0; row < Rows; ++row) {
    double x = desktop_->GetMinX();
    for (std::int32_t col = 0; col < Cols; ++col) {
      ExtendBy(AddPage(x - o, y - o, stepX + o, stepY + o));
      x += stepX;
    }
    y += stepY;
  }
  if (centered_) CenterOnDesktop();
}

void TPrintPages::CenterOnDesktop() {
  if (!desktop_ || !pages_) return;
  const double dX = desktop_->GetCenterX() - GetCenterX();
  const double dY = desktop_->GetCenterY() - GetCenterY();
  for (TElement* child : pages_->Items())
    if (auto* page = dynamic_cast<TRectEntity*>(child)) page->MoveBy(dX, dY);
  pages_->RecalcEnvelope();
  RecalcEnvelope();
}
