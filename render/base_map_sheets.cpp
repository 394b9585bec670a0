#include "render/base_map_sheets.h"

#include <algorithm>
#include <charconv>

#include "framework/class_registry.h"
#include "framework/problem_report.h"
#include "geometry/plane_geometry.h"

ZELTO_IMPLEMENT_ELEMENT(TMapsZM, TRectEntity, [](auto& p) {
  using E = TMapsZM;
  p.Integer("Color", &E::Color, &E::Color);
  p.Float("PenWidth", &E::PenWidth, &E::PenWidth);
  p.Byte("PenStyle", [](E& e) { return static_cast<std::int32_t>(e.PenStyle); },
         [](E& e, std::int32_t v) { e.PenStyle = static_cast<TPenStyle>(v); });
  p.Integer("Scale", &E::Scale, &E::Scale);
  p.Integer("Map200", &E::GetMap200, &E::SetMap200);
  p.Integer("Map100", &E::GetMap100, &E::SetMap100);
  p.Integer("Map50", &E::GetMap50, &E::SetMap50);
  p.Integer("Map25", &E::GetMap25, &E::SetMap25);
  p.Integer("Map10", &E::GetMap10, &E::SetMap10);
  p.Float("ZMCenterX", &E::GetZMCenterX).Stored(false);
  p.Float("ZMCenterY", &E::GetZMCenterY).Stored(false);
  p.Float("Angle", &E::GetAngle).Stored(false);
  p.String("MapName", &E::GetMapName, &E::SetMapName);
})
ZELTO_IMPLEMENT_ELEMENT(TZMSpace, TMapSpace, [](auto& p) {
  p.Float("Angle", &TZMSpace::GetAngle, [](TZMSpace&, double) {}).Stored(false);
  p.Float("RAngle", &TZMSpace::GetRAngle).Stored(false);
})
ZELTO_IMPLEMENT_ELEMENT(TInterpretZM, TInterpret, ZELTO_NO_PROPERTIES)

namespace {

// The 1:200000 corner points by number (S-JTSK X, Y in metres); sheet v has
// the points v, v + 1, v + 10 and v + 11. Unlisted points are zero.
struct TablePoint {
  int n;
  double x, y;
};
constexpr TablePoint kPoints[] = {
    {1, 909652.431, 898025.984},   {2, 924005.96, 805128.319},    {3, 936890.985, 712015.612},
    {4, 948304.295, 618711.076},   {5, 958243.045, 525237.972},   {11, 984669.564, 910223.928},
    {12, 999206.329, 816140.335},  {13, 1012255.843, 721838.956}, {14, 1023814.856, 627343.298},
    {15, 1033880.484, 532676.92},  {16, 1042450.217, 437863.421}, {21, 1059686.696, 922421.873},
    {22, 1074406.698, 827152.352}, {23, 1087620.702, 731662.299}, {24, 1099325.417, 635975.52},
    {25, 1109517.92, 540115.869},  {26, 1118195.676, 444107.241}, {27, 1125356.52, 347973.572},
    {28, 1130998.67, 251738.83},   {29, 1135120.7, 155427.0},     {31, 1134703.829, 934619.816},
    {32, 1149607.067, 838164.368}, {33, 1162985.561, 741485.642}, {34, 1174835.977, 644607.742},
    {35, 1185155.36, 547554.817},  {36, 1193941.137, 450351.061}, {37, 1201191.119, 353020.707},
    {38, 1206903.5, 255588.02},    {39, 1211076.85, 158077.29},   {42, 1224807.436, 849176.384},
    {43, 1238350.418, 751308.986}, {44, 1250346.538, 653239.964}, {45, 1260792.797, 554993.765},
    {46, 1269686.596, 456594.881}, {47, 1277025.72, 358067.84},   {48, 1282808.33, 259437.21},
    {49, 1287033.0, 160727.58},    {54, 1325857.1, 661872.19},    {55, 1336430.24, 562432.71},
    {56, 1345432.06, 462838.7},    {57, 1352860.32, 363114.98},   {58, 1358713.16, 263286.4},
};

// A world corner is (-Y, -X).
render::Corner tablePoint(int n) {
  for (const TablePoint& p : kPoints)
    if (p.n == n) return {-p.y, -p.x};
  return {};
}

render::Corner mid(render::Corner a, render::Corner b) { return {(a.X + b.X) / 2, (a.Y + b.Y) / 2}; }
render::Corner lerp(render::Corner a, render::Corner b, double t) {
  return {a.X + t * (b.X - a.X), a.Y + t * (b.Y - a.Y)};
}

// Digits only, the whole text.
bool parseNumber(const std::string& text, std::int32_t& value) {
  if (text.empty()) return false;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

std::string twoDigits(std::int32_t v) { return (v >= 0 && v < 10 ? "0" : "") + std::to_string(v); }

bool isQuarter(std::int32_t v) { return v >= 1 && v <= 4; }

// Quarter `v` of the sheet one scale up becomes the selected sheet; none (0)
// while that sheet is unset or `v` names no quarter.
void selectQuarter(std::int32_t& map, render::Corners& corners, bool parentSet, const render::Corners& parent,
                   std::int32_t v) {
  map = 0;
  if (!parentSet || !isQuarter(v)) return;
  map = v;
  corners = render::Quarter(parent, v);
}

}  // namespace

namespace render {

Corners Quarter(const Corners& s, int q) {
  const Corner m12 = mid(s[0], s[1]), m24 = mid(s[1], s[3]), m34 = mid(s[2], s[3]), m13 = mid(s[0], s[2]);
  const Corner c = mid(m12, m34);
  switch (q) {
    case 1: return {s[0], m12, m13, c};
    case 2: return {m12, s[1], c, m24};
    case 3: return {m13, c, s[2], m34};
    default: return {c, m24, m34, s[3]};
  }
}

Corners Cell(const Corners& s, int n) {
  const int c = n % 5 == 0 ? 5 : n % 5;
  const int r = (n - 1) / 5 + 1;
  auto top = [&](int k) { return lerp(s[0], s[1], k / 5.0); };
  auto bottom = [&](int k) { return lerp(s[2], s[3], k / 5.0); };
  auto at = [&](int k, int row) { return lerp(top(k), bottom(k), row / 5.0); };
  return {at(c - 1, r - 1), at(c, r - 1), at(c - 1, r), at(c, r)};
}

bool IsValidMap200(std::int32_t v) {
  return (v >= 1 && v <= 4) || (v >= 11 && v <= 15) || (v >= 21 && v <= 25) || (v >= 32 && v <= 35);
}

}  // namespace render

TMapsZM::TMapsZM() {
  for (int v = 1; v <= 58; ++v) {
    SetMap200(v);
    for (const render::Corner& c : sel_.Corners[k200]) GetRectangle()->ExtendToPoint(c.X, c.Y);
  }
}

void TMapsZM::SetMap200(std::int32_t v) {
  sel_.Map200 = 0;
  if (!render::IsValidMap200(v)) return;
  sel_.Map200 = v;
  sel_.Corners[k200] = {tablePoint(v), tablePoint(v + 1), tablePoint(v + 10), tablePoint(v + 11)};
}

void TMapsZM::SetMap100(std::int32_t v) {
  selectQuarter(sel_.Map100, sel_.Corners[k100], render::IsValidMap200(sel_.Map200), sel_.Corners[k200], v);
}

void TMapsZM::SetMap50(std::int32_t v) {
  selectQuarter(sel_.Map50, sel_.Corners[k50], isQuarter(sel_.Map100), sel_.Corners[k100], v);
}

void TMapsZM::SetMap25(std::int32_t v) {
  selectQuarter(sel_.Map25, sel_.Corners[k25], isQuarter(sel_.Map50), sel_.Corners[k50], v);
}

void TMapsZM::SetMap10(std::int32_t v) {
  sel_.Map10 = 0;
  if (!isQuarter(sel_.Map50) || v < 1 || v > 25) return;
  sel_.Map10 = v;
  sel_.Corners[k10] = render::Cell(sel_.Corners[k50], v);
}

const render::Corners& TMapsZM::ScaleCorners() const {
  switch (Scale) {
    case 200000: return sel_.Corners[k200];
    case 100000: return sel_.Corners[k100];
    case 25000: return sel_.Corners[k25];
    case 10000: return sel_.Corners[k10];
    default: return sel_.Corners[k50];
  }
}

double TMapsZM::GetZMCenterX() const {
  const auto& c = ScaleCorners();
  return (c[0].X + c[1].X + c[2].X + c[3].X) / 4;
}

double TMapsZM::GetZMCenterY() const {
  const auto& c = ScaleCorners();
  return (c[0].Y + c[1].Y + c[2].Y + c[3].Y) / 4;
}

double TMapsZM::GetAngle() const {
  const auto& c = ScaleCorners();
  return DirectionAngle(c[3].X - c[2].X, c[3].Y - c[2].Y);
}

std::string TMapsZM::GetMapName() const {
  if (!render::IsValidMap200(sel_.Map200)) return {};
  std::string name = twoDigits(sel_.Map200);
  if (Scale < 200000) name += "-" + std::to_string(sel_.Map100);
  if (Scale < 100000) name += std::to_string(sel_.Map50);
  if (Scale == 25000) name += std::to_string(sel_.Map25);
  else if (Scale == 10000) name += "-" + twoDigits(sel_.Map10);
  return name;
}

void TMapsZM::SetMapName(const std::string& name) {
  // The fields are read at fixed places; a shorter name has no Map10.
  if (name.size() < 8) {
    zelto::ReportProblem("Špatné jméno mapy ZM: " + name);
    return;
  }
  Scale = 10000;
  const struct {
    std::size_t at, length;
    void (TMapsZM::*set)(std::int32_t);
  } fields[] = {{0, 2, &TMapsZM::SetMap200}, {3, 1, &TMapsZM::SetMap100}, {4, 1, &TMapsZM::SetMap50},
                {6, 2, &TMapsZM::SetMap10}};
  for (const auto& f : fields) {
    std::int32_t v = 0;
    if (!parseNumber(name.substr(f.at, f.length), v)) {
      zelto::ReportProblem("Špatné jméno mapy ZM: " + name);
      return;
    }
    (this->*f.set)(v);
  }
}

TMapsZM* TZMSpace::GetZM() {
  if (auto* zm = dynamic_cast<TMapsZM*>(FindElementByName("ZM"))) return zm;
  auto* zm = new TMapsZM;
  zm->SetName("ZM");
  Add(zm);
  return zm;
}

double TZMSpace::GetScale() const { return const_cast<TZMSpace*>(this)->GetZM()->Scale; }

void TZMSpace::SetScale(double value) { GetZM()->Scale = static_cast<std::int32_t>(std::lround(value)); }

double TZMSpace::GetAngle() { return GetZM()->GetAngle(); }

bool TInterpretZM::QProcessBefore(TElement* element) {
  return element && &element->ClassType() == &TMapsZM::StaticClass();
}

void TInterpretZM::DoIt() {
  if (TDevice* device = GetDevice(); device && device->GetProjection()) device->GetProjection()->GetWorldRect(visible_);
  TInterpret::DoIt();
  visible_ = {};
}

bool TInterpretZM::Visible(const render::Corners& c) const {
  double minX = c[0].X, maxX = c[0].X, minY = c[0].Y, maxY = c[0].Y;
  for (const auto& p : c) {
    minX = std::min(minX, p.X), maxX = std::max(maxX, p.X);
    minY = std::min(minY, p.Y), maxY = std::max(maxY, p.Y);
  }
  return minX <= visible_.MaxX && maxX >= visible_.MinX && minY <= visible_.MaxY && maxY >= visible_.MinY;
}

void TInterpretZM::DrawSheet(const render::Corners& c) {
  TDevice* device = GetDevice();
  device->MoveTo(c[0].X, c[0].Y);
  device->LineTo(c[1].X, c[1].Y);
  device->LineTo(c[3].X, c[3].Y);
  device->LineTo(c[2].X, c[2].Y);
  device->LineTo(c[0].X, c[0].Y);
}

void TInterpretZM::Process(TElement* element) {
  auto* zm = dynamic_cast<TMapsZM*>(element);
  TDevice* device = GetDevice();
  if (!zm || !device || !device->GetProjection()) return;
  const double s = device->GetProjection()->GetScale();
  if (s > 8'000'000) return;
  TPen pen = device->GetPen() ? *device->GetPen() : TPen{};
  pen.Style = zm->PenStyle;
  pen.Color = zm->Color;
  device->SetPen(pen);
  device->SetPenWidth(zm->PenWidth);
  // The walk selects every sheet in turn; the user's selection comes back.
  const TMapsZM::Selection saved = zm->GetSelection();
  const std::int32_t scale = zm->Scale;
  zm->SetMap100(0);
  zm->SetMap50(0);
  zm->SetMap25(0);
  zm->SetMap10(0);
  for (int v = 1; v <= 35; ++v) {
    if (!render::IsValidMap200(v)) continue;
    zm->SetMap200(v);
    if (!Visible(zm->CornersOf(TMapsZM::k200))) continue;
    DrawSheet(zm->CornersOf(TMapsZM::k200));
    if (scale > 100000 || s >= 4'000'000) continue;
    for (int q100 = 1; q100 <= 4; ++q100) {
      zm->SetMap100(q100);
      if (!Visible(zm->CornersOf(TMapsZM::k100))) continue;
      DrawSheet(zm->CornersOf(TMapsZM::k100));
      if (scale > 50000 || s >= 2'000'000) continue;
      for (int q50 = 1; q50 <= 4; ++q50) {
        zm->SetMap50(q50);
        if (!Visible(zm->CornersOf(TMapsZM::k50))) continue;
        DrawSheet(zm->CornersOf(TMapsZM::k50));
        if (scale == 25000 && s < 1'000'000)
          for (int q = 1; q <= 4; ++q) {
            zm->SetMap25(q);
            if (Visible(zm->CornersOf(TMapsZM::k25))) DrawSheet(zm->CornersOf(TMapsZM::k25));
          }
        if (scale == 10000 && s < 400'000)
          for (int n = 1; n <= 25; ++n) {
            zm->SetMap10(n);
            if (Visible(zm->CornersOf(TMapsZM::k10))) DrawSheet(zm->CornersOf(TMapsZM::k10));
          }
      }
    }
    zm->SetMap100(0);
  }
  zm->SetSelection(saved);
}

void RegisterBaseMapClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterZeltoClass(TMapsZM::StaticClass());
  RegisterZeltoClass(TZMSpace::StaticClass());
  RegisterZeltoClass(TInterpretZM::StaticClass());
}
