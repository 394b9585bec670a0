#include "framework/entity.h"

#include <algorithm>
#include <array>
#include <optional>
#include <unordered_set>

#include "framework/class_registry.h"
#include "framework/errors.h"
#include "framework/message_dispatch.h"
#include "framework/name_compare.h"
#include "framework/problem_report.h"
#include "framework/value_stream.h"
#include "framework/zelto_message.h"
#include "platform/user_interaction.h"

namespace {

[[noreturn]] void IndexError(int index) {
  throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

const std::vector<TElement*>& NoItems() {
  static const std::vector<TElement*> empty;
  return empty;
}

// Releasing more than this many children lets pending messages through once.
constexpr int kPumpThreshold = 200;

}  // namespace

ZELTO_IMPLEMENT_ELEMENT(TEntity, TElement, [](auto& p) {
  using E = TEntity;
  p.Object("NextElement", TElement::StaticClass(), nullptr, [](E& e, TElement* v) { e.Add(v); });
  p.Object("ElementToFree", TElement::StaticClass(), nullptr, [](E& e, TElement* v) { e.Delete(v); });
  p.Object("ElementToRemove", TElement::StaticClass(), nullptr, [](E& e, TElement* v) { e.Remove(v); });
  p.Object("AddAllFrom", TElement::StaticClass(), nullptr, [](E& e, TElement* v) {
    auto* from = dynamic_cast<TEntity*>(v);
    if (!from || from == &e) return;
    std::vector<TElement*> children = from->Items();
    for (TElement* child : children) e.Add(child);
  });
  p.Integer("WholeCount", [](E& e) { return e.WholeCount(); });
  p.Integer("Count", &E::GetCount);
  p.Integer("LastIndex", &E::GetLastIndex);
})

TEntity::~TEntity() {
  dying_ = true;
  FreeAll();
}

void TEntity::EnsureList() {
  if (!items_) items_ = std::make_unique<std::vector<TElement*>>();
}

void TEntity::Reserve(std::size_t count) {
  if (count == 0) return;
  EnsureList();
  items_->reserve(count);
}

const std::vector<TElement*>& TEntity::Items() const { return items_ ? *items_ : NoItems(); }

TElement* TEntity::GetItem(int index) const {
  if (!items_) return nullptr;
  if (index < 0 || index >= GetCount()) IndexError(index);
  return (*items_)[index];
}

void TEntity::PutItem(int index, TElement* element) {
  EnsureList();
  if (items_->empty() && index == 0) {
    items_->push_back(element);
    return;
  }
  if (index < 0 || index >= GetCount()) IndexError(index);
  (*items_)[index] = element;
}

int TEntity::IndexOf(const TElement* element) const {
  if (!items_) return -1;
  auto it = std::find(items_->begin(), items_->end(), element);
  return it == items_->end() ? -1 : static_cast<int>(it - items_->begin());
}

void TEntity::AppendItem(TElement* element) {
  EnsureList();
  items_->push_back(element);
}

void TEntity::Add(TElement* element) {
  if (!element) return;
  EnsureList();
  // Listed first: when the owner link cannot be made, the entry goes again
  // and neither side keeps half of the link.
  items_->push_back(element);
  try {
    element->AddOwner(this);
  } catch (...) {
    items_->pop_back();
    throw;
  }
}

void TEntity::AddAllOrNone(std::initializer_list<TElement*> elements) {
  std::size_t added = 0;
  try {
    for (TElement* element : elements) {
      Add(element);
      ++added;
    }
  } catch (...) {
    for (TElement* element : elements) {
      if (added-- == 0) break;
      Remove(element);
    }
    throw;
  }
}

void TEntity::AdoptElement(TElement* element) {
  try {
    Add(element);
  } catch (...) {
    delete element;
    throw;
  }
}

bool TEntity::InsertItem(int index, TElement* element) {
  if (!element) return false;
  if (!items_) {
    if (index != 0) return false;
    EnsureList();
  }
  if (index < 0 || index > GetCount()) IndexError(index);
  items_->insert(items_->begin() + index, element);
  return true;
}

void TEntity::Insert(int index, TElement* element) {
  if (!InsertItem(index, element)) return;
  try {
    element->AddOwner(this);
  } catch (...) {
    items_->erase(items_->begin() + index);
    throw;
  }
}

void TEntity::UnlinkChild(const TElement* element) {
  if (!items_) return;
  auto it = std::find(items_->begin(), items_->end(), element);
  if (it != items_->end()) items_->erase(it);
}

void TEntity::Remove(TElement* element) {
  if (!element || !items_) return;
  element->RemoveOwner(this);
  UnlinkChild(element);
}

void TEntity::Delete(TElement* element) {
  if (!element || !items_) return;
  auto it = std::find(items_->begin(), items_->end(), element);
  if (it == items_->end()) {
    // Not ours: nothing to take out, nothing to free.
    return;
  }
  items_->erase(it);
  if (!element->dying_ && element->CanBeFreed()) {
    // Listed here more than once: no entry may outlive the element.
    items_->erase(std::remove(items_->begin(), items_->end(), element), items_->end());
    delete element;
  } else {
    element->RemoveOwner(this);
  }
}

void TEntity::DeleteLastAdded(TElement* element) {
  if (!element || !items_ || items_->empty() || items_->back() != element) {
    Delete(element);
    return;
  }
  // Listed here once when its owner links name us once; anything else (no
  // owner links, added twice) takes the general way.
  int links = 0;
  for (int i = 0, n = element->GetOwnersCount(); i < n; ++i) links += element->GetOwner(i) == this;
  if (links != 1) {
    Delete(element);
    return;
  }
  items_->pop_back();
  if (!element->dying_ && element->CanBeFreed())
    delete element;
  else
    element->RemoveOwner(this);
}

namespace {

// Whether some child is listed twice. Most lists hold none, and then the
// release needs no bookkeeping of what it has dealt with: sorting a copy of
// the pointers costs far less than a hash set of them.
bool HasDuplicates(const std::vector<TElement*>& items) {
  const std::size_t n = items.size();
  if (n <= 16) {
    for (std::size_t i = 1; i < n; ++i)
      if (std::find(items.begin(), items.begin() + static_cast<std::ptrdiff_t>(i), items[i]) !=
          items.begin() + static_cast<std::ptrdiff_t>(i))
        return true;
    return false;
  }
  // The usual list (a line's vertices, an area's lines) is sorted on the
  // stack: a copy on the heap per freed entity is a large request each
  // time, and each makes the allocator sweep every small block freed since.
  constexpr std::size_t kOnStack = 512;
  if (n <= kOnStack) {
    std::array<TElement*, kOnStack> sorted;
    std::copy(items.begin(), items.end(), sorted.begin());
    std::sort(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(n));
    return std::adjacent_find(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(n)) !=
           sorted.begin() + static_cast<std::ptrdiff_t>(n);
  }
  std::vector<TElement*> sorted(items);
  std::sort(sorted.begin(), sorted.end());
  return std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end();
}

// Pointers already dealt with during a release. Most entities are small and
// hold no duplicates, so short lists are searched directly, in place: a
// release of a small entity allocates nothing.
class SeenSet {
 public:
  explicit SeenSet(std::size_t expected) : useHash_(expected > kSmall) {}
  bool Contains(TElement* e) const {
    if (useHash_) return hash_.count(e) != 0;
    const auto end = small_.begin() + static_cast<std::ptrdiff_t>(count_);
    return std::find(small_.begin(), end, e) != end;
  }
  void Insert(TElement* e) {
    if (useHash_)
      hash_.insert(e);
    else
      small_[count_++] = e;
  }

 private:
  static constexpr std::size_t kSmall = 32;
  bool useHash_;
  std::array<TElement*, kSmall> small_{};
  std::size_t count_ = 0;
  std::unordered_set<TElement*> hash_;
};

}  // namespace

void TEntity::FreeAll() {
  if (IsEmpty()) return;
  // Only a large release is worth the hourglass and a turn of the queue.
  std::optional<platform::BusyCursor> busy;
  if (GetCount() > kPumpThreshold) {
    busy.emplace();
    zelto::ProcessPendingMessages();
    if (!items_) return;
  }
  // The list is taken out first, so that children unlinking themselves while
  // they are destroyed (and handlers that look at us) see an empty entity.
  std::vector<TElement*> items;
  items.swap(*items_);
  if (!HasDuplicates(items)) {
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
      TElement* child = *it;
      if (!child || child->dying_) continue;
      if (child->CanBeFreed()) delete child;
      else child->RemoveOwner(this);
    }
    return;
  }
  // Each distinct child is decided once: freed, or unlinked once per entry.
  SeenSet freed(items.size());
  SeenSet kept(items.size());
  for (auto it = items.rbegin(); it != items.rend(); ++it) {
    TElement* child = *it;
    if (!child || freed.Contains(child) || child->dying_) continue;
    if (!kept.Contains(child) && child->CanBeFreed()) {
      freed.Insert(child);
      delete child;
      continue;
    }
    kept.Insert(child);
    child->RemoveOwner(this);
  }
}

TElement* TEntity::AddNew(const std::string& className, const std::string& name) {
  const TElementClass* cls = FindZeltoClass(className);
  if (!cls) return nullptr;
  TElement* element = cls->Create();
  if (!element) return nullptr;
  element->SetName(name);
  Add(element);
  return element;
}

TElement* TEntity::FindElementByClass(const TElementClass& cls) const {
  for (TElement* child : Items())
    if (child && child->InheritsFrom(cls)) return child;
  return nullptr;
}

TElement* TEntity::FindElementByName(const std::string& name) const {
  if (IsEmpty()) return nullptr;
  for (TElement* child : Items())
    if (child && zelto::SameTextLocale(child->GetName(), name)) return child;
  return nullptr;
}

TElement* TEntity::FindOrAddByName(const TElementClass& cls, const std::string& name) {
  if (TElement* found = FindElementByName(name)) return found;
  TElement* element = cls.Create();
  if (!element) return nullptr;
  element->SetName(name);
  Add(element);
  return element;
}

TElement* TEntity::FindOrCreateByName(const TElementClass& cls, const std::string& name) {
  std::string wanted = name.empty() ? std::string("no name") : name;
  if (TElement* found = FindElementByName(wanted)) return found;
  TElement* element = cls.Create();
  if (!element) return nullptr;
  element->SetName(wanted);
  InsertSortedByName(element);
  return element;
}

void TEntity::InsertSortedByName(TElement* element) {
  if (!element) return;
  std::string name = element->GetName();
  if (IsEmpty() || Items().back()->GetName() <= name) {
    Add(element);
    return;
  }
  const auto& items = Items();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i]->GetName() > name) {
      Insert(static_cast<int>(i), element);
      return;
    }
  }
  Add(element);
}

void TEntity::ReplaceChild(TElement*& field, TElement* element) {
  // The current value again: deleting it first would free what is then added.
  if (field == element) return;
  if (field) {
    TElement* old = field;
    field = nullptr;
    Delete(old);
  }
  // Freed when it cannot be added: the field never names what nobody owns.
  AdoptElement(element);
  field = element;
}

void TEntity::Clear() {
  if (!items_) return;
  std::vector<TElement*> items;
  items.swap(*items_);
  // A former child that outlives this entity must not name it as owner.
  if (LinksOwners())
    for (TElement* child : items)
      if (child) child->RemoveOwner(this);
}

void TEntity::DestroyAllChildren() {
  if (IsEmpty()) return;
  std::optional<platform::BusyCursor> busy;
  if (GetCount() > kPumpThreshold) {
    busy.emplace();
    zelto::ProcessPendingMessages();
    if (!items_) return;
  }
  std::vector<TElement*> items;
  items.swap(*items_);
  SeenSet done(items.size());
  for (auto it = items.rbegin(); it != items.rend(); ++it)
    if (*it && !done.Contains(*it)) {
      done.Insert(*it);
      delete *it;
    }
}

namespace {
int CountWhole(TEntity& e, std::int32_t mark) {
  e.ID = mark;
  int sum = e.GetCount();
  for (TElement* child : e.Items()) {
    if (!child || child->ID == mark) continue;
    if (auto* sub = dynamic_cast<TEntity*>(child))
      sum += CountWhole(*sub, mark);
    else
      child->ID = mark;
  }
  return sum;
}
}  // namespace

int TEntity::WholeCount() { return CountWhole(*this, zelto::NewTraversalMark()); }

int TEntity::MarkedSize() {
  std::int32_t mark = zelto::CurrentTraversalMark();
  ID = mark;
  int size = GetSize();
  for (TElement* child : Items())
    if (child && child->ID != mark) size += child->MarkedSize();
  return size;
}

void TEntity::Mark(std::int32_t mark) {
  ID = mark;
  for (TElement* child : Items())
    if (child && child->ID != mark) child->Mark(mark);
}

void TEntity::SubtreeHook() {
  std::vector<TElement*> children = Items();
  for (TElement* child : children)
    if (child) child->SubtreeHook();
}

void TEntity::HandleMessage(TZeltoMessage*& message, bool& handled) {
  // An entity does not hand messages down to its children.
  TElement::HandleMessage(message, handled);
}

void TEntity::ReadData(zelto::ValueReader& reader, TQuickEntity& loaded) {
  TElement::ReadData(reader, loaded);
  reader.ReadListBegin();
  while (!reader.EndOfList()) {
    int position = reader.ReadInteger();
    if (position < 0 || position >= loaded.GetCount())
      throw EListError("List index out of bounds (" + std::to_string(position) + ")");
    Add(loaded.GetItem(position));
  }
  reader.ReadListEnd();
}

void TEntity::WriteData(zelto::ValueWriter& writer) {
  TElement::WriteData(writer);
  writer.WriteListBegin();
  for (TElement* child : Items()) writer.WriteInteger(child ? child->ID : -1);
  writer.WriteListEnd();
}

TElement* TEntity::CreateEnvelope() {
  TElement* envelope = TElement::CreateEnvelope();
  auto* entity = dynamic_cast<TEntity*>(envelope);
  if (!entity) return envelope;
  std::vector<TElement*> children = Items();
  for (TElement* child : children) {
    if (!child) continue;
    if (child->IsOrphan())
      entity->Add(child->CreateEnvelope());
    else
      entity->Add(child);
  }
  return envelope;
}

TElement* TEntity::FindByNameOrAlias(const std::string& name) const {
  if (auto* aliases = FindElementByClass<TAliases>())
    if (TElement* hit = aliases->Lookup(name)) return hit;
  return FindElementByName(name);
}

void TEntity::BindAlias(const std::string& name, TElement* element) {
  auto* aliases = FindElementByClass<TAliases>();
  if (!aliases) {
    aliases = new TAliases();
    Add(aliases);
  }
  if (TElement* previous = aliases->Lookup(name)) {
    if (previous == element) return;
    Delete(previous);
  }
  aliases->SetAlias(name, element);
  Add(element);
}

// --- TQuickEntity -----------------------------------------------------------

ZELTO_IMPLEMENT_ELEMENT(TQuickEntity, TEntity, ZELTO_NO_PROPERTIES)

void TQuickEntity::Add(TElement* element) {
  if (element) AppendItem(element);
}

void TQuickEntity::Insert(int index, TElement* element) { InsertItem(index, element); }

// --- TEnvelopeEntity ---------------------------------------------------------

ZELTO_IMPLEMENT_ELEMENT(TEnvelopeEntity, TEntity, ZELTO_NO_PROPERTIES)

void TEnvelopeEntity::HandleMessage(TZeltoMessage*& message, bool& handled) {
  // Without an owner there is nobody to forward to: left unhandled.
  if (!owner_ || !message) return;
  message->SetReceiver(owner_);
  owner_->HandleMessage(message, handled);
}

TElement* TEnvelopeEntity::FindOwnerByClass(const TElementClass& cls) const {
  if (InheritsFrom(cls)) return const_cast<TEnvelopeEntity*>(this);
  if (owner_ && owner_->InheritsFrom(cls)) return owner_;
  return nullptr;
}

TElement* TEnvelopeEntity::FindUpwardByClass(const TElementClass& cls) {
  if (InheritsFrom(cls)) return this;
  if (!owner_) return nullptr;
  return owner_->FindUpwardByClass(cls);
}

// --- TNameEntity ------------------------------------------------------------

ZELTO_IMPLEMENT_ELEMENT(TNameEntity, TEntity, ZELTO_NO_PROPERTIES)

int TNameEntity::GetSize() const {
  return TEntity::GetSize() + (name_.empty() ? 0 : static_cast<int>(name_.size()) + 1);
}

std::string TNameEntity::GetName() const { return name_.empty() ? ClassName() : name_; }

void TNameEntity::ReadData(zelto::ValueReader& reader, TQuickEntity& loaded) {
  TEntity::ReadData(reader, loaded);
  SetName(reader.ReadString());
}

void TNameEntity::WriteData(zelto::ValueWriter& writer) {
  TEntity::WriteData(writer);
  writer.WriteString(GetName());
}

// --- TOwnerEntity -----------------------------------------------------------

ZELTO_IMPLEMENT_ELEMENT(TOwnerEntity, TNameEntity, ZELTO_NO_PROPERTIES)

TOwnerEntity::~TOwnerEntity() {
  while (owners_.Count() > 0) {
    TElement* owner = owners_.TakeLast();
    // Once per owner of every object released: the class chain answers
    // faster than a dynamic_cast.
    auto* entity = owner && owner->Is<TEntity>() ? static_cast<TEntity*>(owner) : nullptr;
    if (!entity) {
      zelto::ReportProblem("TOwnerEntity.Destroy: Špatný vlastník");
    } else if (!entity->IsEmpty()) {
      entity->UnlinkChild(this);
    }
  }
}

TElement* TOwnerEntity::GetOwner(int index) const {
  if (index < 0 || index >= owners_.Count()) return nullptr;
  TElement* owner = owners_.At(index);
  if (!owner) {
    zelto::ReportProblem("TOwnerEntity(" + GetName() + ").GetOwner: Objekt vlastníka je prázdný",
                         "TOwnerEntity.GetOwner: Objekt vlastníka je prázdný");
    return nullptr;
  }
  if (!owner->Is<TEntity>()) {
    zelto::ReportProblem("TOwnerEntity(" + GetName() + ").GetOwner: Objekt vlastníka není TEntity",
                         "TOwnerEntity.GetOwner: Objekt vlastníka není TEntity");
    return nullptr;
  }
  return owner;
}

void TOwnerEntity::InsertOwner(int index, TElement* owner) { owners_.Insert(index, owner); }

namespace {
TElement* ThroughEnvelope(TElement* owner) {
  // The class test, not a dynamic cast: asked of every owner of every line
  // a level looks up.
  if (owner && owner->Is<TEnvelopeEntity>()) return static_cast<TEnvelopeEntity*>(owner)->EnvelopeOwner();
  return owner;
}
}  // namespace

TElement* TOwnerEntity::FindOwnerByClass(const TElementClass& cls) const {
  if (const auto* items = owners_.Items())
    for (TElement* o : *items) {
      TElement* candidate = ThroughEnvelope(o);
      if (candidate && candidate->InheritsFrom(cls)) return candidate;
    }
  return nullptr;
}

TElement* TOwnerEntity::FindOwnerByName(const std::string& name) const {
  if (const auto* items = owners_.Items())
    for (TElement* o : *items) {
      TElement* candidate = ThroughEnvelope(o);
      if (candidate && candidate->GetName() == name) return candidate;
    }
  return nullptr;
}

// --- aliases ----------------------------------------------------------------

ZELTO_IMPLEMENT_ELEMENT(TAliasElement, TOwnerElement, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TAliases, TEntity, ZELTO_NO_PROPERTIES)

TElement* TAliases::Lookup(const std::string& name) const {
  auto* alias = dynamic_cast<TAliasElement*>(FindElementByName(name));
  return alias ? alias->Element() : nullptr;
}

void TAliases::SetAlias(const std::string& name, TElement* element) {
  if (!element) return;
  auto* alias = dynamic_cast<TAliasElement*>(FindElementByName(name));
  if (!alias) {
    alias = new TAliasElement();
    alias->SetName(name);
    Add(alias);
  }
  alias->SetElement(element);
}

// --- registration -----------------------------------------------------------

void RegisterElementClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterZeltoClass(TElement::StaticClass());
  RegisterZeltoClass(TNameElement::StaticClass());
  RegisterZeltoClass(TOwnerElement::StaticClass());
  RegisterZeltoClass(TEntity::StaticClass());
  RegisterZeltoClass(TNameEntity::StaticClass());
  RegisterZeltoClass(TOwnerEntity::StaticClass());
  RegisterZeltoClass(TEnvelopeEntity::StaticClass());
  RegisterZeltoClass(TZeltoMessage::StaticClass());
  RegisterZeltoClass(TZeltoClass::StaticClass());
  RegisterZeltoClass(TZeltoClassProperty::StaticClass());
}
