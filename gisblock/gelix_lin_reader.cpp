#include "gisblock/gelix_lin_reader.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "framework/czech_count.h"
#include "framework/wcs.h"
#include "gisblock/crd_record.h"
#include "gisblock/gelix_props.h"
#include "gisblock/gelix_registers.h"

ZELTO_IMPLEMENT_ELEMENT(TGelixCoordReader, TGeliXObjectReader, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TGelixLinReader, TGeliXObjectReader, ZELTO_NO_PROPERTIES)

using gisblock::LinRecord;

namespace {
std::string VertexText(double x, double y) {
  char text[64];
  std::snprintf(text, sizeof text, "%.10g %.10g", x, y);
  return text;
}
}  // namespace

void TGelixCoordReader::BeginLine(const gisblock::StoredBox& box, std::int32_t lineNo) {
  // A stored vertex may lie outside the box of its line by the rounding.
  loX_ = box.minX - gisblock::RoundingSlack(box.minX);
  hiX_ = box.maxX + gisblock::RoundingSlack(box.maxX);
  loY_ = box.minY - gisblock::RoundingSlack(box.minY);
  hiY_ = box.maxY + gisblock::RoundingSlack(box.maxY);
  line_ = lineNo;
}

bool TGelixCoordReader::SameVertex(double ax, double ay, double bx, double by) {
  return std::fabs(ax - bx) <= gisblock::RoundingSlack(ax) && std::fabs(ay - by) <= gisblock::RoundingSlack(ay);
}

T2DCoordinate* TGelixCoordReader::ReadCoord() {
  if (!ReadRecord(scratch_)) return nullptr;
  const auto crd = gisblock::CrdRecord::decode(scratch_.data());
  // Written the other way round, NaN fails too.
  if (!(crd.x >= loX_ && crd.x <= hiX_ && crd.y >= loY_ && crd.y <= hiY_)) {
    if (reportedLine_ != line_ || line_ < 0) {
      reportedLine_ = line_;
      NoteDamage("záznam č." + std::to_string(LastRecord()) + ": vrchol " + VertexText(crd.x, crd.y) +
                 (line_ < 0 ? std::string(" není konečné číslo") : " leží mimo obdélník linie č." + std::to_string(line_)) +
                 ", vynechán");
    }
    return nullptr;
  }
  auto c = std::make_unique<T2DCoordinate>(crd.x, crd.y);
  GetCoordSystem()->CoordToWorld(c.get());
  return c.release();
}

TGelixLinReader::~TGelixLinReader() { delete coords_; }

TGelixCoordReader* TGelixLinReader::CreateCoordReader() { return new TGelixCoordReader; }

bool TGelixLinReader::OpenCompanions() {
  coords_ = CreateCoordReader();
  coords_->SetCoordSystem(GetCoordSystem());
  return coords_->Open(BlockName);
}

std::optional<LinRecord> TGelixLinReader::RecordAt(std::int32_t n) {
  if (n < 0 || n >= GetRecordCount() || !ReadRecordAt(n, scratch_)) return std::nullopt;
  return LinRecord::decode(scratch_.data());
}

namespace {
// Blocks store "no area" as 0 or as -1.
bool SameArea(std::uint32_t a, std::uint32_t b) {
  return a == b || (static_cast<std::int32_t>(a) < 1 && static_cast<std::int32_t>(b) < 1);
}

std::string AreaText(std::uint32_t area, const char* some, const char* none) {
  const auto n = static_cast<std::int32_t>(area);
  return n < 1 ? none : some + std::to_string(n);
}

std::string RangeText(const LinRecord& line, std::int32_t recordNo) {
  return "linie č." + std::to_string(recordNo) + " má souřadnice " + std::to_string(line.firstCoord) + " až " +
         std::to_string(line.lastCoord);
}
}  // namespace

bool TGelixLinReader::CoordRangeInFile(const LinRecord& line, std::int32_t recordNo) {
  const std::int32_t count = coords_ ? coords_->GetRecordCount() : 0;
  if (line.firstCoord >= 0 && line.firstCoord < count && line.lastCoord >= 0 && line.lastCoord < count) return true;
  // A file that lost its end, or a record that is not what was written.
  NoteDamage(RangeText(line, recordNo) + " mimo soubor TN.CRD (" +
             framework::CzechCount(count, "záznam", "záznamy", "záznamů") + "), linie vynechána");
  return false;
}

bool TGelixLinReader::CoordRangeValid(const LinRecord& line, std::int32_t recordNo) {
  if (!CoordRangeInFile(line, recordNo)) return false;
  if (line.lastCoord < line.firstCoord) {
    // A line of one vertex may be written without its LastCoord: it is no
    // line, as one whose range holds one vertex is not. Any other reversed
    // range is a record that is not what was written.
    if (line.lastCoord != 0)
      NoteDamage(RangeText(line, recordNo) + " v obráceném pořadí, linie vynechána");
    return false;
  }
  const gisblock::StoredBox& b = line.box;
  // Written the other way round, NaN fails too.
  if (!(b.minX <= b.maxX && b.minY <= b.maxY)) {
    NoteDamage("linie č." + std::to_string(recordNo) + " má obdélník " + VertexText(b.minX, b.minY) + " až " +
               VertexText(b.maxX, b.maxY) + " s minimem nad maximem, linie vynechána");
    return false;
  }
  return true;
}

gisblock::BlockDamage TGelixLinReader::Damage() const {
  gisblock::BlockDamage damage = TGeliXObjectReader::Damage();
  if (coords_) damage.Add(coords_->Damage());
  return damage;
}

TGeliXObjectReader* TGelixLinReader::ReaderOf(const std::string& fileName) {
  if (TGeliXObjectReader* reader = TGeliXObjectReader::ReaderOf(fileName)) return reader;
  return coords_ ? coords_->ReaderOf(fileName) : nullptr;
}

TPolyLineElement* TGelixLinReader::ReadLine() {
  std::vector<std::uint8_t> bytes;
  if (!ReadRecord(bytes)) return nullptr;
  record_ = LinRecord::decode(bytes.data());
  const std::int32_t number = LastRecord();
  if (record_.deleted() || number == 0) return nullptr;
  if (!BoxMeetsWindow(record_.box) || (record_.flags & LinRecord::kSkipped)) return nullptr;

  TGelixBlockRegister* reg = GetRegister();
  if (TSpaceEntity* known = reg ? reg->FindObject('L', number) : nullptr) {
    if (!known->Is<TPolyLineElement>() || !PassesKindFilter('L', known) || !PassesCondition(known))
      return nullptr;
    if (BarvaSet) known->SetPropertyInt("Barva", Barva);
    if (ZnackaSet) known->SetPropertyInt("Znacka", Znacka);
    return static_cast<TPolyLineElement*>(known);
  }

  if (!CoordRangeValid(record_, number)) return nullptr;
  const gisblock::StoredBox& b = record_.box;
  const double size = std::max(std::fabs(b.minX - b.maxX), std::fabs(b.minY - b.maxY));
  auto line = std::make_unique<TPolyLineElement>();
  coords_->BeginLine(b, number);
  if (size >= MinSize) {
    line->Reserve(static_cast<std::size_t>(record_.lastCoord - record_.firstCoord) + 1);
    coords_->SeekRecord(record_.firstCoord);
    for (std::int32_t i = record_.firstCoord; i <= record_.lastCoord; ++i)
      if (T2DCoordinate* c = coords_->ReadCoord()) AddReadElement(*line, c);
  } else {
    line->Reserve(2);
    for (std::int32_t i : {record_.firstCoord, record_.lastCoord}) {
      coords_->SeekRecord(i);
      if (T2DCoordinate* c = coords_->ReadCoord()) AddReadElement(*line, c);
    }
  }
  if (line->GetCount() < 2) return nullptr;
  auto props = std::make_unique<TGelixLineProps>();
  props->Cislo = number;
  props->Druh = record_.druh;
  props->Barva = BarvaOf(record_.barva);
  props->Znacka = ZnackaOf(record_.znacka);
  props->Presnost = record_.presnost;
  props->Symbol = record_.symbol;
  props->LeftArea = static_cast<std::int32_t>(record_.leftArea);
  props->RightArea = static_cast<std::int32_t>(record_.rightArea);
  // The link block as stored, bytes 27 to 46 of the record.
  for (std::size_t i = 0; i < props->Links.size(); ++i) props->Links[i] = bytes[27 + i];
  line->SetProperties(props.release());
  double x, y;
  StoredToWorld(record_.refX, record_.refY, x, y);
  line->SetAbsRefX(x);
  line->SetAbsRefY(y);
  line->Angle = record_.angle;
  if (reg) reg->RegisterSpaceEntity(line.get());

  if (!PassesKindFilter('L', line.get()) || !PassesCondition(line.get())) return nullptr;
  TElement* object = line.get();
  FireNewObject(object);
  return line.release();
}

TPointElement* TGelixLinReader::ReadLineSymbol() {
  std::vector<std::uint8_t> bytes;
  if (!ReadRecord(bytes)) return nullptr;
  record_ = LinRecord::decode(bytes.data());
  const std::int32_t number = LastRecord();
  if (record_.deleted() || number == 0 || !BoxMeetsWindow(record_.box) || record_.symbol < 1000)
    return nullptr;
  auto point = std::make_unique<TPointElement>();
  point->SetX(Negated(record_.refX));
  point->SetY(Negated(record_.refY));
  // The symbol stands across the line.
  point->Angle = record_.angle + M_PI / 2;
  auto props = std::make_unique<TGelixPointProps>();
  props->Cislo = number;
  props->Druh = record_.druh;
  props->Barva = record_.barva;
  props->Znacka = record_.symbol;
  props->Presnost = record_.presnost;
  point->SetProperties(props.release());
  if (!PassesKindFilter('L', point.get())) return nullptr;
  TElement* object = point.get();
  FireNewObject(object);
  return point.release();
}

std::optional<TGelixLinReader::Next> TGelixLinReader::NextLine(const LinRecord& current, std::int32_t currentNo,
                                                                bool onLeft) {
  const gisblock::BoundaryLink& link = onLeft ? current.leftNext : current.rightNext;
  if (link.line >= GetRecordCount())
    NoteDamage("linie č." + std::to_string(currentNo) + " odkazuje na další linii č." + std::to_string(link.line) +
               " mimo soubor (" + framework::CzechCount(GetRecordCount(), "záznam", "záznamy", "záznamů") + ")");
  if (link.line < 1 || link.line >= GetRecordCount()) return std::nullopt;
  std::optional<LinRecord> next = RecordAt(link.line);
  if (!next) return std::nullopt;
  if (next->deleted()) {
    NoteDamage("linie č." + std::to_string(currentNo) + " odkazuje na zrušenou linii č." + std::to_string(link.line));
    return std::nullopt;
  }
  // The next line of a ring borders the ring's area on the side the link
  // names; one that does not leads the walk into another area's ring.
  const std::uint32_t area = onLeft ? current.leftArea : current.rightArea;
  const std::uint32_t there = link.leftSide ? next->leftArea : next->rightArea;
  if (!SameArea(area, there)) {
    NoteDamage("linie č." + std::to_string(currentNo) + " vede po hranici " + AreaText(area, "plochy č.", "bez plochy") +
               " k linii č." + std::to_string(link.line) + ", která má na " + (link.leftSide ? "levé" : "pravé") +
               " straně " + AreaText(there, "plochu č.", "žádnou plochu"));
    return std::nullopt;
  }
  return Next{link.line, *next, link.leftSide != 0};
}
