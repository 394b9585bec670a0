#include "areas/forest_hierarchy.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "areas/forest_space_unit.h"
#include "framework/class_registry.h"
#include "framework/czech_count.h"
#include "framework/message_dispatch.h"
#include "framework/name_compare.h"
#include "framework/problem_report.h"
#include "framework/settings.h"
#include "framework/string_utils.h"
#include "framework/world.h"
#include "framework/zelto_message.h"
#include "geometry/area_element.h"
#include "geometry/space_entity_props.h"
#include "gisblock/gelix_dbf_table.h"
#include "platform/dbase_structure.h"
#include "platform/dbase_value.h"
#include "platform/path_resolver.h"
#include "platform/user_interaction.h"
#include "render/interpret_layer.h"

ZELTO_IMPLEMENT_ELEMENT(TPocitacPloch, TRecursor, [](auto&) {})
ZELTO_IMPLEMENT_ELEMENT(TPridavacPloch, TPocitacPloch, [](auto&) {})
ZELTO_IMPLEMENT_ELEMENT(TForestHierarchy, TTool, [](auto&) {})
ZELTO_IMPLEMENT_ELEMENT(TVyberLiniiDoHierarchie, TTool, [](auto&) {})

namespace {

// The whole text as an integer, blanks around it allowed; 0 for blank text
// (as a blank number field reads), nothing for text that is no integer.
std::optional<std::int32_t> WholeInteger(const std::string& text) {
  const std::string trimmed = TrimBlanks(text);
  if (trimmed.empty()) return 0;
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(trimmed.c_str(), &end, 10);
  if (*end != '\0' || errno == ERANGE || value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

// Text that reads as a number with a point or a comma ("1,5", "2.0"): as
// a group's name it would be filed by a number it does not have.
bool ReadsAsNumber(std::string text) {
  std::replace(text.begin(), text.end(), ',', '.');
  return platform::dbf::numberValue(text).has_value();
}

constexpr const auto& kKeyNames = HierarchyKeys::kNames;

// The first n characters of UTF-8 text (a character never cut in two).
std::string FirstChars(const std::string& text, std::size_t n) {
  std::size_t i = 0;
  for (std::size_t chars = 0; i < text.size() && chars < n; ++chars) {
    ++i;
    while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
  }
  return text.substr(0, i);
}

// An area filed again (the tool run twice on one model) must not appear
// twice in its unit, or it would be exported twice.
void HoldOnce(TForestSpaceUnit& unit, TAreaElement& area) {
  if (area.HasOwner(&unit))
    unit.ExtendBy(&area);
  else
    unit.AddAndExtend(&area);
}

}  // namespace

bool TPocitacPloch::QGoInside(TElement* element) {
  if (element->Is<TInterpretLayer>()) return true;
  return element->Is<TSpaceEntity>() && !element->Is<TPolyLineString>() && !element->Is<TAreaElement>();
}

bool TPocitacPloch::QProcessBefore(TElement* element) { return element->Is<TAreaElement>(); }

void TPocitacPloch::Process(TElement* element) {
  if (element->Is<TAreaElement>()) ++Count;
}

TPridavacPloch::TPridavacPloch() : form_(std::make_unique<TF_gaugeForm>()), table_(std::make_unique<TGelixDBFTable>()) {
  form_->SetCaption("Vytváření lesnické hierarchie");
  form_->SetMaxValue(0);
}

TPridavacPloch::~TPridavacPloch() = default;

HierarchyLimits ReadHierarchyLimits(SettingsCheck& check) {
  // Group numbers are the first three digits of SKUPINA; 1000 files none.
  constexpr SettingRange kGroup{0, 1000};
  // More than a hectare would leave whole stands out of the hierarchy.
  constexpr SettingRange kArea{0, 10000, false};
  HierarchyLimits limits;
  limits.MinArea = check.Read("GLOBAL", "MinPlochaM", limits.MinArea, kArea);
  limits.Bezlesi = static_cast<std::int32_t>(check.Read("GLOBAL", "SpodniMezBezlesi", limits.Bezlesi, kGroup));
  limits.Jine = static_cast<std::int32_t>(check.Read("GLOBAL", "SpodniMezJine", limits.Jine, kGroup));
  limits.Ostatni = static_cast<std::int32_t>(check.Read("GLOBAL", "SpodniMezOstatni", limits.Ostatni, kGroup));
  return limits;
}

namespace {
// The limits as the settings hold them; nullopt, after the user was shown
// what is wrong, when any of them is wrong.
std::optional<HierarchyLimits> CheckedHierarchyLimits() {
  SettingsCheck check;
  const HierarchyLimits limits = ReadHierarchyLimits(check);
  if (check.Ok()) return limits;
  platform::showError(check.Errors());
  return std::nullopt;
}
}  // namespace

void TPridavacPloch::DoIt() {
  Count = 0;
  Unfiled = 0;
  unreadTold_.clear();
  // Read once per run: the settings do not change while areas are filed.
  const std::optional<HierarchyLimits> limits = given_ ? given_ : CheckedHierarchyLimits();
  if (!limits) return;
  limits_ = *limits;
  TPocitacPloch::DoIt();
}

void TPridavacPloch::Process(TElement* element) {
  if (!element->Is<TAreaElement>()) return;
  auto* area = static_cast<TAreaElement*>(element);
  TElement* record = area->GetProperties();
  auto* root = HasNoParameters() ? nullptr : dynamic_cast<TForestSpaceUnit*>(GetParameterByIndex(0));
  if (!root) return;
  if (area->GetWholeArea() < limits_.MinArea) return;
  if (!record) {
    ++Unfiled;
    return;
  }
  const double net = area->GetArea1();
  root->AddArea(area, net);
  if (record->GetPropertyInt("Druh") == kStandKind) {
    FileStand(*root, *area, net);
  } else if (TForestSpaceUnit* other = Unit(*root, TNeplochy::StaticClass(), "NEPLOCHY")) {
    other->AddArea(area, net);
    HoldOnce(*other, *area);
  }
  ++Count;
  form_->SetProgress(Count);
  if (pacer_.due()) zelto::ProcessPendingMessages();
}

TForestSpaceUnit* TPridavacPloch::Unit(TForestSpaceUnit& parent, const TElementClass& cls, const std::string& name) {
  const std::string wanted = name.empty() ? std::string("no name") : name;
  auto [index, fresh] = children_.try_emplace(&parent);
  SortedNames& sorted = sortedNames_[&parent];
  if (fresh) {
    sorted.names.clear();
    for (TElement* child : parent.Items()) {
      index->second.emplace(zelto::UpperLocale(child->GetName()), child);
      sorted.names.push_back(child->GetName());
    }
    sorted.valid = std::is_sorted(sorted.names.begin(), sorted.names.end());
  }
  TElementRef& known = index->second[zelto::UpperLocale(wanted)];
  if (TElement* child = known.Get(); child && child->HasOwner(&parent)) return dynamic_cast<TForestSpaceUnit*>(child);
  // Owned here until the parent takes it.
  std::unique_ptr<TElement> made(cls.Create());
  TElement* unit = made.get();
  if (!unit) return nullptr;
  unit->SetName(wanted);
  if (sorted.valid && sorted.names.size() == static_cast<std::size_t>(parent.GetCount())) {
    // Where InsertSortedByName puts it: before the first greater name.
    std::string name = unit->GetName();
    const auto i = std::upper_bound(sorted.names.begin(), sorted.names.end(), name) - sorted.names.begin();
    if (static_cast<std::size_t>(i) == sorted.names.size())
      parent.Add(unit);
    else
      parent.Insert(static_cast<int>(i), unit);
    made.release();
    sorted.names.insert(sorted.names.begin() + i, std::move(name));
  } else {
    sorted.valid = false;
    parent.InsertSortedByName(unit);
    made.release();
  }
  known.Set(unit);
  return dynamic_cast<TForestSpaceUnit*>(unit);
}

void TPridavacPloch::FileStand(TForestSpaceUnit& root, TAreaElement& area, double net) {
  if (!table_->LocateElement(&area)) {
    NoteKeys(area, std::nullopt);
    ++Unfiled;
    // A table that could not be read was logged with its cause by the table
    // layer or the block read: whether the area's row is there, nobody
    // knows. It leaves every area whose row it holds unfiled: the job's box
    // names the cause, once, rather than any of the areas.
    if (!table_->LocateError().empty()) {
      if (const std::string& cause = table_->UnreadCause(); unreadTold_.insert(cause).second)
        zelto::NoteProblem(cause);
      return;
    }
    // Keys of another row would file the area under a wrong unit. Logged
    // for each area, told once with the count when the read is done.
    const std::string table = platform::pathResolver().userSpelling(table_->GetTableName());
    zelto::ReportProblem("Lesnická hierarchie: plocha " + area.PropertyText("Cislo") +
                             " nemá řádek v tabulce " + table,
                         "Lesnická hierarchie: plocha nemá řádek v tabulce " + table);
    return;
  }
  const std::optional<StandKeys> keys = ReadKeys(area);
  if (!keys) return;
  TForestSpaceUnit* revir = Unit(root, TRevir::StaticClass(), "REVIR: " + keys->revir);
  if (!revir) return;
  revir->AddArea(&area, net);

  const std::int32_t oddeleni = keys->oddeleni;
  char number[16];
  std::snprintf(number, sizeof number, "%5d", oddeleni);
  TForestSpaceUnit* compartment = Unit(*revir, TOddeleni::StaticClass(), std::string("Oddeleni: ") + number);
  if (!compartment) return;
  compartment->CisloOddeleni = oddeleni;
  compartment->AddArea(&area, net);

  const std::string letter = FirstChars(keys->dilec, 1);
  TForestSpaceUnit* dilec = Unit(*compartment, TDilec::StaticClass(), "Dilec: " + letter);
  if (!dilec) return;
  dilec->CisloOddeleni = oddeleni;
  dilec->PismenoDilce = letter;
  dilec->AddArea(&area, net);

  const std::int32_t n = keys->group;
  const TElementClass* cls = &TPorostniSkupina::StaticClass();
  const char* prefix = "Por.skup: ";
  if (n >= limits_.Ostatni) {
    cls = &TOstatni::StaticClass();
    prefix = "OSTATNI: ";
  } else if (n >= limits_.Jine) {
    cls = &TJine::StaticClass();
    prefix = "JINE: ";
  } else if (n >= limits_.Bezlesi) {
    cls = &TBezlesi::StaticClass();
    prefix = "BEZLESI: ";
  }
  TForestSpaceUnit* group = Unit(*dilec, *cls, prefix + FirstChars(keys->skupina, 10));
  if (!group) return;
  group->CisloOddeleni = oddeleni;
  group->PismenoDilce = letter;
  group->AddArea(&area, net);
  HoldOnce(*group, area);
}

void TPridavacPloch::FindKeyFields() {
  const platform::DbfTable& fields = table_->Fields();
  if (keysOf_ == fields.opening()) return;
  for (int key = 0; key < kKeys; ++key) {
    keys_[key] = fields.fieldIndex(kKeyNames[key]);
    // Read as empty, the field would file every area under one unit.
    if (keys_[key] < 0)
      throw platform::DbfError("Tabulka " + platform::pathResolver().userSpelling(table_->GetTableName()) +
                               " nemá položku " + kKeyNames[key] + ", podle níž se plochy řadí do lesnické hierarchie");
  }
  keysOf_ = fields.opening();
}

std::optional<TPridavacPloch::StandKeys> TPridavacPloch::ReadKeys(TAreaElement& area) {
  FindKeyFields();
  const platform::DbfTable& fields = table_->Fields();
  HierarchyKeys::Keys texts;
  for (int key = 0; key < kKeys; ++key) texts[static_cast<std::size_t>(key)] = TrimBlanks(fields.text(keys_[key]));
  NoteKeys(area, texts);
  StandKeys keys;
  keys.revir = texts[kLsKod];
  keys.dilec = texts[kDilec];
  keys.skupina = texts[kSkupina];
  const std::string oddeleni = texts[kOddeleni];
  // A blank compartment names none: filed as compartment 0, the area would
  // make a unit the district does not have.
  const std::optional<std::int32_t> compartment = oddeleni.empty() ? std::nullopt : WholeInteger(oddeleni);
  if (!compartment) {
    TellNotWhole(area, kOddeleni, oddeleni);
    return std::nullopt;
  }
  keys.oddeleni = *compartment;
  // A group named otherwise than by a number ("1a") is a stand group; one
  // that reads as a number must be a whole one, as must any value of a
  // number field.
  const std::optional<std::int32_t> group = WholeInteger(keys.skupina);
  const char type = fields.fields()[static_cast<std::size_t>(keys_[kSkupina])].type;
  if (!group && (type == 'N' || type == 'F' || ReadsAsNumber(keys.skupina))) {
    TellNotWhole(area, kSkupina, keys.skupina);
    return std::nullopt;
  }
  keys.group = group.value_or(0);
  return keys;
}

void TPridavacPloch::NoteKeys(TAreaElement& area, const std::optional<HierarchyKeys::Keys>& keys) {
  auto* record = dynamic_cast<TSpaceEntityProps*>(area.GetProperties());
  if (!record || record->ClassType().IndexOfProperty("Cislo") < 0) return;
  const std::string table = record->GetDBFName();
  if (table.empty()) return;
  const platform::DbfTable& read = table_->Fields();
  filed_.Note(table, record->GetPropertyInt("Cislo"), keys, keys ? read.recNo() : 0, keys ? &read.stamp() : nullptr);
}

void TPridavacPloch::TellNotWhole(TAreaElement& area, int key, const std::string& text) {
  ++Unfiled;
  // Filed by a number it does not have, the area would make a unit of its
  // own or join another. Logged for each area, told once with the count.
  const std::string table = platform::pathResolver().userSpelling(table_->GetTableName());
  const std::string field = kKeyNames[key];
  zelto::ReportProblem("Lesnická hierarchie: plocha " + area.PropertyText("Cislo") + " není zařazena, tabulka " +
                           table + ", řádek " + std::to_string(table_->Fields().recNo()) + ": hodnota \"" + text +
                           "\" položky " + field + " není celé číslo",
                       "Lesnická hierarchie: plocha není zařazena, položka " + field + " v tabulce " + table +
                           " není celé číslo");
}

TEntity* TForestHierarchy::ObjectModel() const {
  if (TElement* model = model_.Get()) return dynamic_cast<TEntity*>(model);
  TWorld* world = GetWorld();
  return world ? world->GetObjectModel() : nullptr;
}

void TForestHierarchy::DoIt() {
  Unfiled = 0;
  Keys.reset();
  TElement* input = Input();
  TEntity* model = ObjectModel();
  if (!input || !(input->Is<TSpaceEntity>() || input->Is<TInterpretLayer>()) || !model) {
    platform::ui().showMessage("Není nalezen blok");
    return;
  }
  const std::optional<HierarchyLimits> limits = Limits ? Limits : CheckedHierarchyLimits();
  if (!limits) return;
  // Filing into a hierarchy built before would count every area again: a
  // second run builds the hierarchy afresh.
  if (TElement* old = model->FindElementByName("LES"); old && old->Is<TForestSpaceUnit>()) model->Delete(old);
  auto made = std::make_unique<TForestSpaceUnit>();
  made->SetName("LES");
  model->Add(made.get());
  TForestSpaceUnit* root = made.release();
  std::int32_t areas = 0;
  {
    TPocitacPloch counter;
    counter.SetInput(input);
    counter.DoIt();
    areas = counter.Count;
  }
  {
    TPridavacPloch filer;
    filer.SetLimits(*limits);
    filer.GaugeForm().SetMaxValue(areas);
    filer.GaugeForm().Show();
    filer.AddParameter(root);
    filer.SetInput(input);
    try {
      filer.DoIt();
    } catch (...) {
      // Part of a hierarchy would pass for the district's.
      filer.GaugeForm().Hide();
      model->Delete(root);
      throw;
    }
    filer.GaugeForm().Hide();
    Unfiled = filer.Unfiled;
    Keys = std::make_shared<HierarchyKeys>(std::move(filer.Keys()));
    if (areas > 0 && filer.Count == 0)
      PostTextMessage(this, zelto::msg::LogText,
                      "Lesnická hierarchie: žádná z " + framework::CzechCount(areas, "plochy", "ploch", "ploch") +
                          " nebyla zařazena (bez atributů nebo menší než MinPlochaM = " +
                          FloatToStrWidth(0, 2, filer.MinArea()) + " m2)");
  }
  SetOutput(root);
}

void TVyberLiniiDoHierarchie::DoIt() {
  auto* unit = dynamic_cast<TForestSpaceUnit*>(Input());
  if (!unit) return;
  // A large district's units take their lines for a second or more: the
  // bar moves by units. Nothing here may stop half way (units with part of
  // their lines would export areas missing): a stop pressed on the form is
  // the job's, which asks once the lines are gathered.
  TF_gaugeForm form;
  form.SetCaption(GetName().empty() ? std::string("Výběr linií do hierarchie") : GetName());
  form.SetMaxValue(unit->CountUnits());
  form.Show();
  platform::Pacer pacer;
  std::int32_t done = 0;
  unit->GatherUnitLines([&] {
    form.SetProgress(++done);
    if (pacer.due()) zelto::ProcessPendingMessages();
  });
  form.Hide();
}

void RegisterForestHierarchyClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterForestUnitClasses();
  for (const TElementClass* cls : {&TPocitacPloch::StaticClass(), &TPridavacPloch::StaticClass(),
                                   &TForestHierarchy::StaticClass(), &TVyberLiniiDoHierarchie::StaticClass()})
    RegisterZeltoClass(*cls);
}
