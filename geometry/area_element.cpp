#include "geometry/area_element.h"

#include <cmath>
#include <vector>

#include "framework/zelto_message.h"
#include "geometry/ring_crossings.h"

using geometry::PointD;

ZELTO_IMPLEMENT_ELEMENT(THolesEntity, TRectEntity, [](auto& p) {
  p.Object("OwnerArea", TAreaElement::StaticClass(), &THolesEntity::OwnerArea);
})
ZELTO_IMPLEMENT_ELEMENT(TAreaElement, TPolyElement, [](auto& p) {
  p.Object("Holes", THolesEntity::StaticClass(), &TAreaElement::GetHoles, &TAreaElement::SetHoles);
  p.Boolean("IsHole", &TAreaElement::IsHole, &TAreaElement::IsHole);
  p.Object("HoleOwnerArea", TAreaElement::StaticClass(), &TAreaElement::GetHoleOwnerArea);
  p.Float("Area1", &TAreaElement::GetArea1);
  p.Float("WholeArea", &TAreaElement::GetWholeArea);
  p.Float("SavedArea", [](TAreaElement& a) { return a.SavedArea; });
})
ZELTO_IMPLEMENT_ELEMENT(TAreaString, TSpaceEntityString, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TPolyLineAreaElement, TAreaElement, [](auto& p) {
  p.String("LinesOriginesHex", &TPolyLineAreaElement::GetLinesOriginesHex,
           &TPolyLineAreaElement::SetLinesOriginesHex);
})

TAreaElement::~TAreaElement() { delete holes_; }

void TAreaElement::SetHoles(THolesEntity* holes) {
  if (holes == holes_) return;
  delete holes_;
  holes_ = holes;
}

double TAreaElement::GetWholeArea() {
  std::vector<PointD> ring;
  CollectRing(ring);
  if (ring.empty()) return 0.0;
  // The same sum as a walk over GetCoord, in one pass over the ring.
  double sum = 0.0;
  for (std::size_t i = 1; i < ring.size(); ++i)
    sum += (ring[i].X - ring[i - 1].X) * (ring[i].Y + ring[i - 1].Y) / 2.0;
  sum += (ring[0].X - ring.back().X) * (ring[0].Y + ring.back().Y) / 2.0;
  SavedArea = sum;
  return sum;
}

double TAreaElement::GetArea1() {
  const double whole = GetWholeArea();
  if (!holes_) return whole;
  double holes = 0.0;
  for (TElement* e : holes_->Items())
    if (e->Is<TAreaElement>()) holes += std::fabs(static_cast<TAreaElement*>(e)->GetWholeArea());
  // Holes shrink the magnitude whatever the outer ring's orientation.
  return whole < 0 ? whole + holes : whole - holes;
}

void TAreaElement::AddHole(TAreaElement* hole) {
  if (!holes_) {
    holes_ = new THolesEntity;
    holes_->OwnerArea = this;
  }
  holes_->AddAndExtend(hole);
  if (hole) hole->IsHole = true;
}

TAreaElement* TAreaElement::GetHoleOwnerArea() const {
  if (!IsHole) return nullptr;
  TElement* owner = FindOwnerByClass(THolesEntity::StaticClass());
  return owner ? static_cast<THolesEntity*>(owner)->OwnerArea : nullptr;
}

bool TAreaElement::IsInOuterRing(double x, double y) const {
  std::vector<PointD> ring;
  CollectRing(ring);
  return PointInRing(ring, {x, y});
}

TAreaElement* TAreaElement::FindHoleAt(double x, double y) const {
  if (!holes_) return nullptr;
  for (TElement* e : holes_->Items())
    if (e->Is<TAreaElement>() && static_cast<TAreaElement*>(e)->IsInOuterRing(x, y))
      return static_cast<TAreaElement*>(e);
  return nullptr;
}

bool TAreaElement::ContainsPoint(double x, double y) const {
  return IsInOuterRing(x, y) && !FindHoleAt(x, y);
}

bool TAreaElement::HitTest(T2DCoordinate* point, double tolerance) {
  if (!point) return false;
  if (!ContainsRect(point->X - tolerance, point->Y - tolerance, point->X + tolerance,
                    point->Y + tolerance))
    return false;
  return ContainsPoint(point->X, point->Y);
}

// ---- TPolyLineAreaElement -------------------------------------------------

namespace {
const TPolyLineElement* asLine(const TElement* e) {
  return e && e->Is<TPolyLineElement>() ? static_cast<const TPolyLineElement*>(e) : nullptr;
}
}  // namespace

int TPolyLineAreaElement::GetCoordsCount() const {
  int count = 0;
  for (const TElement* e : Items())
    if (const TPolyLineElement* line = asLine(e)) count += line->GetCoordsCount() - 1;
  return count;
}

T2DCoordinate* TPolyLineAreaElement::GetCoord(int i) const {
  int base = 0;
  const auto& items = Items();
  for (std::size_t k = 0; k < items.size(); ++k) {
    const TPolyLineElement* line = asLine(items[k]);
    if (!line) continue;
    const int n = line->GetCoordsCount();
    if (base + n - 1 > i) return line->GetCoordFrom(i - base, GetLineOrigin(static_cast<int>(k)));
    base += n - 1;
  }
  return nullptr;
}

double TPolyLineAreaElement::GetLength() const {
  // GetCoord(i) counts the lines up to vertex i, which made the length of a
  // ring of many lines quadratic. For increasing i the line GetCoord settles
  // on never moves back, so one cursor finds every vertex as it would.
  const auto& items = Items();
  std::size_t k = 0;
  int base = 0;
  auto vertex = [&](int i, double& x, double& y) {
    x = y = 0.0;
    for (; k < items.size(); ++k) {
      const TPolyLineElement* line = asLine(items[k]);
      if (!line) continue;
      const int n = line->GetCoordsCount();
      if (base + n - 1 > i) {
        if (const T2DCoordinate* c = line->GetCoordFrom(i - base, GetLineOrigin(static_cast<int>(k)))) {
          x = c->X;
          y = c->Y;
        }
        return;
      }
      base += n - 1;
    }
  };
  const int n = GetCoordsCount();
  double length = 0.0, xp, yp;
  vertex(0, xp, yp);
  for (int i = 1; i < n; ++i) {
    double x, y;
    vertex(i, x, y);
    length += Distance(xp, yp, x, y);
    xp = x;
    yp = y;
  }
  return length;
}

void TPolyLineAreaElement::CollectRing(std::vector<PointD>& ring) const {
  ring.clear();
  const auto& items = Items();
  // Room for every vertex at once: a ring grown vertex by vertex is copied
  // a dozen times over.
  std::size_t room = 0;
  for (const TElement* item : items)
    if (item && item->Is<TEntity>()) room += static_cast<const TEntity*>(item)->Items().size();
  ring.reserve(room);
  for (std::size_t k = 0; k < items.size(); ++k) {
    const TElement* item = items[k];
    const bool plain = item && &item->ClassType() == &TPolyLineElement::StaticClass();
    const TPolyLineElement* line = plain ? static_cast<const TPolyLineElement*>(item) : asLine(item);
    if (!line) continue;
    const bool forward = GetLineOrigin(static_cast<int>(k));
    if (plain) {
      // Almost every boundary is a plain line: its vertices straight from
      // its child list, in the order GetCoordFrom gives them.
      const auto& vertices = line->Items();
      const std::size_t count = vertices.size();
      for (std::size_t j = 0; j + 1 < count; ++j) {
        const TElement* v = vertices[forward ? j : count - 1 - j];
        if (v && (&v->ClassType() == &T2DCoordinate::StaticClass() || v->Is<T2DCoordinate>())) {
          const auto* c = static_cast<const T2DCoordinate*>(v);
          ring.push_back({c->X, c->Y});
        }
      }
      continue;
    }
    const int n = line->GetCoordsCount();
    for (int j = 0; j + 1 < n; ++j) {  // the last vertex opens the next line
      const T2DCoordinate* c = line->GetCoordFrom(j, forward);
      if (c) ring.push_back({c->X, c->Y});
    }
  }
}

void TPolyLineAreaElement::AddItemsFrom(TEntity* line, bool forward) {
  AddAndExtend(line);
  SetLineOrigin(GetCount() - 1, forward);
}

void TPolyLineAreaElement::InsertLine(int i, TPolyLineElement* line, bool forward) {
  Insert(i, line);
  InsertLineOrigin(i, forward);
}

void TPolyLineAreaElement::Remove(TElement* element) {
  if (element && element->Is<TPolyLineElement>() && !LinesOrigines.empty()) {
    const int i = IndexOf(element);
    if (i >= 0) DeleteLineOrigin(i);
  }
  TAreaElement::Remove(element);
}

bool TPolyLineAreaElement::GetLineOrigin(int k) const {
  if (k < 0 || static_cast<std::size_t>(k / 8) >= LinesOrigines.size()) return false;
  return (static_cast<unsigned char>(LinesOrigines[static_cast<std::size_t>(k / 8)]) >> (k % 8)) & 1;
}

void TPolyLineAreaElement::SetLineOrigin(int k, bool forward) {
  if (k < 0) return;
  const std::size_t byte = static_cast<std::size_t>(k / 8);
  if (LinesOrigines.size() < byte + 1) LinesOrigines.resize(byte + 1, '\0');
  const auto mask = static_cast<unsigned char>(1u << (k % 8));
  auto b = static_cast<unsigned char>(LinesOrigines[byte]);
  b = forward ? (b | mask) : (b & ~mask);
  LinesOrigines[byte] = static_cast<char>(b);
}

void TPolyLineAreaElement::InsertLineOrigin(int i, bool forward) {
  const int count = GetCount();
  if (i < 0 || i > count) return;
  if (LinesOrigines.empty() || i >= count - 1) {
    SetLineOrigin(i, forward);
    return;
  }
  for (int j = count - 1; j >= i; --j) SetLineOrigin(j + 1, GetLineOrigin(j));
  SetLineOrigin(i, forward);
}

void TPolyLineAreaElement::DeleteLineOrigin(int i) {
  if (LinesOrigines.empty()) return;
  const int count = GetCount();
  for (int j = i + 1; j < count; ++j) SetLineOrigin(j - 1, GetLineOrigin(j));
}

bool TPolyLineAreaElement::HasLine(const TPolyLineElement* line, bool forward) const {
  const auto& items = Items();
  for (std::size_t k = 0; k < items.size(); ++k)
    if (items[k] == line && GetLineOrigin(static_cast<int>(k)) == forward) return true;
  return false;
}

void TPolyLineAreaElement::HandleMessage(TZeltoMessage*& message, bool& handled) {
  TAreaElement::HandleMessage(message, handled);
  if (!handled && message && message->Message == zelto::msg::LineSplit) OnLineSplit(message);
}

void TPolyLineAreaElement::OnLineSplit(TZeltoMessage* message) {
  TElement* sender = message->Sender();
  TElement* piece = message->Data();
  if (!asLine(sender) || !asLine(piece)) return;
  const int i = IndexOf(sender);
  if (i < 0) return;
  const bool forward = GetLineOrigin(i);
  InsertLine(forward ? i : i + 1, static_cast<TPolyLineElement*>(piece), forward);
}

bool TPolyLineAreaElement::IsInOuterRing(double x, double y) const {
  std::vector<PointD> ring;
  CollectRing(ring);
  return PointInRing(ring, {x, y});
}

bool TPolyLineAreaElement::HitTest(T2DCoordinate* point, double tolerance) {
  return TAreaElement::HitTest(point, tolerance);
}

TAreaElement* TPolyLineAreaElement::OuterRingAsArea() const {
  auto* area = new TAreaElement;
  int skip = 0;
  const auto& items = Items();
  for (std::size_t k = 0; k < items.size(); ++k) {
    const TPolyLineElement* line = asLine(items[k]);
    if (!line) continue;
    const int n = line->GetCoordsCount();
    if (GetLineOrigin(static_cast<int>(k))) {
      for (int j = skip; j < n; ++j)
        if (const T2DCoordinate* c = line->GetCoord(j)) area->Add(c->Clone());
    } else {
      for (int j = n - 1 - skip; j >= 0; --j)
        if (const T2DCoordinate* c = line->GetCoord(j)) area->Add(c->Clone());
    }
    skip = 1;
  }
  area->SetMinX(GetMinX());
  area->SetMinY(GetMinY());
  area->SetMaxX(GetMaxX());
  area->SetMaxY(GetMaxY());
  return area;
}

TAreaElement* TPolyLineAreaElement::CloneAsArea() const {
  TAreaElement* copy = OuterRingAsArea();
  if (THolesEntity* holes = GetHoles()) {
    for (TElement* e : holes->Items()) {
      if (e->Is<TPolyLineAreaElement>()) {
        copy->AddHole(static_cast<TPolyLineAreaElement*>(e)->OuterRingAsArea());
      } else if (e->Is<TAreaElement>()) {
        // A hole left out of the copy would let its inside count as the area's.
        std::vector<geometry::PointD> ring;
        static_cast<TAreaElement*>(e)->CollectRing(ring);
        auto* hole = new TAreaElement;
        for (const auto& p : ring) hole->AddVertex(p.X, p.Y);
        copy->AddHole(hole);
      }
    }
  }
  return copy;
}

void TPolyLineAreaElement::RecalcEnvelope() {
  GetRectangle()->Reset();
  for (const TElement* e : Items())
    if (const TPolyLineElement* line = asLine(e))
      for (int j = 0, n = line->GetCoordsCount(); j < n; ++j)
        if (const T2DCoordinate* c = line->GetCoord(j)) GetRectangle()->ExtendToPoint(c->X, c->Y);
}

std::string TPolyLineAreaElement::GetLinesOriginesHex() const {
  static const char* digits = "0123456789ABCDEF";
  std::string text;
  for (unsigned char b : LinesOrigines) {
    text += digits[b >> 4];
    text += digits[b & 15];
  }
  return text;
}

void TPolyLineAreaElement::SetLinesOriginesHex(const std::string& text) {
  auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  std::string bytes;
  for (std::size_t k = 0; k + 1 < text.size(); k += 2) {
    const int hi = digit(text[k]), lo = digit(text[k + 1]);
    if (hi < 0 || lo < 0) return;  // keep the old bits
    bytes += static_cast<char>(hi * 16 + lo);
  }
  LinesOrigines = std::move(bytes);
}
