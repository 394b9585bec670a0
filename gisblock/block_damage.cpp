#include "gisblock/block_damage.h"

#include <atomic>

#include "geometry/space_entity.h"

namespace gisblock {

namespace {
constexpr const char* kMark = "Poskozeni";
constexpr const char* kUnopenedMark = "PoskozeniTabulkou";
}

void BlockDamage::Note(const std::string& fault) {
  static std::atomic<std::uint64_t> faults{0};
  if (Count++ > 0) return;
  First = fault;
  FirstAt = ++faults;
}

void BlockDamage::NoteUnopened(const std::string& fault) {
  Note(fault);
  ++Unopened;
}

void BlockDamage::Add(const BlockDamage& other) {
  if (!other.Any()) return;
  Unopened += other.Unopened;
  if (!Any() || other.FirstAt < FirstAt) {
    First = other.First;
    FirstAt = other.FirstAt;
  }
  Count += other.Count;
}

std::string BlockDamage::Text() const {
  if (Count < 2) return First;
  return First + "; celkem " + std::to_string(Count) + " poškození";
}

void MarkDamage(TEntity& string, const std::string& block, const BlockDamage& damage) {
  if (!damage.Any()) return;
  string.SetPropertyText(kMark, damage.Text());
  if (damage.Unopened == damage.Count) string.SetPropertyText(kUnopenedMark, "TRUE");
  // The line symbols' string is not named otherwise.
  if (string.PropertyText("BlockName").empty()) string.SetPropertyText("BlockName", block);
}

std::optional<DamagedBlock> FindDamagedBlock(TElement* loaded, bool beyondUnopened) {
  if (!loaded) return std::nullopt;
  if (loaded->Is<TSpaceEntityString>()) {
    const std::string damage = loaded->PropertyText(kMark);
    const bool unopened = loaded->PropertyText(kUnopenedMark) == "TRUE";
    if (damage.empty() || (beyondUnopened && unopened)) return std::nullopt;
    return DamagedBlock{loaded->PropertyText("BlockName"), damage};
  }
  // Strings are the leaves: their children are the objects read.
  if (!loaded->Is<TEntity>()) return std::nullopt;
  for (TElement* child : static_cast<TEntity*>(loaded)->Items())
    if (std::optional<DamagedBlock> found = FindDamagedBlock(child, beyondUnopened)) return found;
  return std::nullopt;
}

}  // namespace gisblock
