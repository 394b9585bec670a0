#include "gisblock/gelix_area_reader.h"

#include <cmath>
#include <memory>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "framework/czech_count.h"
#include "gisblock/gelix_props.h"
#include "platform/user_interaction.h"

ZELTO_IMPLEMENT_ELEMENT(TGelixAreaBoundaryReader, TGeliXObjectReader, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TGelixAreaReader, TGelixAreaBoundaryReader, ZELTO_NO_PROPERTIES)

using gisblock::AreRecord;
using gisblock::LinRecord;

namespace {
// The next line of a ring walk follows from the line and the side alone: a
// walk that comes to a line on a side it has been on before, without having
// closed, would only go round again.
class RingSteps {
 public:
  // False when the step was taken before.
  bool take(std::int32_t record, bool onLeft) { return taken_.insert(std::int64_t{record} * 2 + onLeft).second; }

 private:
  std::unordered_set<std::int64_t> taken_;
};

bool borders(const LinRecord& line, std::int32_t area) {
  return static_cast<std::int32_t>(line.leftArea) == area || static_cast<std::int32_t>(line.rightArea) == area;
}

// The ring a walk follows, named by the area on the side it walks.
std::string RingText(std::uint32_t area) {
  const auto n = static_cast<std::int32_t>(area);
  return n < 1 ? std::string("okraj bez plochy") : "hranice plochy č." + std::to_string(n);
}
}  // namespace

TGelixAreaBoundaryReader::~TGelixAreaBoundaryReader() { delete lines_; }

bool TGelixAreaBoundaryReader::OpenCompanions() {
  lines_ = new TGelixLinReader;
  lines_->SetCoordSystem(GetCoordSystem());
  return lines_->Open(BlockName);
}

TGelixLinReader* TGelixAreaBoundaryReader::LineReader() {
  // Ring lines are shared with every other reader of the block.
  if (lines_) lines_->SetRegisterRoot(GetRegisterRoot());
  return lines_;
}

std::optional<AreRecord> TGelixAreaBoundaryReader::RecordAt(std::int32_t n) {
  if (!stream_ || n < 0 || n >= GetRecordCount()) return std::nullopt;
  ForgetWritePlace();
  stream_->clear();
  const auto here = stream_->tellg();
  const std::int32_t last = lastRecord_;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(recordSize_));
  stream_->seekg(static_cast<std::streamoff>(n) * recordSize_);
  stream_->read(reinterpret_cast<char*>(bytes.data()), recordSize_);
  const bool ok = stream_->gcount() == recordSize_;
  stream_->clear();
  stream_->seekg(here);
  lastRecord_ = last;
  if (!ok) return std::nullopt;
  return AreRecord::decode(bytes.data());
}

bool TGelixAreaBoundaryReader::IsDeadArea(std::int64_t n) {
  if (n < 1 || n >= GetRecordCount()) return true;
  std::optional<AreRecord> r = RecordAt(static_cast<std::int32_t>(n));
  return !r || !r->live();
}

bool TGelixAreaBoundaryReader::Readable(const AreRecord& record, std::int32_t number) {
  return number > 0 && record.live() && BoxMeetsWindow(record.box);
}

gisblock::BlockDamage TGelixAreaBoundaryReader::Damage() const {
  gisblock::BlockDamage damage = TGeliXObjectReader::Damage();
  if (lines_) damage.Add(lines_->Damage());
  return damage;
}

TGeliXObjectReader* TGelixAreaBoundaryReader::ReaderOf(const std::string& fileName) {
  if (TGeliXObjectReader* reader = TGeliXObjectReader::ReaderOf(fileName)) return reader;
  return lines_ ? lines_->ReaderOf(fileName) : nullptr;
}

void TGelixAreaBoundaryReader::CheckSides(const LinRecord& line, std::int32_t lineNo) {
  const std::int32_t count = GetRecordCount();
  for (const auto& [side, where] : {std::pair{line.leftArea, "vlevo"}, std::pair{line.rightArea, "vpravo"}}) {
    // Blocks of this system store "no area" as -1.
    const auto n = static_cast<std::int32_t>(side);
    if (n > 0 && n >= count && lines_)
      lines_->NoteDamage("linie č." + std::to_string(lineNo) + " má " + where + " plochu č." + std::to_string(n) +
                         " mimo soubor TN.ARE (" + framework::CzechCount(count, "záznam", "záznamy", "záznamů") + ")");
  }
}

void TGelixAreaBoundaryReader::NoteNoLines(std::int32_t number) {
  if (lines_) lines_->NoteDamage("s plochou č." + std::to_string(number) + " nesousedí žádná linie");
}

void TGelixAreaBoundaryReader::NoteBrokenRing(const std::string& ring, std::int32_t lineNo, const std::string& why) {
  if (lines_) lines_->NoteDamage(ring + " se nedá obejít, " + why + " č." + std::to_string(lineNo));
}

void TGelixAreaBoundaryReader::NoteGap(const std::string& ring, std::int32_t before, std::int32_t after) {
  if (!lines_) return;
  if (before == after)
    lines_->NoteDamage(ring + " se na linii č." + std::to_string(before) + " neuzavírá");
  else
    lines_->NoteDamage(ring + " je přerušena mezi linií č." + std::to_string(before) + " a linií č." +
                       std::to_string(after));
}

const std::vector<TGelixAreaBoundaryReader::LineSide>& TGelixAreaBoundaryReader::SidesOf(std::int32_t number) {
  if (!sidesBuilt_) {
    sidesBuilt_ = true;
    TGelixLinReader* lines = LineReader();
    const std::int32_t count = lines && lines->HasStream() ? lines->GetRecordCount() : 0;
    for (std::int32_t i = 1; i < count; ++i) {
      std::optional<LinRecord> line = lines->RecordAt(i);
      if (!line || line->deleted()) continue;
      // Every live line passes here once: a record that is not what was
      // written shows here even when no ring leads to it.
      lines->CoordRangeInFile(*line, i);
      if (static_cast<std::int32_t>(line->leftArea) > 0) sides_[static_cast<std::int32_t>(line->leftArea)].push_back({i, true});
      if (static_cast<std::int32_t>(line->rightArea) > 0)
        sides_[static_cast<std::int32_t>(line->rightArea)].push_back({i, false});
    }
  }
  static const std::vector<LineSide> none;
  const auto found = sides_.find(number);
  return found == sides_.end() ? none : found->second;
}

std::optional<TGelixAreaBoundaryReader::RingLine> TGelixAreaBoundaryReader::FindFirstLine(
    const AreRecord& area, std::int32_t number, bool quiet) {
  TGelixLinReader* lines = LineReader();
  if (!lines || !lines->HasStream()) return std::nullopt;
  const std::int32_t count = lines->GetRecordCount();
  const std::int32_t n = area.lineNo;
  if (n >= count) {
    if (!quiet)
      NoteDamage("plocha č." + std::to_string(number) + " odkazuje na linii č." + std::to_string(n) +
                 " mimo soubor TN.LIN (" + framework::CzechCount(count, "záznam", "záznamy", "záznamů") + ")");
  } else if (n >= 1) {
    std::optional<LinRecord> line = lines->RecordAt(n);
    if (line && !line->deleted() && borders(*line, number))
      return RingLine{n, *line, static_cast<std::int32_t>(line->leftArea) == number};
  }
  if (!quiet) platform::ui().beep();
  const std::vector<LineSide>& sides = SidesOf(number);
  if (sides.empty()) return std::nullopt;
  std::optional<LinRecord> line = lines->RecordAt(sides.front().record);
  if (!line) return std::nullopt;
  return RingLine{sides.front().record, *line, sides.front().onLeft};
}

TAreaElement* TGelixAreaBoundaryReader::BuildBoundaryArea(const AreRecord& record, std::int32_t number) {
  std::optional<RingLine> first = FindFirstLine(record, number);
  if (!first) {
    NoteNoLines(number);
    return nullptr;
  }
  TGelixLinReader* lines = LineReader();
  TGelixCoordReader* coords = lines->CoordReader();
  const std::string ring = RingText(static_cast<std::uint32_t>(number));
  auto area = std::make_unique<TAreaElement>();
  RingLine current = *first;
  RingSteps steps;
  bool ok = true;
  int k = 0;
  // The ring's first vertex, and the last vertex of the line before.
  std::optional<std::pair<double, double>> start, end;
  std::int32_t before = 0;
  do {
    ++k;
    CheckSides(current.line, current.record);
    if (!lines->CoordRangeValid(current.line, current.record)) {
      NoteBrokenRing(ring, current.record, "nelze načíst linii");
      ok = false;
      break;
    }
    // Each line adds all its vertices but the one it shares with the line
    // before; that one must be where the line before ended.
    const std::int32_t from = current.line.firstCoord, to = current.line.lastCoord;
    coords->BeginLine(current.line.box, current.record);
    coords->SeekRecord(current.onLeft ? from : to);
    if (std::unique_ptr<T2DCoordinate> joint{coords->ReadCoord()}) {
      if (k == 1) start.emplace(joint->X, joint->Y);
      if (end && !TGelixCoordReader::SameVertex(joint->X, joint->Y, end->first, end->second)) {
        NoteGap(ring, before, current.record);
        ok = false;
        break;
      }
    }
    if (current.onLeft) {
      coords->SeekRecord(from + 1);
      for (std::int32_t i = from + 1; i <= to; ++i)
        if (T2DCoordinate* c = coords->ReadCoord()) AddReadElement(*area, c);
    } else {
      for (std::int32_t i = to - 1; i >= from; --i) {
        coords->SeekRecord(i);
        if (T2DCoordinate* c = coords->ReadCoord()) AddReadElement(*area, c);
      }
    }
    if (const int n = area->GetCoordsCount(); n > 0) end.emplace(area->GetVertexX(n - 1), area->GetVertexY(n - 1));
    before = current.record;
    std::optional<TGelixLinReader::Next> next = lines->NextLine(current.line, current.record, current.onLeft);
    ok = next.has_value() && k < kMaxRingLines && steps.take(current.record, current.onLeft);
    if (ok) current = RingLine{next->record, next->line, next->onLeft};
    else NoteBrokenRing(ring, current.record, "končí u linie");
  } while (ok && current.record != first->record);
  if (ok && start && end && !TGelixCoordReader::SameVertex(start->first, start->second, end->first, end->second)) {
    NoteGap(ring, before, first->record);
    ok = false;
  }
  if (!ok || area->GetCount() < 2) return nullptr;
  outerRingSides_[number] = k;
  area->SetProperties(NewAreaProps(record, number));
  return area.release();
}

TGelixAreaProps* TGelixAreaBoundaryReader::NewAreaProps(const AreRecord& record, std::int32_t number) {
  auto props = std::make_unique<TGelixAreaProps>();
  props->Cislo = number;
  props->Druh = record.druh;
  props->Barva = BarvaOf(record.barva);
  props->Znacka = ZnackaOf(record.znacka);
  // As the ring of vertices has them, so that an area written back keeps them.
  props->LineNo = record.lineNo;
  props->PaterNo = static_cast<std::int32_t>(record.paterNo);
  props->HasChildren = record.hasChildren != 0;
  return props.release();
}

TAreaElement* TGelixAreaBoundaryReader::ReadArea() {
  return ReadAreaWith([this](const AreRecord& r, std::int32_t n) { return BuildBoundaryArea(r, n); });
}

TAreaElement* TGelixAreaBoundaryReader::ReadAreaWith(
    const std::function<TAreaElement*(const AreRecord&, std::int32_t)>& build) {
  std::vector<std::uint8_t> bytes;
  if (!ReadRecord(bytes)) return nullptr;
  record_ = AreRecord::decode(bytes.data());
  const std::int32_t number = LastRecord();
  if (!Readable(record_, number)) return nullptr;
  std::unique_ptr<TAreaElement> area(build(record_, number));
  if (!area || !PassesKindFilter('P', area.get())) return nullptr;
  TElement* object = area.get();
  FireNewObject(object);
  return area.release();
}

void TGelixAreaReader::setReference(TAreaElement& area, const AreRecord& record) {
  double x, y;
  StoredToWorld(record.refX, record.refY, x, y);
  area.SetAbsRefX(x);
  area.SetAbsRefY(y);
}

bool TGelixAreaReader::walkLines(TPolyLineAreaElement& area, std::int32_t number, RingLine start,
                                 bool onLeft, bool toStartPoint) {
  TGelixLinReader* lines = LineReader();
  // A ring that cannot be walked round is damage, whoever's ring it is.
  const std::string ring = RingText(onLeft ? start.line.leftArea : start.line.rightArea);
  std::int32_t current = start.record;
  bool dir = onLeft;
  double startX = 0, startY = 0, endX = 0, endY = 0;
  std::int32_t previous = 0;
  RingSteps steps;
  for (int i = 0;; ++i) {
    area.SetLineOrigin(i, dir);
    lines->SeekRecord(current);
    TPolyLineElement* line = lines->ReadLine();
    if (!line) {
      PostWarning("Pro plochu č." + std::to_string(number) + " se nepodařilo nalézt linii č." +
                  std::to_string(current));
      NoteBrokenRing(ring, current, "nelze načíst linii");
      return false;
    }
    AddReadElement(area, line);
    CheckSides(lines->Record(), current);
    // Each line begins where the one before it ended.
    double fromX, fromY;
    GetLineVertex(line, 0, dir, fromX, fromY);
    if (i == 0) {
      startX = fromX, startY = fromY;
    } else if (!TGelixCoordReader::SameVertex(fromX, fromY, endX, endY)) {
      NoteGap(ring, previous, current);
      return false;
    }
    GetLineVertex(line, 0, !dir, endX, endY);
    std::optional<TGelixLinReader::Next> next = lines->NextLine(lines->Record(), current, dir);
    if (!next || i + 1 >= kMaxRingLines || !steps.take(current, dir)) {
      PostWarning(ShownBlockName() + ":Pro plochu č." + std::to_string(number) + " a linii č." +
                  std::to_string(current) + " nelze načíst další linii vlevo");
      NoteBrokenRing(ring, current, "končí u linie");
      return false;
    }
    previous = current;
    current = next->record;
    dir = next->onLeft;
    const bool back = current == start.record && (toStartPoint ? endX == startX && endY == startY : dir == onLeft);
    if (!back) continue;
    if (!TGelixCoordReader::SameVertex(endX, endY, startX, startY)) {
      NoteGap(ring, previous, current);
      return false;
    }
    return true;
  }
}

TPolyLineAreaElement* TGelixAreaReader::BuildLineArea(const AreRecord& record, std::int32_t number) {
  std::optional<RingLine> first = FindFirstLine(record, number);
  if (!first) {
    PostWarning(ShownBlockName() + ": Nelze načíst pro plochu č." + std::to_string(number) + " linii č." +
                std::to_string(record.lineNo));
    NoteNoLines(number);
    return nullptr;
  }
  auto area = std::make_unique<TPolyLineAreaElement>();
  if (!walkLines(*area, number, *first, first->onLeft, false) || area->GetCount() == 0) {
    PostWarning(ShownBlockName() + ":Nelze načíst linie pro plochu č." + std::to_string(number) + " linii");
    return nullptr;
  }
  area->SetProperties(NewAreaProps(record, number));
  setReference(*area, record);
  return area.release();
}

TAreaElement* TGelixAreaReader::ReadArea() {
  return ReadAreaWith([this](const AreRecord& r, std::int32_t n) { return BuildLineArea(r, n); });
}

TPolyLineAreaElement* TGelixAreaReader::BuildHoleRing(const AreRecord& record, std::int32_t number,
                                                      std::int32_t paterNo) {
  std::optional<RingLine> current = FindFirstLine(record, number);
  if (!current) NoteNoLines(number);
  TGelixLinReader* lines = LineReader();
  RingSteps steps;
  // Whether the island shares a line with another island of the father: a
  // group of islands fills a hole together, and one of the group that does
  // not touch the father leaves the hole to the others.
  bool sibling = false;
  // The walk round the island stops at a line whose other side is the
  // father or no live area: that side is the hole's.
  for (int k = 0; current; ++k) {
    const auto left = static_cast<std::int32_t>(current->line.leftArea);
    const auto right = static_cast<std::int32_t>(current->line.rightArea);
    if (left == paterNo || IsDeadArea(left) || right == paterNo || IsDeadArea(right)) break;
    if (!sibling) {
      const std::optional<AreRecord> other = RecordAt(left == number ? right : left);
      sibling = other && static_cast<std::int32_t>(other->paterNo) == paterNo;
    }
    std::optional<TGelixLinReader::Next> next = lines->NextLine(current->line, current->record, current->onLeft);
    if (!next || k >= kMaxRingLines) {
      NoteBrokenRing(RingText(static_cast<std::uint32_t>(number)), current->record, "končí u linie");
      current.reset();
      break;
    }
    if (!steps.take(current->record, current->onLeft)) {
      // Round the island and back: every side is another area's.
      if (!sibling)
        NoteDamage("plocha č." + std::to_string(number) + " nesousedí se svým otcem č." + std::to_string(paterNo));
      current.reset();
      break;
    }
    current = RingLine{next->record, next->line, next->onLeft};
  }
  if (!current) {
    PostWarning(ShownBlockName() + ":Nelze načíst pro plochu č." + std::to_string(number) + " linii č." +
                std::to_string(record.lineNo));
    return nullptr;
  }
  auto hole = std::make_unique<TPolyLineAreaElement>();
  if (!walkLines(*hole, number, *current, !current->onLeft, true) || hole->GetCount() == 0) {
    PostWarning(ShownBlockName() + ":Nelze načíst linie pro plochu č." + std::to_string(number) + " linii");
    return nullptr;
  }
  auto props = std::make_unique<TGelixAreaProps>();
  props->Cislo = number;
  props->Druh = record.druh;
  props->Barva = BarvaOf(record.barva);
  props->Znacka = ZnackaOf(record.znacka);
  hole->SetProperties(props.release());
  setReference(*hole, record);
  return hole.release();
}

namespace {
// The ring of an area through one of its sides, walked by the links alone;
// false when it breaks or goes round without coming back to its start.
bool WalkRingSides(TGelixLinReader& lines, TGelixAreaBoundaryReader::LineSide start,
                   std::vector<TGelixAreaBoundaryReader::LineSide>& ring) {
  std::optional<LinRecord> line = lines.RecordAt(start.record);
  TGelixAreaBoundaryReader::LineSide current = start;
  RingSteps steps;
  while (line && !line->deleted()) {
    ring.push_back(current);
    if (ring.size() > TGelixAreaBoundaryReader::kMaxRingLines || !steps.take(current.record, current.onLeft))
      return false;
    std::optional<TGelixLinReader::Next> next = lines.NextLine(*line, current.record, current.onLeft);
    if (!next) return false;
    current = {next->record, next->onLeft};
    if (current.record == start.record && current.onLeft == start.onLeft) return true;
    line = next->line;
  }
  return false;
}

// The line numbers of a ring of lines.
void AddLineNumbers(const TEntity& ring, std::unordered_set<std::int32_t>& numbers) {
  for (TElement* item : ring.Items())
    if (item && item->Is<TPolyLineElement>())
      if (TElement* props = static_cast<TPolyLineElement*>(item)->GetProperties(); props && props->Is<TGelixLineProps>())
        numbers.insert(static_cast<TGelixLineProps*>(props)->Cislo);
}

// Whether the ring lies inside the outer ring of the area: within its
// rectangle, smaller, and the middle of its first segment inside.
bool LiesInside(TAreaElement& area, TPolyLineAreaElement& ring) {
  const TRectangle& r = ring.Rect();
  if (!area.ContainsRect(r.MinX(), r.MinY(), r.MaxX(), r.MaxY())) return false;
  if (std::fabs(ring.GetWholeArea()) >= std::fabs(area.GetWholeArea())) return false;
  if (ring.GetCoordsCount() < 2) return false;
  const T2DCoordinate* a = ring.GetCoord(0);
  const T2DCoordinate* b = ring.GetCoord(1);
  return a && b && area.IsInOuterRing((a->X + b->X) / 2, (a->Y + b->Y) / 2);
}
}  // namespace

void TGelixAreaReader::AddUnfilledHoles(TAreaElement& area, const AreRecord& record, std::int32_t number) {
  TGelixLinReader* lines = LineReader();
  if (!lines || !lines->HasStream()) return;
  // The lines the area's rings hold already: its own, when it is a ring of
  // lines, and those of the holes its islands made.
  std::unordered_set<std::int32_t> held;
  AddLineNumbers(area, held);
  if (THolesEntity* holes = area.GetHoles()) {
    for (TElement* hole : holes->Items())
      if (hole && hole->Is<TEntity>()) AddLineNumbers(*static_cast<TEntity*>(hole), held);
  }
  std::vector<LineSide> open;
  for (const LineSide& side : SidesOf(number))
    if (!held.count(side.record)) open.push_back(side);
  // A ring of vertices holds no lines: its outer ring is known by its
  // start, and by how many sides it took.
  std::optional<RingLine> outer;
  if (!area.Is<TPolyLineAreaElement>()) {
    const auto taken = outerRingSides_.find(number);
    if (taken != outerRingSides_.end() && static_cast<std::size_t>(taken->second) >= open.size()) return;
    outer = FindFirstLine(record, number, true);
  }
  if (open.empty()) return;

  std::unordered_set<std::int64_t> walked;
  auto key = [](const LineSide& s) { return std::int64_t{s.record} * 2 + s.onLeft; };
  for (const LineSide& start : open) {
    if (walked.count(key(start))) continue;
    std::vector<LineSide> ring;
    const bool closed = WalkRingSides(*lines, start, ring);
    bool known = false;
    for (const LineSide& side : ring) {
      walked.insert(key(side));
      known |= held.count(side.record) > 0 || (outer && outer->record == side.record && outer->onLeft == side.onLeft);
    }
    if (known) continue;
    std::optional<LinRecord> first = closed ? lines->RecordAt(start.record) : std::nullopt;
    auto hole = std::make_unique<TPolyLineAreaElement>();
    if (first && walkLines(*hole, number, RingLine{start.record, *first, start.onLeft}, start.onLeft, true) &&
        hole->GetCount() > 0) {
      // A line lying loose in the area goes round itself, enclosing nothing.
      if (std::fabs(hole->GetWholeArea()) <= AreRecord::kMinLiveArea) continue;
      if (LiesInside(area, *hole)) {
        area.AddHole(hole.get());
        hole.release();
        continue;
      }
    }
    PostWarning(ShownBlockName() + ":Plocha č." + std::to_string(number) + " má vnitřní hranici s linií č." +
                std::to_string(start.record) + ", kterou nelze uzavřít do díry uvnitř plochy; díra vynechána");
  }
}
