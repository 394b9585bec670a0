#pragma once
// Building the forest hierarchy from the areas of a district: every area of
// the stand kind is filed by its row in the attribute table (LS_KOD,
// ODDELENI, DILEC, SKUPINA) into district, compartment, sub-compartment and
// group; areas of other kinds go to "NEPLOCHY". A second tool gathers the
// boundary lines of every unit.
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "areas/gauge_form.h"
#include "areas/hierarchy_keys.h"
#include "framework/recursor.h"
#include "platform/pacer.h"

class SettingsCheck;
class TAreaElement;
class TForestSpaceUnit;
class TGelixDBFTable;

// The limits the hierarchy files areas by (section GLOBAL): the smallest
// whole area filed (MinPlochaM, square metres) and the lowest group numbers
// of non-forest, other and remaining land.
struct HierarchyLimits {
  double MinArea = 10;
  std::int32_t Bezlesi = 100, Jine = 500, Ostatni = 900;
};
// Every use reads them through this, so that a wrong value is named and
// never becomes 0.
HierarchyLimits ReadHierarchyLimits(SettingsCheck& check);

// Counts the areas below the input: descends into spatial containers and
// renderer layers, not into line strings or areas.
class TPocitacPloch : public TRecursor {
  ZELTO_ELEMENT(TPocitacPloch)
 public:
  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  void Process(TElement* element) override;
  std::int32_t Count = 0;
};

// Files the areas it meets under the root given as its first parameter;
// Count counts the areas met.
class TPridavacPloch : public TPocitacPloch {
  ZELTO_ELEMENT(TPridavacPloch)
 public:
  static constexpr std::int16_t kStandKind = 110;

  TPridavacPloch();
  ~TPridavacPloch() override;
  // Files by the limits given; without them DoIt reads them, and a wrong
  // one is shown and files nothing.
  void SetLimits(const HierarchyLimits& limits) { given_ = limits; }
  void DoIt() override;
  void Process(TElement* element) override;
  TF_gaugeForm& GaugeForm() { return *form_; }
  double MinArea() const { return limits_.MinArea; }
  // Areas of the run's size that could not be filed: no attributes, no
  // row in the district's table, or a row whose compartment or group is no
  // whole number.
  std::int32_t Unfiled = 0;
  // What each stand was filed by.
  HierarchyKeys& Keys() { return filed_; }

 private:
  // What a stand is filed by, read from its row.
  struct StandKeys {
    std::string revir, skupina, dilec;
    std::int32_t oddeleni = 0;
    std::int32_t group = 0;  // the number of SKUPINA; 0 for a group named otherwise
  };
  // Throws platform::DbfError when the table lacks a field the areas are
  // filed by; nothing for a key that is no whole number (told, counted
  // Unfiled).
  void FileStand(TForestSpaceUnit& root, TAreaElement& area, double net);
  std::optional<StandKeys> ReadKeys(TAreaElement& area);
  void NoteKeys(TAreaElement& area, const std::optional<HierarchyKeys::Keys>& keys);
  // The key fields' positions in the open table, found once per opening.
  void FindKeyFields();
  void TellNotWhole(TAreaElement& area, int key, const std::string& text);
  // The child unit of that name (letter case ignored), created in name
  // order when missing. Each parent's children are indexed on first use:
  // a district may hold thousands of units and tens of thousands of areas.
  TForestSpaceUnit* Unit(TForestSpaceUnit& parent, const TElementClass& cls, const std::string& name);

  std::unique_ptr<TF_gaugeForm> form_;
  platform::Pacer pacer_;
  std::unique_ptr<TGelixDBFTable> table_;
  HierarchyKeys filed_;
  enum Key { kLsKod, kOddeleni, kDilec, kSkupina, kKeys };
  int keys_[kKeys] = {};
  std::uint64_t keysOf_ = 0;  // the table opening keys_ were found in
  std::optional<HierarchyLimits> given_;
  HierarchyLimits limits_;  // of the run
  std::unordered_map<const TElement*, std::unordered_map<std::string, TElementRef>> children_;
  // Each parent's child names in its order, while its children are in name
  // order and nobody but Unit has added or taken any: a new unit's place is
  // then found by halving, not by a walk through its siblings.
  struct SortedNames {
    std::vector<std::string> names;
    bool valid = false;
  };
  std::unordered_map<const TElement*, SortedNames> sortedNames_;
  std::set<std::string> unreadTold_;  // causes of unread tables counted as problems
};

// Input: a spatial container or a renderer layer. Output: the root "LES",
// found or created in the object model.
class TForestHierarchy : public TTool {
  ZELTO_ELEMENT(TForestHierarchy)
 public:
  // The limits a job has read and checked; without them DoIt reads them,
  // and a wrong one is shown and leaves the model as it was.
  std::optional<HierarchyLimits> Limits;
  // After DoIt: areas of filing size that went into no unit for want of
  // their attributes; a hierarchy with any such is not the district whole.
  std::int32_t Unfiled = 0;
  // After DoIt: what the stands were filed by, for the jobs that export by
  // the hierarchy to hold against the tables.
  std::shared_ptr<HierarchyKeys> Keys;
  void DoIt() override;
  // The world's object model unless one is set here.
  TEntity* ObjectModel() const;
  void SetObjectModel(TEntity* model) { model_.Set(model); }

 private:
  TElementRef model_;
};

// Input: a unit (normally the root); fills its line list and those below.
class TVyberLiniiDoHierarchie : public TTool {
  ZELTO_ELEMENT(TVyberLiniiDoHierarchie)
 public:
  void DoIt() override;
};

void RegisterForestHierarchyClasses();
