#include "areas/export_areas.h"

#include <memory>
#include <climits>
#include <vector>

#include "areas/area_line_relations.h"
#include "areas/export_gauge.h"
#include "areas/export_lines.h"
#include "framework/wcs.h"
#include "geometry/area_element.h"
#include "framework/dynamic_properties.h"
#include "framework/type_elements.h"
#include "geometry/qtree.h"
#include "gisblock/gelix_props.h"
#include "gisblock/moved_item_container.h"
#include "platform/path_resolver.h"
#include "areas/export_dbf_class.h"
#include "gisblock/gelix_writers.h"
#include "gisblock/staged_block.h"
#include "platform/user_interaction.h"

ZELTO_IMPLEMENT_ELEMENT(TPrepareExportAreasToGelix, TTool, [](auto& p) {
  using E = TPrepareExportAreasToGelix;
  p.Integer("Druh", &E::Druh);
  p.Integer("Barva", &E::Barva);
  p.Integer("Znacka", &E::Znacka);
})
ZELTO_IMPLEMENT_ELEMENT(TExportAreasToGelix, TExportGelixElements, [](auto& p) {
  using E = TExportAreasToGelix;
  p.Integer("DruhLinii", &E::DruhLinii);
  p.Boolean("DBFLinii", &E::DBFLinii);
  p.Integer("DruhPloch", &E::DruhPloch);
  p.Integer("BarvaLinii", &E::BarvaLinii);
  p.Integer("ZnackaLinii", &E::ZnackaLinii);
  p.Integer("BarvaPloch", &E::BarvaPloch);
  p.Integer("ZnackaPloch", &E::ZnackaPloch);
})

ZELTO_IMPLEMENT_ELEMENT(TExportAreasToGelixPropsFromAreaQTree, TExportAreasToGelix, [](auto&) {})

namespace areas {

// The block format reads area numbers as unsigned with 0 for none; the
// in-memory record says "none" the same way, as the block reader does.
constexpr std::int32_t kNoArea = 0;

TGelixAreaProps* EnsureAreaProps(TAreaElement* area) {
  if (area->GetProperties() && area->GetProperties()->Is<TGelixAreaProps>())
    return static_cast<TGelixAreaProps*>(area->GetProperties());
  auto* props = new TGelixAreaProps;
  props->Barva = 2;
  props->Znacka = 1;
  props->PaterNo = kNoArea;
  area->SetProperties(props);
  return props;
}

}  // namespace areas

namespace {

using areas::kNoArea;

// The areas of the input lying in the holes of `area`, once per shared
// line; empty when it has no holes.
std::vector<TElement*> subAreasOf(TAreaElement* area, TEntity* input) {
  TExtractSubAreasForArea extract;
  extract.SetInput(area);
  extract.AreaString = input;
  extract.DoIt();
  std::unique_ptr<TAreaString> list(static_cast<TAreaString*>(extract.Output()));
  if (!list) return {};
  return list->Items();
}

// A list of lines that does not own them: neither listing nor dropping it
// touches the lines' owners.
struct LineListDeleter {
  void operator()(TQuickEntity* list) const {
    list->Clear();
    delete list;
  }
};
using LineList = std::unique_ptr<TQuickEntity, LineListDeleter>;

// The boundary lines of the areas, each once, in the order the areas hold
// them (the order of TExtractLinesForAreas), numbered from 1 in that order
// as TPrepareExportLinesToGelix numbers them: a line is known as listed by
// its number, without a set of every line.
LineList boundaryLines(TEntity* areas) {
  constexpr std::int32_t kUnlisted = INT32_MIN;
  for (TElement* area : areas->Items())
    if (area && area->Is<TEntity>())
      for (TElement* line : static_cast<TEntity*>(area)->Items())
        if (line) line->ID = kUnlisted;
  LineList list(new TQuickEntity);
  for (TElement* area : areas->Items())
    if (area && area->Is<TEntity>())
      for (TElement* line : static_cast<TEntity*>(area)->Items())
        if (line && line->ID == kUnlisted) {
          list->Add(line);
          line->ID = list->GetCount();
        }
  return list;
}

}  // namespace

TPrepareExportAreasToGelix::~TPrepareExportAreasToGelix() { delete lines_; }

TPolyLineString* TPrepareExportAreasToGelix::GetLines() {
  if (lines_) return lines_;
  TExtractLinesForAreas extract;
  extract.SetInput(Input());
  extract.DoIt();
  lines_ = extract.GetLines();
  return lines_;
}

void TPrepareExportAreasToGelix::SetLines(TPolyLineString* lines) {
  if (lines_ != lines) delete lines_;
  lines_ = lines;
}

TPolyLineString* TPrepareExportAreasToGelix::TakeLines() {
  TPolyLineString* lines = GetLines();
  lines_ = nullptr;
  return lines;
}

void TPrepareExportAreasToGelix::DoIt() {
  TTool::DoIt();
  interrupted_ = false;
  TElement* input = Input();
  if (!input || !input->Is<TEntity>()) return;
  // A copy: the gauge lets messages through, whose handlers may change the list.
  const std::vector<TElement*> items = static_cast<TEntity*>(input)->Items();
  for (TElement* child : items) {
    if (!child) continue;
    child->ID = -1;
    if (child->Is<TSpaceEntity>()) {
      TElement* props = static_cast<TSpaceEntity*>(child)->GetProperties();
      if (props && props->Is<TGelixAreaProps>()) {
        static_cast<TGelixAreaProps*>(props)->PaterNo = kNoArea;
        static_cast<TGelixAreaProps*>(props)->HasChildren = false;
      }
    }
  }
  counter_ = 0;
  // Looking for the islands of every area takes a while on a large level.
  areas::ExportGauge gauge("Příprava ploch k exportu", static_cast<int>(items.size()), "Přerušit export ploch ?");
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (!gauge.step(static_cast<int>(i))) {
      interrupted_ = true;
      return;
    }
    TElement* child = items[i];
    if (!child || !child->Is<TAreaElement>()) continue;
    auto* area = static_cast<TAreaElement*>(child);
    if (area->IsHole || area->ID >= 0) continue;
    TGelixAreaProps* props = areas::EnsureAreaProps(area);
    ++counter_;
    props->Cislo = counter_;
    area->ID = counter_;
    if (Druh > 0) props->Druh = areas::CheckedInt16(Druh);
    if (Barva > -1) props->Barva = areas::CheckedInt16(Barva);
    if (Znacka > -1) props->Znacka = areas::CheckedInt16(Znacka);
    std::vector<TElement*> subAreas = subAreasOf(area, static_cast<TEntity*>(input));
    if (subAreas.empty()) continue;
    props->HasChildren = true;
    for (TElement* sub : subAreas)
      if (sub->Is<TAreaElement>()) areas::EnsureAreaProps(static_cast<TAreaElement*>(sub))->PaterNo = counter_;
  }
  SetOutput(input);
}

void TExportAreasToGelix::DoIt() {
  TTool::DoIt();
  TElement* input = Input();
  if (!input || !input->Is<TEntity>() || BlockName.empty()) return;
  platform::BusyCursor busy;
  gisblock::StagedBlock* staged = BeginBlock();
  if (!staged) return;
  {
    TPrepareExportAreasToGelix prepare;
    prepare.Barva = BarvaPloch;
    prepare.Znacka = ZnackaPloch;
    prepare.Druh = DruhPloch;
    prepare.SetInput(input);
    prepare.DoIt();
    interrupted_ = prepare.Interrupted();
  }
  if (interrupted_) {
    EndBlock(true);
    return;
  }
  const LineList lines = boundaryLines(static_cast<TEntity*>(input));
  lines_ = lines.get();
  if (lines->GetCount() == 0) {
    lines_ = nullptr;
    EndBlock(false, "plochy nemají žádné hraniční linie");
    return;
  }
  {
    TPrepareExportLinesToGelix prepare;
    prepare.Barva = BarvaLinii;
    prepare.Znacka = ZnackaLinii;
    prepare.SetInput(lines.get());
    prepare.DoIt();
    interrupted_ = prepare.Interrupted();
  }
  if (interrupted_) {
    lines_ = nullptr;
    EndBlock(true);
    return;
  }
  // The points and texts of the block hold only their dummy records.
  if (WriteEmptyBlock()) ExportAreaLines();
  if (!staged->failed() && !interrupted_) ExportAreas();
  lines_ = nullptr;
  EndBlock(interrupted_);
}

void TExportAreasToGelix::ExportAreaLines() {
  auto* input = static_cast<TEntity*>(Input());
  gisblock::FileFailure opening;
  // Before `new TJTSK`: a failure in between would leak the system.
  const std::string target = TargetDirectory();
  std::unique_ptr<TGelixLinWriter> writer(
      TGelixLinWriter::CreateForBlock(target, true, new TJTSK, &opening));
  if (!WriterWorks(writer.get(), opening)) return;
  if (Staged()) writer->ShownPath = Staged()->shownFile(writer->GetFileName());
  if (DruhLinii > 0) writer->Druh = areas::CheckedInt16(DruhLinii);

  // Which side of which line each exported area takes: the areas that hold
  // line number k, with the directions they use it in (usually two), found
  // from the areas' own lists once, so that no long boundary is walked for
  // each of its lines.
  struct Claim {
    const TElement* area;
    std::uint8_t sides;  // 1: in its own direction, 2: against it
    std::int32_t next;   // the line's next claim, -1 after the last
  };
  const std::vector<TElement*>& listed = lines_->Items();
  std::vector<std::int32_t> firstClaim(listed.size() + 1, -1);
  std::vector<Claim> claims;
  claims.reserve(2 * listed.size());
  auto numberOf = [&](const TElement* line) {
    const std::int32_t number = line->ID;
    return number >= 1 && static_cast<std::size_t>(number) <= listed.size() && listed[number - 1] == line ? number : 0;
  };
  // The rings of an area's holes are its boundary too: the lines of an
  // island carry the area around it on their outer side.
  auto claimRing = [&](const TElement* area, const TPolyLineAreaElement& ring) {
    const std::vector<TElement*>& boundary = ring.Items();
    for (std::size_t k = 0; k < boundary.size(); ++k) {
      const std::int32_t number = boundary[k] ? numberOf(boundary[k]) : 0;
      if (number == 0) continue;
      const std::uint8_t side = ring.GetLineOrigin(static_cast<int>(k)) ? 1 : 2;
      std::int32_t c = firstClaim[number];
      while (c >= 0 && claims[c].area != area) c = claims[c].next;
      if (c >= 0) {
        claims[c].sides |= side;
      } else {
        claims.push_back({area, side, firstClaim[number]});
        firstClaim[number] = static_cast<std::int32_t>(claims.size() - 1);
      }
    }
  };
  for (TElement* child : input->Items()) {
    if (!child || !child->Is<TPolyLineAreaElement>()) continue;
    auto* area = static_cast<TPolyLineAreaElement*>(child);
    claimRing(area, *area);
    if (area->IsHole || !area->GetHoles()) continue;
    for (TElement* hole : area->GetHoles()->Items())
      if (hole && hole->Is<TPolyLineAreaElement>()) claimRing(area, *static_cast<TPolyLineAreaElement*>(hole));
  }
  auto sideArea = [&](TElement* line, std::uint8_t side) {
    const std::int32_t number = numberOf(line);
    if (number == 0 || firstClaim[number] < 0) return kNoArea;
    // The first of the line's owners (as stored) that claims the side.
    const std::vector<TElement*>* links = line->OwnerLinks();
    const int n = links ? static_cast<int>(links->size()) : line->GetOwnersCount();
    for (int i = 0; i < n; ++i) {
      TElement* owner = links ? (*links)[static_cast<std::size_t>(i)] : line->GetOwner(i);
      if (owner && owner->Is<TAreaElement>() && static_cast<TAreaElement*>(owner)->IsHole)
        owner = static_cast<TAreaElement*>(owner)->GetHoleOwnerArea();
      if (!owner) continue;
      for (std::int32_t c = firstClaim[number]; c >= 0; c = claims[c].next)
        if (claims[c].area == owner) {
          if (claims[c].sides & side) return owner->ID > 0 ? owner->ID : kNoArea;
          break;
        }
    }
    return kNoArea;
  };

  areas::ExportGauge gauge("Export lines", lines_->GetCount(), "Přerušit export linií ?");
  const std::vector<TElement*> items = lines_->Items();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (!gauge.step(static_cast<int>(i))) {
      interrupted_ = true;
      break;
    }
    TElement* element = items[i];
    if (!element || !element->Is<TPolyLineElement>()) continue;
    auto* line = static_cast<TPolyLineElement*>(element);
    DoExportObject(line);
    if (writer->WriteLineWithAreas(line, sideArea(line, 1), sideArea(line, 2))) ++summary_.Lines;
    if (!WriterWorks(writer.get())) return;
    if (DBFLinii) {
      const bool exportDbf = ExportDBF;
      const std::int32_t jedenDruh = JedenDruh;
      ExportDBF = DBFLinii;
      JedenDruh = DruhLinii;
      ExportObject(line);
      ExportDBF = exportDbf;
      JedenDruh = jedenDruh;
      if (!WriterWorks(writer.get())) return;
    }
  }
  writer->FlushWrites();
  WriterWorks(writer.get());
}

void TExportAreasToGelix::ExportAreas() {
  auto* input = static_cast<TEntity*>(Input());
  gisblock::FileFailure opening;
  // Before `new TJTSK`: a failure in between would leak the system.
  const std::string target = TargetDirectory();
  std::unique_ptr<TGelixAreaWriter> writer(
      TGelixAreaWriter::CreateForBlock(target, true, new TJTSK, &opening));
  if (!WriterWorks(writer.get(), opening)) return;
  if (Staged()) writer->ShownPath = Staged()->shownFile(writer->GetFileName());
  areas::ExportGauge gauge("Export ploch do " + BlockName, input->GetCount(), "Přerušit export ploch ?");
  const std::vector<TElement*> items = input->Items();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (!gauge.step(static_cast<int>(i))) {
      interrupted_ = true;
      break;
    }
    TElement* element = items[i];
    if (!element || !element->Is<TAreaElement>() || static_cast<TAreaElement*>(element)->IsHole) continue;
    auto* area = static_cast<TAreaElement*>(element);
    DoExportObject(area);
    if (writer->WriteArea(area)) ++summary_.Areas;
    ExportObject(area);
    if (!WriterWorks(writer.get())) return;
  }
  writer->FlushWrites();
  WriterWorks(writer.get());
}

void TExportAreasToGelixPropsFromAreaQTree::passValuesOf(TElement* area, std::int16_t druh) {
  std::string dir = ControlDir;
  if (!dir.empty() && dir.back() != '\\' && dir.back() != '/') dir += '\\';
  // The directory as given: on this system the case of a native path counts.
  const std::string name = dir + areas::KindTableName('P', druh) + ".TDS";
  if (platform::pathResolver().exists(name)) {
    if (!transfer_) {
      transfer_ = new TMovedItemContainer;
      Add(transfer_);
    }
    if (transfer_->GetFileName() != name) transfer_->SetFileName(name);
  }
  if (!transfer_) return;
  TDynamicProperties* values = GetDynamicProps();
  for (int i = 0; i < transfer_->GetCount(); ++i) {
    std::string source, target;
    transfer_->GetSourceName(i, source);
    transfer_->GetTargetName(i, target);
    if (source.empty() || source[0] == '*' || !area->HasProperty(source)) continue;
    std::string text;
    area->GetPropertyText(source, text);
    values->Adopt(TStringElement::CreateNamed(target, text));
  }
}

void TExportAreasToGelixPropsFromAreaQTree::ExportObject(TSpaceEntity* object) {
  if (!object || !AreaQTree || !object->GetProperties() || !object->GetProperties()->Is<TGelixProps>()) {
    TExportAreasToGelix::ExportObject(object);
    return;
  }
  try {
    const std::int16_t druh = static_cast<TGelixProps*>(object->GetProperties())->Druh;
    TDynamicProperties* values = GetDynamicProps();
    values->FreeAll();
    const double x = object->GetAbsRefX(), y = object->GetAbsRefY();
    TQTreeWalker walker;
    for (TElement* found = walker.FindFirst(AreaQTree, 0, x, y, x, y); found; found = walker.FindNext())
      if (found->Is<TAreaElement>() && static_cast<TAreaElement*>(found)->ContainsPoint(x, y))
        passValuesOf(found, druh);
    if (ExportDBF) {
      ExportObjectRow(object);
      if (RegisterObject) RegisterInBlock(object);
    } else {
      for (TElement* value : values->Items()) {
        auto* typed = dynamic_cast<TTypeElement*>(value);
        if (!typed || typed->GetUpperName().empty()) continue;
        object->SetPropertyText(typed->GetUpperName(), typed->GetAsString());
      }
    }
  } catch (const std::exception& e) {
    // As every exporter: the object is reported and the export goes on.
    ReportExportError(object, e);
  }
}
