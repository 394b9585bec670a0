#include "render/device.h"

#include <algorithm>
#include <cmath>

#include "framework/coordinate.h"
#include "geometry/area_element.h"
#include "geometry/outcodes.h"
#include "geometry/plane_geometry.h"
#include "platform/user_interaction.h"
#include "render/border_buffer.h"

using geometry::PointD;
using geometry::WorldRect;

ZELTO_IMPLEMENT_ELEMENT(TDevice, TOwnerEntity, [](auto& p) {
  p.Object("Page", T_Page::StaticClass(), &TDevice::GetPage);
  p.Object("Projection", TPageProjection::StaticClass(), &TDevice::GetProjection);
  p.Float("PaperWidth", &TDevice::GetPaperWidth);
  p.Float("PaperHeight", &TDevice::GetPaperHeight);
})
ZELTO_IMPLEMENT_ELEMENT(TCanvasDevice, TDevice, [](auto& p) {
  p.Integer("LastX", &TCanvasDevice::LastX, &TCanvasDevice::LastX);
  p.Integer("LastY", &TCanvasDevice::LastY, &TCanvasDevice::LastY);
  p.Float("FontAngle", &TCanvasDevice::GetFontAngle, &TCanvasDevice::SetFontAngle);
})

namespace {
TDeviceRect normalized(TDeviceRect r) {
  if (r.Left > r.Right) std::swap(r.Left, r.Right);
  if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
  return r;
}

// Polyline pieces that lie on the page: a polygon clipper would close the
// line along the page's edge, so a line is cut segment by segment.
void drawClippedRuns(TCanvas& canvas, const std::vector<TDevicePoint>& points,
                     const TDeviceRect& clip) {
  std::vector<TDevicePoint> run;
  auto flush = [&] {
    if (run.size() >= 2) canvas.Polyline(run.data(), static_cast<std::int32_t>(run.size()));
    run.clear();
  };
  for (std::size_t i = 1; i < points.size(); ++i) {
    const TDevicePoint a = points[i - 1], b = points[i];
    std::int32_t x1, y1, x2, y2;
    bool visible = false;
    ClipSegmentToRect(clip, a.X, a.Y, b.X, b.Y, x1, y1, x2, y2, visible);
    if (!visible) {
      flush();
      continue;
    }
    TDevicePoint from{x1, y1}, to{x2, y2};
    // The clipper may hand the ends back exchanged.
    const auto d2 = [](TDevicePoint p, TDevicePoint q) {
      const double dx = static_cast<double>(p.X) - q.X, dy = static_cast<double>(p.Y) - q.Y;
      return dx * dx + dy * dy;
    };
    if (d2(from, a) > d2(to, a)) std::swap(from, to);
    if (run.empty() || !(run.back() == from) || !(from == a)) {
      flush();
      run.push_back(from);
    }
    run.push_back(to);
    if (!(to == b)) flush();
  }
  flush();
}
}  // namespace

// ---------------------------------------------------------------- TDevice

TDevice::TDevice(bool withPage) {
  if (!withPage) return;
  EnsurePage();
  projection_ = Adopt(new TPageProjection);
  projection_->SetPage(page_);
}

TDevice::~TDevice() {
  // The projection must not outlive the page it points to.
  if (projection_) projection_->SetPage(nullptr);
}

T_Page* TDevice::EnsurePage() {
  if (!page_) {
    page_ = Adopt(new T_Page);
    page_->SetResolution(1000.0, 1000.0);
    // Paper is white until somebody says otherwise.
    page_->SetPaperColor(clWhite);
    if (projection_) projection_->SetPage(page_);
  }
  return page_;
}

void TDevice::SetPenWidth(double length) {
  TPen* pen = GetPen();
  if (!pen || !projection_) return;
  pen->Width = PenWidthForDevice(projection_->WorldToDeviceDX(length));
}

double TDevice::GetPaperWidth() const {
  if (!page_ || page_->GetHRes() == 0.0) return 0.0;
  return page_->GetWidth() / page_->GetHRes();
}

double TDevice::GetPaperHeight() const {
  if (!page_ || page_->GetVRes() == 0.0) return 0.0;
  return page_->GetHeight() / page_->GetVRes();
}

void TDevice::PolyToDevicePoints(TElement* element, std::vector<TDevicePoint>& points,
                                 std::int32_t& count, std::int32_t& bytes) {
  points.clear();
  count = 0;
  bytes = 0;
  if (!projection_) return;
  std::vector<PointD> world;
  render::CollectWorldPoints(element, world);
  render::ToDevicePoints(*projection_, world, points);
  count = static_cast<std::int32_t>(points.size());
  bytes = count * static_cast<std::int32_t>(sizeof(TDevicePoint));
}

namespace {
void turn(const TPageProjection& p, double& x, double& y, double angle) {
  if (angle == 0.0) return;
  const double dx = x - p.GetRotateCenterX();
  const double dy = y - p.GetRotateCenterY();
  const double d = std::hypot(dx, dy);
  const double phi = DirectionAngle(dx, dy) + angle;
  const double nx = p.GetRotateCenterX() + d * std::cos(phi);
  const double ny = p.GetRotateCenterY() + d * std::sin(phi);
  if (!std::isfinite(nx) || !std::isfinite(ny)) return;
  x = nx;
  y = ny;
}
}  // namespace

void TDevice::RotatePoint(double& x, double& y) const {
  if (projection_) turn(*projection_, x, y, projection_->GetAngle());
}

void TDevice::UnrotatePoint(double& x, double& y) const {
  if (projection_) turn(*projection_, x, y, -projection_->GetAngle());
}

void TDevice::BuildPolyPolygon(TElement*, std::vector<TDevicePoint>& points,
                               std::vector<std::int32_t>& counts, std::int32_t& total,
                               std::int32_t& rings) {
  points.clear();
  counts.clear();
  total = 0;
  rings = 0;
}

namespace render {
std::unique_ptr<TRectEntity> RotatedCopy(const TDevice& device, TElement* element) {
  auto copy = std::make_unique<TRectEntity>();
  std::vector<PointD> world;
  CollectWorldPoints(element, world);
  for (PointD p : world) {
    device.RotatePoint(p.X, p.Y);
    copy->AddAndExtend(new T2DCoordinate(p.X, p.Y));
  }
  return copy;
}
}  // namespace render

// ---------------------------------------------------------- TCanvasDevice

TBrush* TCanvasDevice::GetBrush() { return canvas_ ? &canvas_->Brush() : nullptr; }
TFont* TCanvasDevice::GetFont() { return canvas_ ? &canvas_->Font() : nullptr; }
TPen* TCanvasDevice::GetPen() { return canvas_ ? &canvas_->Pen() : nullptr; }

void TCanvasDevice::SetBrush(const TBrush& brush) {
  if (canvas_) canvas_->Brush() = brush;
}
void TCanvasDevice::SetFont(const TFont& font) {
  if (canvas_) canvas_->Font() = font;
}
void TCanvasDevice::SetPen(const TPen& pen) {
  if (canvas_) canvas_->Pen() = pen;
}

TColor TCanvasDevice::GetPixel(double x, double y) {
  if (!canvas_) return 0;
  return canvas_->GetPixel(GetProjection()->WorldToDeviceX(x), GetProjection()->WorldToDeviceY(y));
}

void TCanvasDevice::SetPixel(TColor color, double x, double y) {
  if (!canvas_) return;
  canvas_->SetPixel(GetProjection()->WorldToDeviceX(x), GetProjection()->WorldToDeviceY(y), color);
}

void TCanvasDevice::SetCanvas(TCanvas* canvas) {
  canvas_ = canvas;
  if (canvas_) SetupPage();
}

void TCanvasDevice::SetupPage() {
  T_Page* page = EnsurePage();
  if (canvas_) {
    const TDeviceRect clip = canvas_->ClipRect();
    page->SetPageRect(clip);
    page->SetInnerRect(clip);
    page->SetResolution(canvas_->LogPixelsX() * 1000.0 / 25.4, canvas_->LogPixelsY() * 1000.0 / 25.4);
  }
  TPageProjection* pr = GetProjection();
  pr->Setup({pr->GetCenterX(), pr->GetCenterY()}, page, pr->GetScale());
}

void TCanvasDevice::Clear() {
  if (!canvas_) return;
  const T_Page* page = GetPage();
  canvas_->Brush().Color = page ? page->GetPaperColor() : clWhite;
  canvas_->Brush().Style = bsSolid;
  if (page && page->GetUseInnerRect())
    canvas_->FillRect(page->GetInnerRect());
  else
    canvas_->FillRect(canvas_->ClipRect());
}

void TCanvasDevice::FillRect(const WorldRect& rect) {
  if (!canvas_) return;
  TDeviceRect r;
  GetProjection()->WorldToDeviceRect(r, rect.MinX, rect.MinY, rect.MaxX, rect.MaxY);
  canvas_->FillRect(normalized(r));
}

void TCanvasDevice::FrameRect(const WorldRect& rect) {
  if (!canvas_) return;
  TDeviceRect r;
  GetProjection()->WorldToDeviceRect(r, rect.MinX, rect.MinY, rect.MaxX, rect.MaxY);
  canvas_->FrameRect(normalized(r));
}

void TCanvasDevice::SetFontAngle(double degrees) {
  if (!canvas_) return;
  TFont font = canvas_->Font();
  font.Escapement = static_cast<std::int32_t>(std::lround(degrees * 10.0));
  font.Orientation = 0;
  canvas_->Font() = font;
  fontAngle_ = degrees;
}

void TCanvasDevice::MoveTo(double x, double y) {
  RotatePoint(x, y);
  LastX = GetProjection()->WorldToDeviceX(x);
  LastY = GetProjection()->WorldToDeviceY(y);
  if (canvas_) canvas_->MoveTo(LastX, LastY);
}

void TCanvasDevice::LineTo(double wx, double wy) {
  RotatePoint(wx, wy);
  const std::int32_t x = GetProjection()->WorldToDeviceX(wx);
  const std::int32_t y = GetProjection()->WorldToDeviceY(wy);
  if (x == LastX && y == LastY) return;
  const T_Page* page = GetPage();
  if (!page || !page->GetUseInnerRect()) {
    LastX = x;
    LastY = y;
    if (canvas_) canvas_->LineTo(x, y);
    return;
  }
  bool inside = false, needsClip = false;
  SegmentTrivialTest(page->GetInnerRect(), LastX, LastY, x, y, inside, needsClip);
  if (inside) {
    LastX = x;
    LastY = y;
    if (canvas_) canvas_->LineTo(x, y);
    return;
  }
  if (!needsClip) {
    LastX = x;
    LastY = y;
    return;
  }
  std::int32_t cx1, cy1, cx2, cy2;
  bool visible = false;
  ClipSegmentToRect(page->GetInnerRect(), LastX, LastY, x, y, cx1, cy1, cx2, cy2, visible);
  LastX = x;
  LastY = y;
  if (visible && canvas_) {
    canvas_->MoveTo(cx1, cy1);
    canvas_->LineTo(cx2, cy2);
  }
}

void TCanvasDevice::LineToPixel(std::int32_t x, std::int32_t y) {
  if (canvas_) canvas_->LineTo(x, y);
}

void TCanvasDevice::MoveToPixel(std::int32_t x, std::int32_t y) {
  if (canvas_) canvas_->MoveTo(x, y);
}

WorldRect TCanvasDevice::ClipWindow() const {
  WorldRect window;
  const TDeviceRect& r = GetPage()->GetInnerRect();
  GetProjection()->DeviceToWorldRect(r.Left, r.Top, r.Right, r.Bottom, window);
  return window;
}

bool TCanvasDevice::ClippedRing(TElement* ring, std::int32_t minPoints,
                                std::vector<TDevicePoint>& points) {
  points.clear();
  if (!GetPage()) return false;
  std::unique_ptr<TRectEntity> rotated;
  if (GetProjection()->GetAngle() != 0.0) {
    rotated = render::RotatedCopy(*this, ring);
    ring = rotated.get();
  }
  const WorldRect window = ClipWindow();
  if (!ringBuffer_) ringBuffer_ = std::make_unique<TBorderBuffer>();
  TBorderBuffer& buffer = *ringBuffer_;
  buffer.SetProjection(GetProjection());
  buffer.SetMinPointNo(minPoints);
  buffer.SetRectEntity(ring);
  buffer.SetMinX(window.MinX);
  buffer.SetMinY(window.MinY);
  buffer.SetMaxX(window.MaxX);
  buffer.SetMaxY(window.MaxY);
  buffer.SetDeviceClipRect(GetPage()->GetInnerRect());
  if (minPoints >= 3) buffer.Clip();
  if (buffer.GetPointNo() <= 0) return false;
  buffer.TakePoints(points);
  return true;
}

void TCanvasDevice::DrawPolyline(TElement* line) {
  if (!canvas_ || !line || !line->Is<TRectEntity>()) return;
  std::vector<TDevicePoint> points;
  if (!ClippedRing(line, 2, points)) return;
  drawClippedRuns(*canvas_, points, GetPage()->GetInnerRect());
}

void TCanvasDevice::DrawPolygon(TElement* polygon) {
  if (!canvas_ || !polygon || !polygon->Is<TRectEntity>()) return;
  if (!ClippedRing(polygon, 3, polygonPoints_)) return;
  canvas_->Polygon(polygonPoints_.data(), static_cast<std::int32_t>(polygonPoints_.size()));
}

namespace {
TEntity* holesOf(TElement* area) {
  if (area->Is<TAreaElement>()) return static_cast<TAreaElement*>(area)->GetHoles();
  if (!area->Is<TEntity>()) return nullptr;
  TElement* holes = static_cast<TEntity*>(area)->FindElementByName("HOLES");
  return holes && holes->Is<TEntity>() ? static_cast<TEntity*>(holes) : nullptr;
}
}  // namespace

void TCanvasDevice::DrawArea(TElement* area) {
  if (!canvas_ || !area) return;
  TEntity* holes = holesOf(area);
  if (!holes || holes->GetCount() == 0) {
    DrawPolygon(area);
    return;
  }
  std::vector<TDevicePoint> points;
  std::vector<std::int32_t> counts;
  std::int32_t total = 0, rings = 0;
  BuildPolyPolygon(area, points, counts, total, rings);
  if (rings > 0 && !canvas_->PolyPolygon(points.data(), counts.data(), rings)) platform::ui().beep();
}

void TCanvasDevice::BuildPolyPolygon(TElement* area, std::vector<TDevicePoint>& points,
                                     std::vector<std::int32_t>& counts, std::int32_t& total,
                                     std::int32_t& rings) {
  TDevice::BuildPolyPolygon(area, points, counts, total, rings);
  if (!area) return;
  std::vector<TDevicePoint> ring;
  if (!ClippedRing(area, 3, ring)) return;
  auto take = [&](const std::vector<TDevicePoint>& r) {
    points.insert(points.end(), r.begin(), r.end());
    counts.push_back(static_cast<std::int32_t>(r.size()));
  };
  take(ring);
  if (TEntity* holes = holesOf(area))
    for (TElement* hole : holes->Items()) {
      if (!hole) continue;
      if (ClippedRing(hole, 3, ring)) take(ring);
    }
  total = static_cast<std::int32_t>(points.size());
  rings = static_cast<std::int32_t>(counts.size());
}

void TCanvasDevice::DrawRectangle(double x1, double y1, double x2, double y2) {
  if (!canvas_) return;
  const TPageProjection* pr = GetProjection();
  const TDeviceRect r = normalized({pr->WorldToDeviceX(x1), pr->WorldToDeviceY(y1),
                                    pr->WorldToDeviceX(x2), pr->WorldToDeviceY(y2)});
  canvas_->Rectangle(r.Left, r.Top, r.Right, r.Bottom);
}

void TCanvasDevice::TextOut(const std::string& text, double x, double y) {
  if (!canvas_) return;
  canvas_->Brush().Style = bsClear;
  canvas_->TextOut(GetProjection()->WorldToDeviceX(x), GetProjection()->WorldToDeviceY(y), text);
}

void TCanvasDevice::TextOutPixel(std::int32_t x, std::int32_t y, const std::string& text) {
  if (!canvas_) return;
  canvas_->Brush().Style = bsClear;
  canvas_->TextOut(x, y, text);
}

std::int32_t TCanvasDevice::TextHeightPixels(const std::string& text) {
  return canvas_ ? canvas_->TextHeight(text) : 0;
}

std::int32_t TCanvasDevice::TextWidthPixels(const std::string& text) {
  return canvas_ ? canvas_->TextWidth(text) : 0;
}

double TCanvasDevice::TextHeight(const std::string& text) {
  return GetProjection()->DeviceToWorldLength(TextHeightPixels(text));
}

double TCanvasDevice::TextWidth(const std::string& text) {
  return GetProjection()->DeviceToWorldLength(TextWidthPixels(text));
}

void TCanvasDevice::DrawGraphic(const TGraphic* graphic, double x, double y) {
  if (!canvas_ || !graphic) return;
  canvas_->Draw(GetProjection()->WorldToDeviceX(x), GetProjection()->WorldToDeviceY(y), *graphic);
}

void TCanvasDevice::StretchDrawGraphic(double x, double y, double width, double height,
                                       const TDeviceRect&, const TGraphic* graphic) {
  if (!canvas_ || !graphic) return;
  const TPageProjection* pr = GetProjection();
  const std::int32_t px = pr->WorldToDeviceX(x), py = pr->WorldToDeviceY(y);
  canvas_->StretchDraw(
      normalized({px, py, px + pr->WorldToDeviceDX(width), py + pr->WorldToDeviceDY(height)}),
      *graphic);
}

void TCanvasDevice::StretchDrawPixel(std::int32_t x, std::int32_t y, std::int32_t width,
                                     std::int32_t height, const TDeviceRect&,
                                     const TGraphic* graphic) {
  if (!canvas_ || !graphic) return;
  canvas_->StretchDraw(normalized({x, y, x + width, y + height}), *graphic);
}
