#include "framework/element.h"

#include <algorithm>
#include <limits>
#include <unordered_set>

#include "framework/entity.h"
#include "framework/errors.h"
#include "framework/value_stream.h"
#include "platform/user_interaction.h"

const TElementClass& TElement::StaticClass() {
  static const TElementClass cls(
      "TElement", nullptr, &zelto::NewElement<TElement>,
      [](TElementClass& c) {
        zelto::PropertyBuilder<TElement> p(c);
        p.Integer("ID", &TElement::ID, &TElement::ID);
        p.String("Name", &TElement::GetName, &TElement::SetName);
        p.Integer("OwnersCount", &TElement::GetOwnersCount);
        p.Integer("Size", &TElement::GetSize);
        p.Integer("WholeSize", &TElement::GetWholeSize);
      },
      sizeof(TElement));
  return cls;
}

const TElementClass& TElement::ClassType() const { return StaticClass(); }

TElement::~TElement() {
  if (hasHandle_) platform::handles().forget(static_cast<const void*>(this));
}

platform::Handle TElement::GetHandle() {
  hasHandle_ = true;
  return platform::handles().acquire(static_cast<const void*>(this));
}

TElement* TElement::FromHandle(platform::Handle handle) {
  return static_cast<TElement*>(platform::handles().resolve(handle));
}

// --- identity and size ------------------------------------------------------

int TElement::GetSize() const { return static_cast<int>(ClassType().InstanceSize()); }

int TElement::GetWholeSize() {
  zelto::NewTraversalMark();
  return MarkedSize();
}

int TElement::MarkedSize() {
  ID = zelto::CurrentTraversalMark();
  return GetSize();
}

std::string TElement::GetName() const { return ClassName(); }
void TElement::SetName(const std::string&) {}

// --- owners -----------------------------------------------------------------

TElement* TElement::GetOwner(int) const { return nullptr; }
void TElement::InsertOwner(int, TElement*) {}
void TElement::AddOwner(TElement*) {}
void TElement::RemoveOwner(TElement*) {}
bool TElement::HasOwner(const TElement*) const { return false; }
TElement* TElement::FindOwnerByClass(const TElementClass&) const { return nullptr; }
TElement* TElement::FindOwnerByName(const std::string&) const { return nullptr; }

TElement* TElement::FindUpwardByClass(const TElementClass& cls) {
  if (InheritsFrom(cls)) return this;
  int n = GetOwnersCount();
  for (int i = 0; i < n; ++i) {
    TElement* owner = GetOwner(i);
    if (!owner) continue;
    if (TElement* hit = owner->FindUpwardByClass(cls)) return hit;
  }
  return nullptr;
}

bool TElement::CanBeFreed() {
  // Distinct owners: an element added twice to one entity still has one
  // owner and must be freeable by it.
  const int n = GetOwnersCount();
  if (n < 2) return true;
  // The links compared by address as stored: an owner is visited (and
  // checked) only when it must be asked, and the asking stops at the first
  // refusal. A release asks this of every child of every entity it frees.
  std::vector<TElement*> fetched;
  const std::vector<TElement*>* links = OwnerLinks();
  if (!links || static_cast<int>(links->size()) != n) {
    fetched.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) fetched.push_back(GetOwner(i));
    links = &fetched;
  }
  const auto begin = links->begin(), end = links->end();
  if (std::all_of(begin + 1, end, [&](const TElement* o) { return o == *begin; })) return true;
  // A set keeps an element shared by many entities from costing the square
  // of its owners; the usual few are searched.
  std::unordered_set<const TElement*> seen;
  for (auto it = begin; it != end; ++it) {
    const bool fresh = n > 32 ? seen.insert(*it).second : std::find(begin, it, *it) == it;
    if (!fresh) continue;
    TElement* owner = links == &fetched ? *it : GetOwner(static_cast<int>(it - begin));
    auto* entity = owner && owner->Is<TEntity>() ? static_cast<TEntity*>(owner) : nullptr;
    if (!entity || !entity->CanFreeChild(this)) return false;
  }
  return true;
}

// --- stream data ------------------------------------------------------------

void TElement::ReadData(zelto::ValueReader& reader, TQuickEntity&) { ID = reader.ReadInteger(); }

void TElement::WriteData(zelto::ValueWriter& writer) {
  writer.WriteString(ClassName());
  writer.WriteInteger(ID);
}

TElement* TElement::CreateEnvelope() {
  TElement* envelope = ClassType().Create();
  if (envelope) envelope->SetName("Obálka: " + GetName());
  return envelope;
}

void TElement::MarkTree() { Mark(zelto::NewTraversalMark()); }
void TElement::Mark(std::int32_t mark) { ID = mark; }

void TElement::HandleMessage(TZeltoMessage*&, bool&) {}

// --- TNameElement -----------------------------------------------------------

ZELTO_IMPLEMENT_ELEMENT(TNameElement, TElement, ZELTO_NO_PROPERTIES)

int TNameElement::GetSize() const { return TElement::GetSize() + static_cast<int>(name_.size()) + 1; }

std::string TNameElement::GetName() const { return name_.empty() ? ClassName() : name_; }

void TNameElement::ReadData(zelto::ValueReader& reader, TQuickEntity& loaded) {
  TElement::ReadData(reader, loaded);
  SetName(reader.ReadString());
}

void TNameElement::WriteData(zelto::ValueWriter& writer) {
  TElement::WriteData(writer);
  writer.WriteString(GetName());
}

// --- owner lists ------------------------------------------------------------

namespace zelto {

int OwnerList::DistinctCount() const {
  std::vector<TElement*> seen;
  for (TElement* o : list_)
    if (std::find(seen.begin(), seen.end(), o) == seen.end()) seen.push_back(o);
  return static_cast<int>(seen.size());
}

TElement* OwnerList::At(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return list_[static_cast<std::size_t>(index)];
}

void OwnerList::Insert(int index, TElement* owner) {
  // Position 0 appends: callers rely on it.
  if (index == 0) {
    list_.push_back(owner);
    return;
  }
  if (index < 0 || index > Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  list_.insert(list_.begin() + index, owner);
}

void OwnerList::Append(TElement* owner) { list_.push_back(owner); }

void OwnerList::RemoveFirst(TElement* owner) {
  auto it = std::find(list_.begin(), list_.end(), owner);
  if (it != list_.end()) list_.erase(it);
}

bool OwnerList::Contains(const TElement* owner) const {
  return std::find(list_.begin(), list_.end(), owner) != list_.end();
}

TElement* OwnerList::TakeLast() {
  if (list_.empty()) return nullptr;
  TElement* last = list_.back();
  list_.pop_back();
  return last;
}

// --- traversal marks ----------------------------------------------------------

namespace {
std::int32_t currentMark = -1;
}

std::int32_t NewTraversalMark() {
  // Strictly decreasing from -2: never 0 (unvisited spatial objects),
  // never -1 (a fresh element), never a mark still lying in some ID.
  if (currentMark <= std::numeric_limits<std::int32_t>::min() + 1)
    currentMark = -2;
  else
    --currentMark;
  return currentMark;
}

std::int32_t CurrentTraversalMark() { return currentMark; }

}  // namespace zelto

// --- TOwnerElement ----------------------------------------------------------

ZELTO_IMPLEMENT_ELEMENT(TOwnerElement, TNameElement, ZELTO_NO_PROPERTIES)

TOwnerElement::~TOwnerElement() {
  // Out of every owner's child list, one entry per recorded add.
  while (owners_.Count() > 0) {
    TElement* owner = owners_.TakeLast();
    if (owner && owner->Is<TEntity>()) static_cast<TEntity*>(owner)->UnlinkChild(this);
  }
}

TElement* TOwnerElement::GetOwner(int index) const { return owners_.At(index); }

void TOwnerElement::InsertOwner(int index, TElement* owner) { owners_.Insert(index, owner); }

TElement* TOwnerElement::FindOwnerByClass(const TElementClass& cls) const {
  if (const auto* items = owners_.Items())
    for (TElement* o : *items)
      if (o && o->InheritsFrom(cls)) return o;
  return nullptr;
}

TElement* TOwnerElement::FindOwnerByName(const std::string& name) const {
  if (const auto* items = owners_.Items())
    for (TElement* o : *items)
      if (o && o->GetName() == name) return o;
  return nullptr;
}
