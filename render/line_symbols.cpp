#include "render/line_symbols.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "framework/class_registry.h"
#include "framework/property_access.h"
#include "geometry/poly_element.h"
#include "platform/path_resolver.h"
#include "render/device.h"
#include "render/gelix_color.h"
#include "render/parallel_line.h"

ZELTO_IMPLEMENT_ELEMENT(TLinZnacka, TElement, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TPetrklicZn, TLinZnacka, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TPaklicNaPetrklic, TBGIFont, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TRetezovaZnacka, TLinZnacka, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TLiniovaZnacka, TElement, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TLinioveZnacky, TNameEntity, ZELTO_NO_PROPERTIES)

namespace {
constexpr double kPi = std::numbers::pi;

void Turn(double x, double y, double a, double& tx, double& ty) {
  tx = x * std::cos(a) - y * std::sin(a);
  ty = x * std::sin(a) + y * std::cos(a);
}

double VirtualScaleOf(const TDevice& device) {
  const double v = device.GetProjection() ? device.GetProjection()->GetVirtualScale() : 0;
  return v > 0 ? v : 5000.0;
}

std::int32_t Pixels(const TDevice& device, double length) {
  return device.GetProjection() ? device.GetProjection()->WorldToDeviceDX(length) : 0;
}

bool IsTrue(const std::string& value) {
  if (value.empty()) return false;
  const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(value[0])));
  return c == 'A' || c == 'Y' || c == 'T' || c == '1';
}
}  // namespace

// ---- links ----

void TLinZnacka::CopyInto(TLinZnacka& to) const {
  to.TrueColor = TrueColor;
  to.ByTrueColor = ByTrueColor;
  to.Color = Color;
  to.Sila = Sila;
  to.Uhel = Uhel;
  to.Vzdalenost = Vzdalenost;
  to.Priznaky = Priznaky;
  to.SetVelikost(velikost_);
  to.MalaNaZarizeni = MalaNaZarizeni;
}

std::unique_ptr<TLinZnacka> TLinZnacka::CloneLink() const {
  auto c = std::make_unique<TLinZnacka>();
  CopyInto(*c);
  c->Prepare();
  return c;
}

void TLinZnacka::Prepare() {
  Body.clear();
  Node tip;
  tip.Down = true;
  Turn(velikost_, 0, Uhel, tip.X, tip.Y);
  tip.TX = tip.X;
  tip.TY = tip.Y;
  Body.push_back(tip);
  if (Uhel != 0) Body.push_back({false, velikost_, 0, velikost_, 0});
  PosunX = Vzdalenost;
  PosunY = 0;
}

void TLinZnacka::Rotate(double a) {
  for (std::size_t i = 0; i < Body.size(); ++i) {
    if (i == 1 && Uhel == 0) break;
    Turn(Body[i].X, Body[i].Y, a, Body[i].TX, Body[i].TY);
  }
  const double g = Has(LOMBOD1) ? a + kPi : a;
  PosunX = Vzdalenost * std::cos(g);
  PosunY = Vzdalenost * std::sin(g);
}

std::unique_ptr<TLinZnacka> TLinZnacka::GapPiece(double gap) const {
  auto piece = std::make_unique<TLinZnacka>();
  piece->Priznaky = Priznaky;
  piece->Sila = Sila;
  piece->SetVelikost(0);
  piece->Vzdalenost = gap;
  piece->Prepare();
  return piece;
}

void TLinZnacka::Split(std::unique_ptr<TLinZnacka>& first, std::unique_ptr<TLinZnacka>& second,
                       bool omitStroke, double d) const {
  if (omitStroke) {
    first.reset();
    second = GapPiece(Vzdalenost - d);
    return;
  }
  second = CloneLink();
  {
    first = CloneLink();
    first->SetVelikost(d);
    first->Vzdalenost = 0;
    first->Prepare();
    second->SetVelikost(velikost_ - d);
  }
  second->Prepare();
}

void TLinZnacka::DrawAt(TDevice& device, double x, double y, double& endX, double& endY) {
  if (Zanedbatelna || Body.empty()) {
    endX = x;
    endY = y;
    return;
  }
  device.MoveTo(x, y);
  device.LineTo(x + Body[0].TX, y + Body[0].TY);
  const Node& end = Uhel > 0 && Body.size() > 1 ? Body[1] : Body[0];
  endX = x + end.TX;
  endY = y + end.TY;
}

void TPetrklicZn::SetGlyph(const render::StrokeFontData& font) {
  glyph_ = font.Glyph(Kod);
  glyphWidth_ = font.Width(Kod);
  Prepare();
}

void TPetrklicZn::Prepare() {
  PosunX = Vzdalenost;
  PosunY = 0;
  if (ownPoints_) return;
  Body.clear();
  const double k = glyphWidth_ > 0 ? velikost_ / glyphWidth_ : 1.0;
  for (const auto& s : glyph_) {
    Node n;
    n.Down = s.Draw;
    Turn(s.X * k, s.Y * k, Uhel, n.X, n.Y);
    n.TX = n.X;
    n.TY = n.Y;
    Body.push_back(n);
  }
  PosunX = Vzdalenost;
  PosunY = 0;
}

void TPetrklicZn::Rotate(double a) {
  for (Node& n : Body) Turn(n.X, n.Y, a, n.TX, n.TY);
  const double g = Has(LOMBOD1) ? a + kPi : a;
  PosunX = Vzdalenost * std::cos(g);
  PosunY = Vzdalenost * std::sin(g);
}

std::unique_ptr<TLinZnacka> TPetrklicZn::CloneLink() const {
  auto c = std::make_unique<TPetrklicZn>();
  CopyInto(*c);
  c->Soubor = Soubor;
  c->Kod = Kod;
  c->glyph_ = glyph_;
  c->glyphWidth_ = glyphWidth_;
  c->ownPoints_ = ownPoints_;
  if (ownPoints_) c->Body = Body;
  c->Prepare();
  return c;
}

void TPetrklicZn::Split(std::unique_ptr<TLinZnacka>& first, std::unique_ptr<TLinZnacka>& second,
                        bool omitStroke, double d) const {
  if (omitStroke) {
    TLinZnacka::Split(first, second, true, d);
    return;
  }
  auto a = CloneLink();
  auto b = CloneLink();
  a->SetVelikost(d);
  a->Vzdalenost = 0;
  b->SetVelikost(velikost_ - d);
  std::vector<Node> pa, pb;
  const auto put = [&](const Node& n, bool toFirst, bool down) {
    Node m = n;
    m.Down = down;
    if (!toFirst) m.X -= d;
    m.TX = m.X;
    m.TY = m.Y;
    auto& list = toFirst ? pa : pb;
    // Each part opens with a move, which its drawing steps over.
    if (list.empty() && down) list.push_back({false, m.X, m.Y, m.X, m.Y});
    list.push_back(m);
  };
  for (std::size_t i = 0; i < Body.size(); ++i) {
    const Node& cur = Body[i];
    const bool curFirst = cur.X < d;
    if (i > 0) {
      const Node& prev = Body[i - 1];
      if ((prev.X < d) != curFirst && cur.Down) {
        const double t = (d - prev.X) / (cur.X - prev.X);
        Node cut{true, d, prev.Y + t * (cur.Y - prev.Y), 0, 0};
        put(cut, !curFirst, true);
        put(cut, curFirst, false);
      }
    }
    put(cur, curFirst, i > 0 && cur.Down);
  }
  for (auto [part, pts] : {std::pair{a.get(), &pa}, std::pair{b.get(), &pb}}) {
    auto* g = static_cast<TPetrklicZn*>(part);
    g->ownPoints_ = true;
    g->Body = *pts;
    g->Prepare();
  }
  first = std::move(a);
  second = std::move(b);
}

void TPetrklicZn::DrawAt(TDevice& device, double x, double y, double& endX, double& endY) {
  device.MoveTo(x, y);
  endX = x;
  endY = y;
  if (Body.empty()) return;
  for (std::size_t i = 1; i < Body.size() && !MalaNaZarizeni; ++i) {
    if (Body[i].Down) device.LineTo(x + Body[i].TX, y + Body[i].TY);
    else device.MoveTo(x + Body[i].TX, y + Body[i].TY);
  }
  endX = x + Body.back().TX;
  endY = y + Body.back().TY;
  if (Body.back().Down || MalaNaZarizeni) device.LineTo(endX, endY);
}

void TPaklicNaPetrklic::LoadFont(const std::string& path) {
  Loaded = true;
  if (!data_.Empty() && path == GetName()) return;
  Unload();
  SetName("");
  if (!ReadSymbolFont(path)) return;
  SetName(path);
}

// ---- chains ----

void TRetezovaZnacka::Rotate(double angle) {
  for (auto& l : Clanky) l->Rotate(angle);
}

void TRetezovaZnacka::CheckSizes(TDevice& device) {
  bool allSmall = !Clanky.empty();
  for (auto& l : Clanky) {
    l->MalaNaZarizeni = Pixels(device, l->GetVelikost()) < 3;
    if (!l->MalaNaZarizeni || Pixels(device, l->Vzdalenost) >= 2) allSmall = false;
  }
  KreslitCarou = allSmall;
}

namespace {

struct Vertex {
  double x, y;
};

std::vector<Vertex> VerticesOf(TElement& line) {
  std::vector<Vertex> v;
  if (line.Is<TPolyElement>()) {
    auto& poly = static_cast<TPolyElement&>(line);
    for (int i = 0; i < poly.GetCoordsCount(); ++i) v.push_back({poly.GetVertexX(i), poly.GetVertexY(i)});
  } else if (line.Is<TEntity>()) {
    for (TElement* e : static_cast<TEntity&>(line).Items())
      if (e->Is<T2DCoordinate>()) v.push_back({static_cast<T2DCoordinate*>(e)->X, static_cast<T2DCoordinate*>(e)->Y});
  }
  return v;
}

bool SegmentVisible(const Vertex& a, const Vertex& b, const geometry::WorldRect& r) {
  return std::max(a.x, b.x) >= r.MinX && std::min(a.x, b.x) <= r.MaxX && std::max(a.y, b.y) >= r.MinY &&
         std::min(a.y, b.y) <= r.MaxY;
}

// Lays the links along the vertices; a piece that does not fit before a
// vertex is carried to the next segment as the link's definition says.
class ChainWalker {
 public:
  ChainWalker(TDevice& device, std::vector<TLinZnacka*> links, const geometry::WorldRect& visible, bool clip)
      : device_(device), links_(std::move(links)), visible_(visible), clip_(clip) {}

  void Walk(const std::vector<Vertex>& v) {
    double period = 0;
    for (TLinZnacka* l : links_) period += l->GetVelikost() + l->Vzdalenost;
    // A period of nothing would never advance.
    if (period <= 0) return;
    std::size_t next = 0;
    for (std::size_t i = 0; i + 1 < v.size(); ++i) {
      const double dx = v[i + 1].x - v[i].x, dy = v[i + 1].y - v[i].y;
      double left = std::hypot(dx, dy);
      const double dir = std::atan2(dy, dx);
      const bool draw = !clip_ || SegmentVisible(v[i], v[i + 1], visible_);
      const bool last = i + 2 == v.size();
      for (TLinZnacka* l : links_) l->Rotate(dir);
      if (carried_) carried_->Rotate(dir);
      double x = v[i].x, y = v[i].y;
      // The carried piece first, then the links after it.
      while (true) {
        TLinZnacka* link = carried_ ? carried_.get() : links_[next];
        const double size = link->GetVelikost(), gap = link->Vzdalenost;
        if (size > left) {
          if (size > 0 && link->Has(TLinZnacka::LAMATZNACKU)) {
            std::unique_ptr<TLinZnacka> first, second;
            link->Split(first, second, false, left);
            first->Rotate(dir);
            if (draw && (!last || link->Has(TLinZnacka::KRESLITZBYTEK))) first->DrawAt(device_, x, y, x, y);
            Carry(std::move(second));
          } else if (link->Has(TLinZnacka::KRESLITPOSLEDNI)) {
            if (draw) link->DrawAt(device_, x, y, x, y);
            Carry(link->GapPiece(size - left + gap));
          } else {
            Carry(link->CloneLink());
          }
          break;
        }
        if (draw) link->DrawAt(device_, x, y, x, y);
        left -= size;
        if (gap > left) {
          std::unique_ptr<TLinZnacka> first, second;
          link->Split(first, second, true, left);
          Carry(std::move(second));
          break;
        }
        x += link->PosunX;
        y += link->PosunY;
        left -= gap;
        carried_.reset();
        next = (next + 1) % links_.size();
      }
    }
  }

 private:
  // The piece stands in for the link due next until it is drawn.
  void Carry(std::unique_ptr<TLinZnacka> piece) { carried_ = std::move(piece); }

  TDevice& device_;
  std::vector<TLinZnacka*> links_;
  geometry::WorldRect visible_;
  bool clip_;
  std::unique_ptr<TLinZnacka> carried_;
};

}  // namespace

void TRetezovaZnacka::DrawAlong(TDevice& device, std::int32_t color, const geometry::WorldRect& visible,
                                bool clip, TElement& line) {
  std::int32_t rgb = color;
  const bool paper = device.GetPage() && color == device.GetPage()->GetPaperColor();
  if (!paper) {
    if (Color >= 0) rgb = ByTrueColor ? TrueColor : GelixColorToRGB(static_cast<std::int16_t>(Color));
    else if (color == -1) {
      std::string text;
      line.GetPropertyText("Barva", text);  // the attribute record answers it
      rgb = ByTrueColor ? TrueColor : GelixColorToRGB(static_cast<std::int16_t>(std::atoi(text.c_str())));
    }
  }
  const double vs = VirtualScaleOf(device);
  TPen* pen = device.GetPen();
  if (pen) pen->Color = rgb;
  std::vector<Vertex> v = VerticesOf(line);
  if (v.size() < 2) return;
  // Links that never advance along the line (a period of 0 or less) would
  // lay nothing: such a chain draws the line itself.
  const bool harmonica = Has(LAMATMEZERU);
  double period = 0;
  if (harmonica && Clanky.size() >= 2) period = Clanky[1]->GetVelikost() + Clanky[1]->Vzdalenost;
  if (!harmonica)
    for (auto& l : Clanky) period += l->GetVelikost() + l->Vzdalenost;
  const bool noPeriod = period <= 0 && (!harmonica || Clanky.size() >= 2);
  if (Clanky.empty() || KreslitCarou || noPeriod) {
    if (pen) pen->Width = (ZakladniZnacka & 0xFFFF) != 0 && ZakladniZnacka >= 1 && ZakladniZnacka <= 999
                              ? 1
                              : PenWidthForDevice(Pixels(device, Sila / 1000 * vs));
    device.MoveTo(v[0].x, v[0].y);
    for (std::size_t i = 1; i < v.size(); ++i) device.LineTo(v[i].x, v[i].y);
    return;
  }
  if (pen) pen->Width = PenWidthForDevice(Pixels(device, Sila / 1000 * vs));
  if (Vzdalenost != 0) {
    TRectEntity input;
    for (const Vertex& p : v) input.Add(new T2DCoordinate(p.x, p.y));
    TParalel parallel;
    parallel.Init(!Strana, Vzdalenost);
    parallel.SetInput(&input);
    parallel.DoIt();
    std::unique_ptr<TElement> out(parallel.Output());
    parallel.SetOutput(nullptr);
    parallel.SetInput(nullptr);
    v = VerticesOf(*out);
  }
  std::vector<TLinZnacka*> walked;
  for (auto& l : Clanky) walked.push_back(l.get());
  TLinZnacka* opening = nullptr;
  TLinZnacka* closing = nullptr;
  if (Has(LAMATMEZERU)  // HARMONIKA on a chain
) {
    if (walked.size() < 2) return;
    opening = walked[0];
    closing = walked.size() > 2 ? walked[2] : nullptr;
    walked = {walked[1]};
  }
  if (opening) {
    // At the first segment that is drawn, turned to it.
    std::size_t i = 0;
    while (clip && i + 1 < v.size() && !SegmentVisible(v[i], v[i + 1], visible)) ++i;
    if (i + 1 < v.size()) {
      opening->Rotate(std::atan2(v[i + 1].y - v[i].y, v[i + 1].x - v[i].x));
      double ex, ey;
      opening->DrawAt(device, v[i].x, v[i].y, ex, ey);
    }
  }
  ChainWalker(device, walked, visible, clip).Walk(v);
  if (closing) {
    const Vertex& a = v[v.size() - 2];
    const Vertex& b = v.back();
    closing->Rotate(std::atan2(b.y - a.y, b.x - a.x));
    if (!clip || SegmentVisible(a, b, visible)) {
      double ex, ey;
      closing->DrawAt(device, b.x, b.y, ex, ey);
    }
  }
}

void TLiniovaZnacka::Draw(TDevice& device, std::int32_t color, const geometry::WorldRect& visible, bool clip,
                          TElement& line) {
  for (auto& chain : Retezy) {
    chain->CheckSizes(device);
    chain->DrawAlong(device, color, visible, clip, line);
  }
}

// ---- reading ----

TCteniLiniovychZnacek::TCteniLiniovychZnacek(const std::string& fileName, TDevice& device, bool& ok)
    : TCteniParametru(fileName, ok), device_(device) {
  glyphFont_.SetDevice(&device);
}

TCteniLiniovychZnacek::~TCteniLiniovychZnacek() = default;

bool TCteniLiniovychZnacek::Next(Item& item) {
  if (eof_) return false;
  ReadNextItem(item.isKey, item.isSection, item.text, item.key, item.atEof);
  eof_ = item.atEof;
  return true;
}

double TCteniLiniovychZnacek::Size() const { return ValueAsReal() / 1000 * VirtualScaleOf(device_); }

namespace {
std::uint16_t FlagOfKey(const std::string& key) {
  static const std::pair<const char*, std::uint16_t> kFlags[] = {
      {"NATACET", TLinZnacka::NATACET},         {"LAMATZNACKU", TLinZnacka::LAMATZNACKU},
      {"LAMATMEZERU", TLinZnacka::LAMATMEZERU}, {"CENTROVAT", TLinZnacka::CENTROVAT},
      {"PRVNIBOD", TLinZnacka::PRVNIBOD},       {"POSLEDNIBOD", TLinZnacka::POSLEDNIBOD},
      {"LOMBOD", TLinZnacka::LOMBOD},           {"LOMBOD0", TLinZnacka::LOMBOD0},
      {"LOMBOD1", TLinZnacka::LOMBOD1},         {"KRESLITPOSLEDNI", TLinZnacka::KRESLITPOSLEDNI},
      {"KRESLITZBYTEK", TLinZnacka::KRESLITZBYTEK}};
  for (auto [name, flag] : kFlags)
    if (key == name) return flag;
  return 0;
}
}  // namespace

std::unique_ptr<TLinZnacka> TCteniLiniovychZnacek::ReadLink(bool glyph, bool& atEof) {
  std::unique_ptr<TLinZnacka> link = glyph ? std::make_unique<TPetrklicZn>() : std::make_unique<TLinZnacka>();
  auto* petrklic = glyph ? static_cast<TPetrklicZn*>(link.get()) : nullptr;
  Item it;
  while (Next(it)) {
    if (it.isSection && it.text == "END") break;
    if (it.isKey) {
      if (it.key == "VELIKOST") link->SetVelikost(Size());
      else if (it.key == "UHEL") link->Uhel = ValueAsReal() * kPi / 180;
      else if (it.key == "VZDALENOST") link->Vzdalenost = Size();
      else if (it.key == "SILA") link->Sila = ValueAsReal();
      else if (glyph && it.key == "SOUBOR") petrklic->Soubor = it.text;
      else if (glyph && it.key == "KOD") {
        const std::int32_t k = ValueAsInteger();
        petrklic->Kod = k >= 1 && k <= 255 ? static_cast<std::uint8_t>(k) : 0;
      } else if (std::uint16_t f = FlagOfKey(it.key); f && !(glyph && f == TLinZnacka::LAMATMEZERU)) {
        if (IsTrue(it.text)) link->Priznaky |= f;
        else link->Priznaky &= static_cast<std::uint16_t>(~f);
      }
    }
    if (it.atEof) break;
  }
  atEof = eof_;
  if (glyph) {
    if (petrklic->Kod == 0 || !(link->GetVelikost() > 0)) return nullptr;
    std::string name = petrklic->Soubor;
    name.erase(0, name.find_first_not_of(' '));
    name.erase(name.find_last_not_of(' ') + 1);
    glyphFont_.LoadFont(render::SymbolFile(name).string());
    if (!glyphFont_.Loaded) return nullptr;
    petrklic->SetGlyph(glyphFont_.FontData());
    return link;
  }
  if (link->GetVelikost() == 0 && link->Vzdalenost == 0) return nullptr;
  link->Prepare();
  return link;
}

std::unique_ptr<TRetezovaZnacka> TCteniLiniovychZnacek::ReadChain(bool& atEof) {
  auto chain = std::make_unique<TRetezovaZnacka>();
  Item it;
  while (Next(it)) {
    if (it.isSection) {
      if (it.text == "END") break;
      if (it.text == "CLANEK" || it.text == "PETRKLIC") {
        bool eof = false;
        if (auto link = ReadLink(it.text == "PETRKLIC", eof)) chain->AddLink(std::move(link));
        if (eof) break;
        continue;
      }
    } else if (it.isKey) {
      if (it.key == "ZAKLADNIZNACKA") chain->ZakladniZnacka = ValueAsInteger();
      else if (it.key == "VZDALENOST") chain->Vzdalenost = Size();
      else if (it.key == "STRANA") {
        const auto p = it.text.find_first_of("LlPpRr");
        chain->Strana = p != std::string::npos && (it.text[p] == 'L' || it.text[p] == 'l');
      } else if (it.key == "BARVA") chain->Color = ValueAsInteger();
      else if (it.key == "SILA") chain->Sila = ValueAsReal();
      else if (it.key == "KRESLITPRVNI" || it.key == "HARMONIKA") {
        const std::uint16_t f = it.key == "HARMONIKA" ? TLinZnacka::LAMATMEZERU : TLinZnacka::KRESLITPRVNI;
        if (IsTrue(it.text)) chain->Priznaky |= f;
        else chain->Priznaky &= static_cast<std::uint16_t>(~f);
      }
    }
    if (it.atEof) break;
  }
  atEof = eof_;
  if (chain->ZakladniZnacka < 0 && chain->Clanky.empty()) return nullptr;
  return chain;
}

std::unique_ptr<TLiniovaZnacka> TCteniLiniovychZnacek::ReadBody() {
  auto symbol = std::make_unique<TLiniovaZnacka>();
  Item it;
  while (Next(it)) {
    if (it.isSection) {
      if (it.text == "END") break;
      if (it.text == "RETEZ") {
        bool eof = false;
        if (auto chain = ReadChain(eof)) symbol->AddChain(std::move(chain));
        if (eof) break;
        continue;
      }
    } else if (it.isKey) {
      if (it.key == "NAZEV") symbol->SetNazev(it.text);
      else if (it.key == "NAHRADNIZNACKA") symbol->NahradniZnacka = ValueAsInteger();
    }
    if (it.atEof) break;
  }
  return symbol;
}

std::unique_ptr<TLiniovaZnacka> TCteniLiniovychZnacek::ReadSymbol(std::int32_t code) {
  Item it;
  while (Next(it)) {
    if (it.isSection && it.text == "LINIOVAZNACKA" && !it.atEof) {
      Item kod;
      if (!Next(kod)) break;
      if (!kod.isKey || kod.key != "KOD") continue;
      const std::int32_t k = ValueAsInteger();
      if (kod.atEof) break;
      auto symbol = ReadBody();
      symbol->Kod = k;
      if (k == code && k > -1 && !symbol->Retezy.empty()) return symbol;
      continue;
    }
    if (it.atEof) break;
  }
  return nullptr;
}

TLiniovaZnacka* TLinioveZnacky::FindSymbol(std::int32_t code) {
  for (TElement* e : Items())
    if (e->Is<TLiniovaZnacka>() && static_cast<TLiniovaZnacka*>(e)->Kod == code)
      return static_cast<TLiniovaZnacka*>(e);
  return LoadSymbol(code);
}

TLiniovaZnacka* TLinioveZnacky::LoadSymbol(std::int32_t code) {
  if (!device_ || missing_.count(code)) return nullptr;
  bool ok = false;
  TCteniLiniovychZnacek reader(platform::pathResolver().existing(GetName()).string(), *device_, ok);
  if (!ok) return nullptr;
  auto symbol = reader.ReadSymbol(code);
  if (!symbol) {
    missing_.insert(code);
    return nullptr;
  }
  TLiniovaZnacka* s = symbol.release();
  Add(s);
  return s;
}

void RegisterLineSymbolClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  for (const TElementClass* cls :
       {&TLinZnacka::StaticClass(), &TPetrklicZn::StaticClass(), &TPaklicNaPetrklic::StaticClass(),
        &TRetezovaZnacka::StaticClass(), &TLiniovaZnacka::StaticClass(), &TLinioveZnacky::StaticClass()})
    RegisterZeltoClass(*cls);
}
