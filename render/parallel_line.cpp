#include "render/parallel_line.h"

#include <cmath>
#include <vector>

#include "framework/coordinate.h"
#include "framework/rect_entity.h"

ZELTO_IMPLEMENT_ELEMENT(TParalel, TTool, ZELTO_NO_PROPERTIES)

namespace {
struct Vec {
  double x, y;
};

// Unit normal of the leg a->b on the chosen side; zero for a degenerate leg.
Vec SideNormal(const T2DCoordinate& a, const T2DCoordinate& b, double s) {
  const double dx = b.X - a.X, dy = b.Y - a.Y, len = std::hypot(dx, dy);
  if (len == 0) return {0, 0};
  return {-dy / len * s, dx / len * s};
}
}  // namespace

void TParalel::DoIt() {
  auto* out = new TRectEntity;
  SetOutput(out);
  TEntity* in = Input() && Input()->Is<TEntity>() ? static_cast<TEntity*>(Input()) : nullptr;
  if (!in) return;
  std::vector<T2DCoordinate*> v;
  for (TElement* e : in->Items())
    if (e->Is<T2DCoordinate>()) v.push_back(static_cast<T2DCoordinate*>(e));
  if (v.size() < 2) return;
  const double s = Strana ? 1.0 : -1.0, d = Vzdalenost;
  const auto add = [&](const T2DCoordinate& base, Vec dir, double len) {
    out->Add(new T2DCoordinate(base.X + dir.x * len, base.Y + dir.y * len));
  };
  // Degenerate first or last legs borrow the normal of their neighbour.
  Vec prevNormal = SideNormal(*v[0], *v[1], s);
  add(*v[0], prevNormal, d);
  for (std::size_t i = 1; i + 1 < v.size(); ++i) {
    Vec n1 = SideNormal(*v[i - 1], *v[i], s), n2 = SideNormal(*v[i], *v[i + 1], s);
    if (n1.x == 0 && n1.y == 0) n1 = n2;
    if (n2.x == 0 && n2.y == 0) n2 = n1;
    // The mitre point lies on the bisector of the two offset legs, at
    // d / cos(half the turn), i.e. d / sin(half the vertex angle).
    Vec m{n1.x + n2.x, n1.y + n2.y};
    const double mlen = std::hypot(m.x, m.y);
    if (mlen < 1e-9) {
      // The line turns straight back: no mitre exists; stand off the vertex.
      add(*v[i], n1, d);
      continue;
    }
    m = {m.x / mlen, m.y / mlen};
    const double cosHalf = m.x * n1.x + m.y * n1.y;
    add(*v[i], m, cosHalf > 1e-9 ? d / cosHalf : d);
  }
  Vec last = SideNormal(*v[v.size() - 2], *v.back(), s);
  add(*v.back(), last, d);
}
