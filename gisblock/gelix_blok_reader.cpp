#include "gisblock/gelix_blok_reader.h"

#include <exception>
#include <memory>
#include <new>

#include "framework/czech_count.h"
#include "gisblock/block_references.h"
#include "gisblock/gelix_area_reader.h"
#include "gisblock/gelix_lin_reader.h"
#include "gisblock/gelix_point_reader.h"
#include "gisblock/gelix_props.h"
#include "gisblock/gelix_registers.h"
#include "gisblock/gelix_text_reader.h"
#include "gisblock/staged_block.h"
#include "gisblock/table_damage.h"
#include "platform/path_resolver.h"

ZELTO_IMPLEMENT_ELEMENT(TGeliXBlokInfoReader, TGelixManipulator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TGeliXBlokReader, TGeliXReader, [](auto& p) {
  p.Enumeration("CodePage", {"cpIBM", "cpLatin2", "cpKamenickych", "cpWindows"}, &TGeliXBlokReader::GetCodePage);
  p.Boolean("ReadAreaAsBoundary", &TGeliXBlokReader::ReadAreaAsBoundary, &TGeliXBlokReader::ReadAreaAsBoundary);
})

void TGeliXBlokInfoReader::Open(const std::string& directory) {
  BlockName = directory;
  info_ = gisblock::readBlockInfo(directory);
}

void TGeliXBlokInfoReader::ReadRectangle(double& minX, double& minY, double& maxX, double& maxY) const {
  minX = minY = maxX = maxY = 0;
  if (!info_.rectangle) return;
  const gisblock::WorldRect w = info_.rectangle->toWorld();
  minX = w.minX;
  minY = w.minY;
  maxX = w.maxX;
  maxY = w.maxY;
}

void ReadBlockRectangle(const std::string& directory, double& minX, double& minY, double& maxX, double& maxY) {
  TGeliXBlokInfoReader info;
  info.Open(directory);
  info.ReadRectangle(minX, minY, maxX, maxY);
}

bool BlockMeetsWindow(const std::string& directory, TRectEntity* window) {
  double minX, minY, maxX, maxY;
  ReadBlockRectangle(directory, minX, minY, maxX, maxY);
  if (minX == 0 && maxX == 0) return true;
  return !window || window->IntersectsRect(minX, minY, maxX, maxY);
}

TGeliXBlokReader::~TGeliXBlokReader() { delete info_; }

TGeliXBlokReader* TGeliXBlokReader::CreateForBlock(const std::string& directory) {
  // A block that cannot be found, or is refused, reads as one without its
  // files: the read names what it misses.
  std::string refused;
  gisblock::findBlock(directory, refused);
  auto reader = std::make_unique<TGeliXBlokReader>();
  reader->info_ = new TGeliXBlokInfoReader;
  reader->info_->Open(directory);
  reader->BlockName = gisblock::normalizeBlockPath(directory);
  reader->CodePage = reader->info_->ReadCodePage();
  return reader.release();
}

bool TGeliXBlokReader::ElementMeetsWindow(TElement* element) const {
  TRectEntity* window = GetWindow();
  if (!window || !element) return true;
  auto* e = static_cast<TRectEntity*>(element);
  const TRectangle& w = window->Rect();
  if (element->Is<TPolyElement>() || element->Is<TTextElement>())
    return e->IntersectsRect(w.MinX(), w.MinY(), w.MaxX(), w.MaxY());
  if (element->Is<TPointElement>()) return e->IsInsideRect(w.MinX(), w.MinY(), w.MaxX(), w.MaxY());
  return true;
}

void TGeliXBlokReader::copySettingsTo(TGeliXReader& reader, bool allSettings) {
  if (GetKindFilter()) {
    auto filter = std::make_unique<TFiltrDruhuObjektu>();
    filter->Exclude = GetKindFilter()->Exclude;
    filter->PropName = GetKindFilter()->PropName;
    for (char letter : {'B', 'L', 'P', 'T'})
      if (TIntegerListElement* list = GetKindFilter()->GetKindList(letter)) {
        auto copy = std::make_unique<TIntegerListElement>();
        for (int i = 0; i < list->GetCount(); ++i) copy->AddValue(list->GetValue(i));
        filter->SetKindList(letter, copy.release());
      }
    reader.SetKindFilter(filter.release());
  }
  if (GetWindow()) {
    auto window = std::make_unique<TRectEntity>();
    const TRectangle& w = GetWindow()->Rect();
    window->SetMinX(w.MinX());
    window->SetMinY(w.MinY());
    window->SetMaxX(w.MaxX());
    window->SetMaxY(w.MaxY());
    reader.SetWindow(window.release());
  }
  reader.SetRegisterRoot(GetRegisterRoot());
  reader.SetCoordSystem(GetCoordSystem());
  if (!allSettings) return;
  reader.MinSize = MinSize;
  reader.Condition = Condition;
  reader.ConditionCompiler = ConditionCompiler;
  reader.OnNewObject = OnNewObject;
  reader.UseMemory = UseMemory;
  if (BarvaSet) reader.SetBarva(Barva);
  if (ZnackaSet) reader.SetZnacka(Znacka);
}

template <class Reader>
Reader* TGeliXBlokReader::openSubReader(const std::string& badFileText, bool allSettings) {
  auto reader = std::make_unique<Reader>();
  // Settings first: the stream is opened the way they ask.
  copySettingsTo(*reader, allSettings);
  openDamage_ = {};
  try {
    if (!reader->Open(BlockName)) {
      openDamage_ = reader->Damage();
      return nullptr;
    }
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& e) {
    PostWarning(badFileText + ShownBlockName() + ": " + e.what());
    openDamage_ = reader->Damage();
    openDamage_.Note(e.what());
    return nullptr;
  }
  return reader.release();
}

template <class String>
String* TGeliXBlokReader::unopenedString(const std::string& kind) const {
  if (!openDamage_.Any()) return nullptr;
  auto string = std::make_unique<String>();
  if (!kind.empty()) nameResultString(*string, kind);
  gisblock::MarkDamage(*string, BlockName, openDamage_);
  return string.release();
}

void TGeliXBlokReader::nameResultString(TEntity& string, const std::string& kind) const {
  string.SetName(BlockName + " " + kind);
  string.SetPropertyText("BlockName", BlockName);
  string.SetPropertyText("TYPE", kind);
}

namespace {
constexpr std::size_t kMaxFatherChain = 256;
// A read of lines opens the vertices with them, and takes both.
constexpr unsigned kLineFiles = gisblock::kTakesCrd | gisblock::kTakesLin;

// What a read takes of its block: the files besides its own whose records
// the block must not name beyond their ends (gisblock::TakenFiles), and the
// kind letter of its tables.
struct Taken {
  unsigned files;
  char tables;
};

// What the block names beyond the files the read takes, whichever records
// the read visits: a file cut short, even to nothing, names nothing itself,
// but the other files and the tables still name what it held. A fault in a
// file the read has a reader of is that reader's, which tells it once
// however often the read meets the record again; the rest is returned.
template <class Reader>
gisblock::BlockDamage referencesBeyondFiles(TGeliXBlokReader& owner, Reader& reader, Taken taken) {
  gisblock::BlockDamage damage;
  for (const gisblock::ReferenceFault& fault : gisblock::ReferencesBeyondFiles(owner.BlockName, taken.files)) {
    if (TGeliXObjectReader* holder = reader.ReaderOf(fault.file)) {
      holder->NoteDamage(fault.fault);
      continue;
    }
    const std::string file = TGeliXObjectReader::BlockFilePath(owner.BlockName, fault.file);
    owner.PostWarning("Čtení bloku: " + platform::pathResolver().userSpelling(file) + ": " + fault.fault);
    damage.Note(fault.file + ": " + fault.fault);
  }
  return damage;
}

// Runs the loop of one read operation inside the progress frame; an error
// ends it with a warning and keeps what was read, marked as damage: what
// the rest of the file held is missing. A string read from damaged files,
// the tables of its objects among them (`withTables`), or from a block
// that names more than the files the read takes hold, carries the damage.
// A failed allocation fails the read.
template <class Reader, class Loop>
void runReading(TGeliXBlokReader& owner, Reader& reader, TEntity& string, const std::string& errorText,
                bool withTables, Taken taken, Loop loop) {
  reader.BeginReading();
  reader.SeekRecord(0);
  std::string stopped;
  gisblock::BlockDamage beyond;
  try {
    beyond = referencesBeyondFiles(owner, reader, taken);
    loop();
  } catch (const std::bad_alloc&) {
    // Ended here, not by the reader's destructor, where ending the progress
    // could fail in its turn.
    reader.EndReading();
    throw;
  } catch (const std::exception& e) {
    stopped = e.what();
    owner.PostWarning(errorText + owner.ShownBlockName() + ": " + stopped);
  }
  reader.EndReading();
  gisblock::BlockDamage damage = reader.Damage();
  damage.Add(beyond);
  if (!stopped.empty()) damage.Note(reader.GetFileName() + ": čtení skončilo chybou: " + stopped);
  damage.Add(gisblock::TableDamage(withTables ? &string : nullptr, owner.BlockName,
                                   {taken.tables, reader.GetFileName(), reader.GetRecordCount()},
                                   [&](const std::string& text) { owner.PostWarning(text); }));
  gisblock::MarkDamage(string, owner.BlockName, damage);
}
}  // namespace

TPointString* TGeliXBlokReader::ReadPoints() {
  std::unique_ptr<TGelixPointReader> reader(openSubReader<TGelixPointReader>("Chybný soubor Bodů -", true));
  if (!reader) return unopenedString<TPointString>("PNT");
  auto string = std::make_unique<TPointString>();
  nameResultString(*string, "PNT");
  runReading(*this, *reader, *string, "Chyba čtení Bodů -", true, {0, 'B'}, [&] {
    // The point reader has tested the condition already.
    for (std::int32_t n = reader->GetRecordCount(); n > 0; --n) {
      TPointElement* point = reader->ReadPoint();
      if (!point) continue;
      if (ElementMeetsWindow(point)) {
        AddReadElement(*string, point);
      } else if (point->GetOwnersCount() < 2) {
        delete point;
      }
    }
  });
  return string.release();
}

TPolyLineString* TGeliXBlokReader::ReadLines() {
  std::unique_ptr<TGelixLinReader> reader(openSubReader<TGelixLinReader>("Chybný soubor Linií -", true));
  if (!reader) return unopenedString<TPolyLineString>("LIN");
  auto string = std::make_unique<TPolyLineString>();
  nameResultString(*string, "LIN");
  runReading(*this, *reader, *string, "Chyba čtení Linií -", true, {kLineFiles, 'L'}, [&] {
    for (std::int32_t n = reader->GetRecordCount(); n > 0; --n)
      if (TPolyLineElement* line = reader->ReadLine()) AddReadElement(*string, line);
  });
  return string.release();
}

TPointString* TGeliXBlokReader::ReadLineSymbols() {
  std::unique_ptr<TGelixLinReader> reader(openSubReader<TGelixLinReader>("Chybný soubor Linií -", false));
  if (!reader) return unopenedString<TPointString>("");
  auto string = std::make_unique<TPointString>();
  ResetCondition();
  runReading(*this, *reader, *string, "Chyba čtení liniových symbolů -", false, {kLineFiles, 'L'}, [&] {
    for (std::int32_t n = reader->GetRecordCount(); n > 0; --n) {
      TPointElement* point = reader->ReadLineSymbol();
      if (!point) continue;
      if (ElementMeetsWindow(point)) {
        AddReadElement(*string, point);
        if (!PassesCondition(point)) string->DeleteLastAdded(point);
      } else {
        delete point;
      }
    }
  });
  return string.release();
}

TTextString* TGeliXBlokReader::ReadTexts() {
  std::unique_ptr<TGelixTextReader> reader(openSubReader<TGelixTextReader>("Chybný soubor Textů -", true));
  if (!reader) return unopenedString<TTextString>("TXT");
  auto string = std::make_unique<TTextString>();
  nameResultString(*string, "TXT");
  ResetCondition();
  runReading(*this, *reader, *string, "Chyba čtení Textů - ", true, {0, 'T'}, [&] {
    const std::int32_t n = reader->GetRecordCount();
    for (std::int32_t r = 0; r < n; ++r) {
      std::int32_t expected = r;
      TTextElement* text = reader->ReadText(expected);
      if (!text) continue;
      TElement* props = text->GetProperties();
      if (!props || !props->Is<TGelixTextProps>()) continue;
      static_cast<TGelixTextProps*>(props)->CodePage = CodePage;
      AddReadElement(*string, text);
      if (!PassesCondition(text)) string->DeleteLastAdded(text);
    }
  });
  return string.release();
}

TAreaString* TGeliXBlokReader::ReadAreas() {
  std::unique_ptr<TGelixAreaReader> reader(openSubReader<TGelixAreaReader>("Chybný soubor Ploch -", true));
  if (!reader) return unopenedString<TAreaString>("ARE");
  auto string = std::make_unique<TAreaString>();
  nameResultString(*string, "ARE");
  areaReader_ = reader.get();
  readingAreas_.clear();
  inString_.clear();
  built_.clear();
  // The sub-reader goes with a failure; nothing may point at it then.
  struct Forget {
    TGeliXBlokReader& owner;
    ~Forget() {
      owner.areaReader_ = nullptr;
      owner.inString_.clear();
      owner.built_.clear();
    }
  } forget{*this};
  ResetCondition();
  runReading(*this, *reader, *string, "Chyba čtení Ploch - ", true,
             {kLineFiles | gisblock::kTakesAre, 'P'}, [&] {
    const std::int32_t n = reader->GetRecordCount();
    for (std::int32_t r = 1; r < n; ++r) readAreaRecord(*string, r);
    // Once every island has made its hole: what inner rings are left have
    // nothing inside them.
    for (const auto& [area, r] : built_)
      if (std::optional<gisblock::AreRecord> record = reader->RecordAt(r))
        reader->AddUnfilledHoles(*area, *record, r);
  });
  return string.release();
}

void TGeliXBlokReader::attachToFather(TAreaElement& area, const gisblock::AreRecord& record, std::int32_t r,
                                      TAreaString& string) {
  TGelixAreaReader& reader = *areaReader_;
  const auto paterNo = static_cast<std::int32_t>(record.paterNo);
  if (paterNo == r) {
    PostWarning("Jako otce má plocha č." + std::to_string(r) + " sama sebe !");
    return;
  }
  if (paterNo < 1) return;
  if (paterNo >= reader.GetRecordCount()) {
    reader.NoteDamage("plocha č." + std::to_string(r) + " má otce č." + std::to_string(paterNo) +
                      " mimo soubor TN.ARE (" +
                      framework::CzechCount(reader.GetRecordCount(), "záznam", "záznamy", "záznamů") + ")");
    return;
  }
  // A hole made in an area that does not hold the island would cut it
  // apart; an island whose father is gone would fill no hole.
  const std::optional<gisblock::AreRecord> fatherRecord = reader.RecordAt(paterNo);
  if (!fatherRecord || !fatherRecord->live()) {
    reader.NoteDamage("plocha č." + std::to_string(r) + " má otce č." + std::to_string(paterNo) +
                      ", který není platnou plochou");
    return;
  }
  // Fathers are read by recursion; no district nests islands nearly so
  // deep, and a damaged TN.ARE must not exhaust the stack.
  if (readingAreas_.size() >= kMaxFatherChain) {
    PostWarning(reader.ShownFilePath() + ": plocha č." + std::to_string(r) + " má řetěz otců delší než " +
                std::to_string(kMaxFatherChain) + " ploch, otec č." + std::to_string(paterNo) + " vynechán");
    return;
  }
  if (readingAreas_.count(paterNo)) {
    PostWarning(reader.ShownFilePath() + ": plocha č." + std::to_string(r) + " a plocha č." +
                std::to_string(paterNo) + " jsou navzájem otci, otec plochy č." + std::to_string(r) + " vynechán");
    return;
  }
  TAreaElement* father = readAreaRecord(string, paterNo);
  if (!fatherRecord->box.encloses(record.box)) {
    reader.NoteDamage("plocha č." + std::to_string(r) + " nemá obdélník uvnitř obdélníku svého otce č." +
                      std::to_string(paterNo));
    return;
  }
  if (!father || father->FindHoleAt(area.GetAbsRefX(), area.GetAbsRefY())) return;
  std::unique_ptr<TPolyLineAreaElement> hole(reader.BuildHoleRing(record, r, paterNo));
  // A walk on the father's side that comes back round a ring of positive
  // sign went round the father's outer ring: the island touches it at a
  // node, and the father's own ring goes round the island already.
  if (!hole || hole->GetWholeArea() > 0) return;
  father->AddHole(hole.get());
  hole.release();
}

TAreaElement* TGeliXBlokReader::readAreaRecord(TAreaString& string, std::int32_t r) {
  TGelixAreaReader& reader = *areaReader_;
  std::vector<std::uint8_t> bytes;
  if (!reader.ReadRecordAt(r, bytes)) return nullptr;
  const gisblock::AreRecord record = gisblock::AreRecord::decode(bytes.data());
  if (!reader.Readable(record, r)) return nullptr;
  // Marks the chain of fathers being read, so that a cycle of fathers ends.
  readingAreas_.insert(r);
  struct Unmark {
    std::set<std::int32_t>& set;
    std::int32_t r;
    ~Unmark() { set.erase(r); }
  } unmark{readingAreas_, r};

  TGelixBlockRegister* reg = GetRegister();
  if (TSpaceEntity* known = reg ? reg->FindObject('P', r) : nullptr) {
    if (!known->Is<TAreaElement>()) return nullptr;
    auto* area = static_cast<TAreaElement*>(known);
    attachToFather(*area, record, r, string);
    if (!PassesKindFilter('P', area) || !PassesCondition(area)) return nullptr;
    if (!inString_.count(area)) {
      AddReadElement(string, area);
      inString_.insert(area);
    }
    return area;
  }
  std::unique_ptr<TAreaElement> area(ReadAreaAsBoundary ? reader.BuildBoundaryArea(record, r)
                                                        : reader.BuildLineArea(record, r));
  if (!area) return nullptr;
  // The label point decides which hole of the father an island lies in.
  if (ReadAreaAsBoundary) {
    double x, y;
    StoredToWorld(record.refX, record.refY, x, y);
    area->SetAbsRefX(x);
    area->SetAbsRefY(y);
  }
  attachToFather(*area, record, r, string);
  if (reg) reg->RegisterSpaceEntity(area.get());
  if (!PassesKindFilter('P', area.get()) || !PassesCondition(area.get())) return nullptr;
  TElement* object = area.get();
  FireNewObject(object);
  // Room first, so that the emplace below cannot fail once the string owns
  // the area; grown by doubling, as emplace_back would.
  if (built_.size() == built_.capacity()) built_.reserve(2 * built_.size() + 16);
  string.AddAndExtend(area.get());
  TAreaElement* taken = area.release();
  inString_.insert(taken);
  built_.emplace_back(taken, r);
  return taken;
}
