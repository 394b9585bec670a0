#include "render/map_sheets.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "framework/class_registry.h"
#include "framework/entity.h"
#include "framework/value_stream.h"
#include "framework/wcs.h"
#include "framework/world.h"

ZELTO_IMPLEMENT_ELEMENT(TSpaces, TRectEntity, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TSpaceMatrix, TRectEntity, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TSpaceTree, TRectEntity, [](auto& p) {
  using E = TSpaceTree;
  p.Object("Matrix", TSpaceMatrix::StaticClass(), &E::GetMatrix, [](E& e, TElement* v) {
    e.SetMatrix(v && v->Is<TSpaceMatrix>() ? static_cast<TSpaceMatrix*>(v) : nullptr);
  }).StoredIf([](TElement& e) { return static_cast<E&>(e).PeekMatrix() != nullptr; });
})
ZELTO_IMPLEMENT_ELEMENT(TMapSpace, TSpaceTree, [](auto& p) {
  using E = TMapSpace;
  p.String("Jmeno", [](E& e) { return e.GetName(); }, [](E& e, const std::string& v) { e.SetName(v); });
  p.Integer("Cislo", &E::Cislo, &E::Cislo);
  p.ShortString("Zkratka", &E::GetZkratka, &E::SetZkratka);
  p.Boolean("Selected", &E::Selected, &E::Selected);
  p.Float("Scale", &E::GetScale, &E::SetScale);
  p.String("FullName", &E::GetFullName).Stored(false);
  p.String("ColRowText", &E::GetColRowText).Stored(false);
  p.String("TopMSName", &E::GetTopMSName).Stored(false);
  p.String("BottomMSName", &E::GetBottomMSName).Stored(false);
  p.String("LeftMSName", &E::GetLeftMSName).Stored(false);
  p.String("RightMSName", &E::GetRightMSName).Stored(false);
  p.String("TopMSFullName", &E::GetTopMSFullName).Stored(false);
  p.String("BottomMSFullName", &E::GetBottomMSFullName).Stored(false);
  p.String("LeftMSFullName", &E::GetLeftMSFullName).Stored(false);
  p.String("RightMSFullName", &E::GetRightMSFullName).Stored(false);
  p.Object("SelfCopyWithDetail", TMapSpace::StaticClass(), &E::SelfCopyWithDetail).Stored(false);
  p.Float("PageWidth", &E::GetPageWidth).Stored(false);
  p.Float("PageHeight", &E::GetPageHeight).Stored(false);
})
ZELTO_IMPLEMENT_ELEMENT(TUserMapSpace, TMapSpace, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TSMO_2, TMapSpace, [](auto& p) {
  p.Integer("Col", &TSMO_2::Col, &TSMO_2::Col);
  p.Integer("Row", &TSMO_2::Row, &TSMO_2::Row);
})
ZELTO_IMPLEMENT_ELEMENT(TSMO_5, TSMO_2, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TSMO_10, TSMO_5, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TSMO_25, TSMO_5, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TSMO_50, TSMO_10, [](auto& p) {
  p.Object("SelfCopyWithDetail10", TMapSpace::StaticClass(), &TSMO_50::SelfCopyWithDetail10).Stored(false);
  p.Object("SelfCopyWithDetail25", TMapSpace::StaticClass(), &TSMO_50::SelfCopyWithDetail25).Stored(false);
})
ZELTO_IMPLEMENT_ELEMENT(TSMO, TSMO_50, ZELTO_NO_PROPERTIES)

namespace {

constexpr double kWidth5 = 2500, kHeight5 = 2000;
constexpr double kWidth2 = 1250, kHeight2 = 1000;

void setRect(TRectEntity& e, double minX, double minY, double maxX, double maxY) {
  e.SetMinX(minX);
  e.SetMinY(minY);
  e.SetMaxX(maxX);
  e.SetMaxY(maxY);
}

bool strictlyInX(const TRectEntity& e, double x) { return e.GetMinX() < x && x < e.GetMaxX(); }
bool strictlyInY(const TRectEntity& e, double y) { return e.GetMinY() < y && y < e.GetMaxY(); }

// Nearest integer, halves to even.
long long nearest(double v) { return std::llrint(v); }

std::string rawPair(std::int32_t a, std::int32_t b) {
  char bytes[8];
  std::memcpy(bytes, &a, 4);
  std::memcpy(bytes + 4, &b, 4);
  return {bytes, 8};
}

void readPair(zelto::ValueReader& reader, std::int32_t& a, std::int32_t& b) {
  const std::string raw = reader.ReadRaw(8);
  std::memcpy(&a, raw.data(), 4);
  std::memcpy(&b, raw.data() + 4, 4);
}

// The value stream's boolean bytes.
constexpr char kFalse = 8, kTrue = 9;

// Every sheet in the tree's matrix, column by column.
template <class F>
void forEachSheet(const TSpaceTree& tree, F&& visit) {
  TSpaceMatrix* matrix = tree.PeekMatrix();
  if (!matrix) return;
  for (TElement* column : matrix->Items())
    if (auto* spaces = dynamic_cast<TSpaces*>(column))
      for (TElement* sheet : spaces->Items()) visit(sheet);
}

template <class T>
T* findByColRow(const TSpaceTree& tree, int c, int r) {
  T* found = nullptr;
  forEachSheet(tree, [&](TElement* e) {
    auto* sheet = dynamic_cast<T*>(e);
    if (!found && sheet && sheet->Col == c && sheet->Row == r) found = sheet;
  });
  return found;
}

// Where a point lies in a 1:50000 sheet: its 1:5000 cell and, inside it,
// the 1:2000 quadrant.
struct GridPosition {
  int c5, r5;
  int quadrant2;
};

GridPosition gridPosition(const TRectEntity& sheet50, double x, double y) {
  GridPosition g{};
  g.c5 = static_cast<int>(nearest(sheet50.GetMaxX() - x) / 2500);
  g.r5 = static_cast<int>(nearest(sheet50.GetMaxY() - y) / 2000);
  const double dx = (sheet50.GetMaxX() - g.c5 * kWidth5) - x;
  const double dy = (sheet50.GetMaxY() - g.r5 * kHeight5) - y;
  g.quadrant2 = render::Quadrant2(static_cast<int>(nearest(dx) / 1250), static_cast<int>(nearest(dy) / 1000));
  return g;
}

// Before the first child whose lower edge (MinX or MinY) exceeds the
// value; appended when none does.
void insertBeforeFirstAbove(TEntity& list, TElement* element, double value, double (TRectEntity::*edge)() const) {
  for (int i = 0; i < list.GetCount(); ++i)
    if (auto* r = dynamic_cast<TRectEntity*>(list.GetItem(i)); r && (r->*edge)() > value) {
      list.Insert(i, element);
      return;
    }
  list.Add(element);
}

int lowerToEven(int v) { return v % 2 ? v - 1 : v; }

std::string colRow(int c, int r) { return std::to_string(c) + "-" + std::to_string(r); }

}  // namespace

namespace render {

int SheetLevel(const TMapSpace& sheet) {
  if (sheet.Is<TSMO_50>()) return TSMO::k50;
  if (sheet.Is<TSMO_25>()) return TSMO::k25;
  if (sheet.Is<TSMO_10>()) return TSMO::k10;
  if (sheet.Is<TSMO_5>()) return TSMO::k5;
  if (sheet.Is<TSMO_2>()) return TSMO::k2;
  return -1;
}

int Quadrant2(int c, int r) {
  if (r == 0) return c == 1 ? 1 : 2;
  return c == 1 ? 3 : 4;
}

int Quadrant25(int c, int r) {
  if (c > 4 && r < 5) return 1;
  if (c < 5 && r < 5) return 2;
  if (c < 5 && r >= 5) return 4;
  return 3;
}

}  // namespace render

// ---- TSpaceMatrix, TSpaceTree ----

TSpaces* TSpaceMatrix::GetColumn(int index) const { return dynamic_cast<TSpaces*>(GetItem(index)); }

TSpaceMatrix* TSpaceTree::GetMatrix() {
  if (TSpaceMatrix* matrix = PeekMatrix()) return matrix;
  auto* matrix = new TSpaceMatrix;
  Add(matrix);
  matrix_.Set(matrix);
  return matrix;
}

TSpaceMatrix* TSpaceTree::PeekMatrix() const { return static_cast<TSpaceMatrix*>(matrix_.Get()); }

void TSpaceTree::SetMatrix(TSpaceMatrix* matrix) {
  TSpaceMatrix* old = PeekMatrix();
  if (old == matrix) return;
  if (old) Delete(old);
  // Held as a child, so that a matrix given by a script is not lost.
  if (matrix && IndexOf(matrix) < 0) Add(matrix);
  matrix_.Set(matrix);
}

void TSpaceTree::Insert(TRectEntity* element) {
  if (!element) return;
  TSpaceMatrix* matrix = GetMatrix();
  const double cx = element->GetCenterX();
  const double cy = element->GetCenterY();
  TSpaces* column = nullptr;
  for (TElement* e : matrix->Items())
    if (auto* spaces = dynamic_cast<TSpaces*>(e); spaces && strictlyInX(*spaces, cx)) {
      column = spaces;
      break;
    }
  if (!column) {
    column = new TSpaces;
    column->GetRectangle()->Assign(&element->Rect());
    insertBeforeFirstAbove(*matrix, column, cx, &TRectEntity::GetMinX);
  }
  insertBeforeFirstAbove(*column, element, cy, &TRectEntity::GetMinY);
  column->ExtendBy(element);
  matrix->ExtendBy(element);
  ExtendBy(element);
}

void TSpaceTree::Prune() {
  TSpaceMatrix* matrix = PeekMatrix();
  if (!matrix) return;
  for (int c = matrix->GetLastIndex(); c >= 0; --c) {
    auto* column = dynamic_cast<TSpaces*>(matrix->GetItem(c));
    if (!column) continue;
    for (int s = column->GetLastIndex(); s >= 0; --s) {
      auto* sheet = dynamic_cast<TSpaceTree*>(column->GetItem(s));
      TSpaceMatrix* inner = sheet ? sheet->PeekMatrix() : nullptr;
      bool empty = true;
      if (inner)
        for (TElement* e : inner->Items())
          if (auto* spaces = dynamic_cast<TEntity*>(e); spaces && spaces->GetCount() > 0) empty = false;
      if (empty) column->Delete(column->GetItem(s));
    }
    if (column->GetCount() == 0) matrix->Delete(column);
  }
}

TRectEntity* TSpaceTree::FindChildAt(double x, double y) const {
  TSpaceMatrix* matrix = PeekMatrix();
  if (!matrix) return nullptr;
  for (TElement* e : matrix->Items()) {
    auto* column = dynamic_cast<TSpaces*>(e);
    if (!column || !strictlyInX(*column, x)) continue;
    for (TElement* s : column->Items())
      if (auto* sheet = dynamic_cast<TRectEntity*>(s); sheet && strictlyInY(*sheet, y)) return sheet;
    return nullptr;  // only the first column holding x is searched
  }
  return nullptr;
}

TRectEntity* TSpaceTree::FindAtDepth(int depth, double x, double y) const {
  if (!ContainsPoint(x, y)) return nullptr;
  const TRectEntity* at = this;
  for (int i = 0; i < depth; ++i) {
    auto* tree = dynamic_cast<const TSpaceTree*>(at);
    at = tree ? tree->FindChildAt(x, y) : nullptr;
    if (!at) return nullptr;
  }
  return const_cast<TRectEntity*>(at);
}

void TSpaceTree::ReadData(zelto::ValueReader& reader, TQuickEntity& loaded) {
  TRectEntity::ReadData(reader, loaded);
  const std::int32_t index = reader.ReadInteger();
  TElement* e = index >= 0 && index < loaded.GetCount() ? loaded.GetItem(index) : nullptr;
  SetMatrix(e && e->Is<TSpaceMatrix>() ? static_cast<TSpaceMatrix*>(e) : nullptr);
}

void TSpaceTree::WriteData(zelto::ValueWriter& writer) {
  TRectEntity::WriteData(writer);
  TSpaceMatrix* matrix = PeekMatrix();
  writer.WriteInteger(matrix ? matrix->ID : -1);
}

// ---- TMapSpace ----

void TMapSpace::SetZkratka(const std::string& value) { zkratka_ = value.substr(0, 4); }

double TMapSpace::GetPageWidth() const {
  const double s = GetScale();
  return s != 0 ? GetWidth() / s : 0;
}

double TMapSpace::GetPageHeight() const {
  const double s = GetScale();
  return s != 0 ? GetHeight() / s : 0;
}

TSMO* TMapSpace::GetSMORoot() { return static_cast<TSMO*>(FindUpwardByClass(TSMO::StaticClass())); }

TMapSpace* TMapSpace::NeighbourSheet(int dx, int dy) {
  const int level = render::SheetLevel(*this);
  TSMO* root = GetSMORoot();
  if (level < 0 || !root) return nullptr;
  return root->FindSheet(static_cast<TSMO::Level>(level), GetCenterX() + dx * GetWidth(),
                         GetCenterY() + dy * GetHeight());
}

std::string TMapSpace::NeighbourName(int dx, int dy, bool full) {
  const int level = render::SheetLevel(*this);
  TSMO* root = GetSMORoot();
  if (level < 0 || !root) return {};
  const double x = GetCenterX() + dx * GetWidth();
  const double y = GetCenterY() + dy * GetHeight();
  const auto l = static_cast<TSMO::Level>(level);
  return full ? root->SheetFullName(l, x, y) : root->SheetName(l, x, y);
}

std::string TMapSpace::GetFullName() {
  TElement* sheet50 = FindUpwardByClass(TSMO_50::StaticClass());
  if (!sheet50) return {};
  return sheet50->GetName() + "  " + GetColRowText();
}

TMapSpace* TMapSpace::PlainCopy() {
  auto* copy = static_cast<TMapSpace*>(ClassType().Create());
  copy->Assign(this);
  copy->SetName(GetName());
  copy->zkratka_ = zkratka_;
  copy->Cislo = Cislo;
  return copy;
}

TMapSpace* TMapSpace::SelfCopyWithDetail() {
  TMapSpace* copy = PlainCopy();
  copy->CreateDetail();
  if (BlankCopyName()) copy->SetName(" ");
  return copy;
}

void TMapSpace::ReadData(zelto::ValueReader& reader, TQuickEntity& loaded) {
  TSpaceTree::ReadData(reader, loaded);
  Cislo = reader.ReadInteger();
  SetZkratka(reader.ReadString());
  Selected = reader.ReadRaw(1)[0] == kTrue;
  SetScale(reader.ReadFloat());
}

void TMapSpace::WriteData(zelto::ValueWriter& writer) {
  TSpaceTree::WriteData(writer);
  writer.WriteInteger(Cislo);
  writer.WriteString(zkratka_);
  writer.WriteRaw(std::string(1, Selected ? kTrue : kFalse));
  writer.WriteFloat(GetScale());
}

// ---- TSMO_2, TSMO_5 ----

std::string TSMO_2::GetColRowText() {
  // The 1:5000 sheet this quadrant belongs to.
  for (int i = 0; i < GetOwnersCount(); ++i)
    if (TElement* up = GetOwner(i))
      if (auto* sheet5 = static_cast<TSMO_5*>(up->FindUpwardByClass(TSMO_5::StaticClass())))
        return sheet5->GetColRowText() + " / " + std::to_string(Cislo);
  return " / " + std::to_string(Cislo);
}

TMapSpace* TSMO_2::PlainCopy() {
  auto* copy = static_cast<TSMO_2*>(TMapSpace::PlainCopy());
  copy->Col = Col;
  copy->Row = Row;
  return copy;
}

void TSMO_2::ReadData(zelto::ValueReader& reader, TQuickEntity& loaded) {
  TMapSpace::ReadData(reader, loaded);
  readPair(reader, Col, Row);
}

void TSMO_2::WriteData(zelto::ValueWriter& writer) {
  TMapSpace::WriteData(writer);
  writer.WriteRaw(rawPair(Col, Row));
}

std::string TSMO_5::GetColRowText() { return colRow(Col, Row); }

TSMO_2* TSMO_5::NewSheet2(int c, int r) {
  if (TSMO_2* existing = findByColRow<TSMO_2>(*this, c, r)) return existing;
  auto* sheet = new TSMO_2;
  const double maxX = c == 1 ? GetMaxX() - kWidth2 : GetMaxX();
  const double maxY = r == 1 ? GetMaxY() - kHeight2 : GetMaxY();
  setRect(*sheet, maxX - kWidth2, maxY - kHeight2, maxX, maxY);
  sheet->Col = c;
  sheet->Row = r;
  sheet->Cislo = render::Quadrant2(c, r);
  sheet->SetName(GetName() + " / " + std::to_string(sheet->Cislo));
  sheet->SetZkratka(GetZkratka());
  Insert(sheet);
  return sheet;
}

void TSMO_5::CreateDetail() {
  for (int c = 0; c < 2; ++c)
    for (int r = 0; r < 2; ++r) NewSheet2(c, r);
}

void TSMO_5::ReadData(zelto::ValueReader& reader, TQuickEntity& loaded) {
  TSMO_2::ReadData(reader, loaded);
  readPair(reader, Col, Row);
}

void TSMO_5::WriteData(zelto::ValueWriter& writer) {
  TSMO_2::WriteData(writer);
  writer.WriteRaw(rawPair(Col, Row));
}

// ---- TSMO_10 ----

TSMO_5* TSMO_10::NewSheet5(int c, int r) {
  if (TSMO_5* existing = findByColRow<TSMO_5>(*this, c, r)) return existing;
  auto* sheet = new TSMO_5;
  const double maxX = c % 2 ? GetMaxX() - kWidth5 : GetMaxX();
  const double maxY = r % 2 ? GetMaxY() - kHeight5 : GetMaxY();
  setRect(*sheet, maxX - kWidth5, maxY - kHeight5, maxX, maxY);
  sheet->Col = c;
  sheet->Row = r;
  sheet->SetName(GetZkratka() + " " + colRow(c, r));
  sheet->SetZkratka(GetZkratka());
  Insert(sheet);
  return sheet;
}

void TSMO_10::CreateDetail() {
  for (int c = Col; c <= Col + 1; ++c)
    for (int r = Row; r <= Row + 1; ++r) NewSheet5(c, r);
}

// ---- TSMO_25 ----

std::string TSMO_25::GetColRowText() { return "25-" + std::to_string(Cislo); }

TMapSpace* TSMO_25::SelfCopyWithDetail() {
  auto* copy = static_cast<TSMO_25*>(PlainCopy());
  if (TSMO* root = GetSMORoot()) root->Add(copy);
  copy->CollectDetail();
  return copy;
}

void TSMO_25::CollectDetail() {
  TSMO* root = GetSMORoot();
  TSMO_50* sheet50 = root ? root->FindSheet50(GetMinX() + 10, GetMinY() + 10) : nullptr;
  if (!sheet50) return;
  for (int c = Col; c <= Col + 4; ++c)
    for (int r = Row; r <= Row + 4; ++r) {
      auto* sheet10 = findByColRow<TSMO_10>(*sheet50, lowerToEven(c), lowerToEven(r));
      TSMO_5* sheet5 = sheet10 ? findByColRow<TSMO_5>(*sheet10, c, r) : nullptr;
      if (sheet5 && IndexOf(sheet5) < 0) Add(sheet5);
    }
}

// ---- TSMO_50 ----

TSMO_10* TSMO_50::NewSheet10(int c, int r) {
  c = lowerToEven(c);
  r = lowerToEven(r);
  if (TSMO_10* existing = findByColRow<TSMO_10>(*this, c, r)) return existing;
  auto* sheet = new TSMO_10;
  const double maxX = GetMaxX() - (c / 2) * 5000.0;
  const double maxY = GetMaxY() - (r / 2) * 4000.0;
  setRect(*sheet, maxX - 5000, maxY - 4000, maxX, maxY);
  sheet->Col = c;
  sheet->Row = r;
  sheet->SetName(GetZkratka() + " " + colRow(c, r));
  sheet->SetZkratka(GetZkratka());
  Insert(sheet);
  return sheet;
}

TSMO_25* TSMO_50::NewSheet25(int quadrant) {
  // Made once: a second detail run reuses the sheet of that number.
  for (TElement* child : Items())
    if (auto* sheet = dynamic_cast<TSMO_25*>(child); sheet && sheet->Cislo == quadrant) return sheet;
  auto* sheet = new TSMO_25;
  const bool west = quadrant == 1 || quadrant == 3;
  const bool north = quadrant == 1 || quadrant == 2;
  const double minX = west ? GetMinX() : GetMinX() + 12500;
  const double minY = north ? GetMinY() + 10000 : GetMinY();
  const double maxX = west ? GetMinX() + 12500 : GetMaxX();
  const double maxY = north ? GetMaxY() : GetMinY() + 10000;
  setRect(*sheet, minX, minY, maxX, maxY);
  sheet->Cislo = quadrant;
  // The first 1:5000 cell it covers, so that collecting its detail finds them.
  sheet->Col = west ? 5 : 0;
  sheet->Row = north ? 0 : 5;
  sheet->SetName(GetZkratka() + "25-" + std::to_string(quadrant));
  sheet->SetZkratka(GetZkratka());
  if (GetCount() == 0)
    Add(sheet);
  else
    TEntity::Insert(0, sheet);
  return sheet;
}

void TSMO_50::CreateDetail10() {
  for (int c = 0; c < 10; ++c)
    for (int r = 0; r < 10; ++r) NewSheet10(c, r);
}

void TSMO_50::CreateDetail25() {
  for (int q = 1; q <= 4; ++q) NewSheet25(q);
}

void TSMO_50::CreateDetail() {
  CreateDetail10();
  CreateDetail25();
}

TMapSpace* TSMO_50::SelfCopyWithDetail10() {
  auto* copy = static_cast<TSMO_50*>(PlainCopy());
  copy->CreateDetail10();
  copy->SetName(" ");
  return copy;
}

TMapSpace* TSMO_50::SelfCopyWithDetail25() {
  auto* copy = static_cast<TSMO_50*>(PlainCopy());
  copy->CreateDetail25();
  copy->SetName(" ");
  return copy;
}

// ---- TSMO ----

TSMO::TSMO() {
  if (auto* world = dynamic_cast<TWCSWorld*>(GetWorld())) wcs_ = world->GetWCSLibrary()->GetWCS(TJTSK::kTypeCode);
}

TSMO_50* TSMO::FindSheet50(double x, double y) const { return dynamic_cast<TSMO_50*>(FindChildAt(x, y)); }

TSMO_10* TSMO::FindSheet10(double x, double y) const { return dynamic_cast<TSMO_10*>(FindAtDepth(2, x, y)); }

TSMO_5* TSMO::FindSheet5(double x, double y) const { return dynamic_cast<TSMO_5*>(FindAtDepth(3, x, y)); }

TSMO_2* TSMO::FindSheet2(double x, double y) const { return dynamic_cast<TSMO_2*>(FindAtDepth(4, x, y)); }

TSMO_25* TSMO::FindSheet25(double x, double y) const {
  TSMO_50* sheet50 = FindSheet50(x, y);
  if (!sheet50) return nullptr;
  const GridPosition g = gridPosition(*sheet50, x, y);
  const int quadrant = render::Quadrant25(g.c5, g.r5);
  for (TElement* child : sheet50->Items())
    if (auto* sheet = dynamic_cast<TSMO_25*>(child); sheet && sheet->Cislo == quadrant) return sheet;
  return nullptr;
}

TMapSpace* TSMO::FindSheet(Level level, double x, double y) const {
  switch (level) {
    case k50: return FindSheet50(x, y);
    case k25: return FindSheet25(x, y);
    case k10: return FindSheet10(x, y);
    case k5: return FindSheet5(x, y);
    case k2: return FindSheet2(x, y);
  }
  return nullptr;
}

std::string TSMO::SheetName(Level level, double x, double y) const {
  TSMO_50* sheet50 = FindSheet50(x, y);
  if (!sheet50) return {};
  const GridPosition g = gridPosition(*sheet50, x, y);
  const std::string z = sheet50->GetZkratka();
  switch (level) {
    case k50: return sheet50->GetName();
    case k25: return z + "25-" + std::to_string(render::Quadrant25(g.c5, g.r5));
    case k10: return z + " " + colRow(lowerToEven(g.c5), lowerToEven(g.r5));
    case k5: return z + " " + colRow(g.c5, g.r5);
    case k2: return z + " " + colRow(g.c5, g.r5) + " / " + std::to_string(g.quadrant2);
  }
  return {};
}

std::string TSMO::SheetFullName(Level level, double x, double y) const {
  TSMO_50* sheet50 = FindSheet50(x, y);
  if (!sheet50) return {};
  const GridPosition g = gridPosition(*sheet50, x, y);
  const std::string full = sheet50->GetFullName();
  switch (level) {
    case k50: return full;
    case k25: return full + "25-" + std::to_string(render::Quadrant25(g.c5, g.r5));
    case k10: return full + "  " + colRow(lowerToEven(g.c5), lowerToEven(g.r5));
    case k5: return full + "  " + colRow(g.c5, g.r5);
    case k2: return full + "  " + colRow(g.c5, g.r5) + " / " + std::to_string(g.quadrant2);
  }
  return {};
}

TSMO_50* TSMO::AddSheet50(int col, int row, const std::string& name, const std::string& abbreviation) {
  auto* sheet = new TSMO_50;
  const double y1 = col * 25000.0, y2 = y1 + 25000;
  const double x1 = row * 20000.0, x2 = x1 + 20000;
  double ax, ay, bx, by, z;
  if (wcs_) {
    wcs_->ToWorld(y1, x1, 0, ax, ay, z);
    wcs_->ToWorld(y2, x2, 0, bx, by, z);
  } else {
    ax = -y1, ay = -x1, bx = -y2, by = -x2;
  }
  setRect(*sheet, std::min(ax, bx), std::min(ay, by), std::max(ax, bx), std::max(ay, by));
  sheet->SetName(name);
  sheet->SetZkratka(abbreviation);
  Insert(sheet);
  return sheet;
}

void RegisterMapSheetClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  for (const TElementClass* cls :
       {&TSpaces::StaticClass(), &TSpaceMatrix::StaticClass(), &TSpaceTree::StaticClass(),
        &TMapSpace::StaticClass(), &TUserMapSpace::StaticClass(), &TSMO_2::StaticClass(),
        &TSMO_5::StaticClass(), &TSMO_10::StaticClass(), &TSMO_25::StaticClass(), &TSMO_50::StaticClass(),
        &TSMO::StaticClass()})
    RegisterZeltoClass(*cls);
}
