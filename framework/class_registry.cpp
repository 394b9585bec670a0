#include "framework/class_registry.h"

#include "framework/errors.h"
#include "framework/name_compare.h"
#include "framework/problem_report.h"

int CompareClassNames(const std::string& a, const std::string& b) { return zelto::CompareTextLocale(a, b); }

// --- TZeltoClass ------------------------------------------------------------

ZELTO_IMPLEMENT_ELEMENT(TZeltoClass, TOwnerEntity, [](auto& p) {
  using C = TZeltoClass;
  p.String("ElementClassName", &C::ElementClassName);
  p.String("AncestorClassName", &C::AncestorClassName);
  p.Integer("PropCount", &C::PropCount);
})

void TZeltoClass::SetElementClass(const TElementClass* cls) {
  class_ = cls;
  if (cls) SetName(cls->ClassName());
}

void TZeltoClass::BuildPropertyList() {
  FreeAll();
  for (int i = 0; i < PropCount(); ++i) {
    auto* prop = new TZeltoClassProperty();
    prop->SetInfo(PropInfo(i));
    prop->PropIndex = i;
    Add(prop);
  }
}

int TZeltoClass::IndexOfProperty(const std::string& name) const {
  for (int i = 0; i < PropCount(); ++i)
    if (zelto::SameTextLocale(PropName(i), name)) return i;
  return -1;
}

const TPropInfo* TZeltoClass::PropInfo(int index) const { return class_ ? class_->Property(index) : nullptr; }

std::string TZeltoClass::PropName(int index) const {
  const TPropInfo* info = PropInfo(index);
  return info ? info->Name : std::string();
}

TTypeKind TZeltoClass::PropKind(int index) const {
  const TPropInfo* info = PropInfo(index);
  return info ? info->Kind : TTypeKind::tkUnknown;
}

const TElementClass* TZeltoClass::PropClass(int index) const {
  const TPropInfo* info = PropInfo(index);
  return info && info->Kind == TTypeKind::tkClass ? info->ObjectClass : nullptr;
}

bool TZeltoClass::IsReadOnlyProp(int index) const {
  const TPropInfo* info = PropInfo(index);
  if (!info) return true;
  return !(info->HasGetter() && info->HasSetter());
}

bool TZeltoClass::IsStoredProp(int index) const {
  const TPropInfo* info = PropInfo(index);
  return info ? info->IsStoredStatic() : true;
}

std::string TZeltoClass::AncestorClassName() const {
  return class_ && class_->ClassParent() ? class_->ClassParent()->ClassName() : std::string();
}

// --- TZeltoInstance ---------------------------------------------------------

ZELTO_IMPLEMENT_ELEMENT(TZeltoInstance, TZeltoClass, ZELTO_NO_PROPERTIES)

void TZeltoInstance::SetInstance(TElement* object) {
  instance_ = object;
  SetElementClass(object ? &object->ClassType() : nullptr);
}

bool TZeltoInstance::IsStoredProp(int index) const {
  const TPropInfo* info = PropInfo(index);
  if (!info || !instance_) return false;
  return info->IsStored(*instance_);
}

void TZeltoInstance::SetOrdValue(int index, std::int64_t value) {
  const TPropInfo* info = PropInfo(index);
  if (info && instance_ && info->SetOrd) info->SetOrd(*instance_, value);
}

void TZeltoInstance::SetFloatValue(int index, double value) {
  const TPropInfo* info = PropInfo(index);
  if (info && instance_ && info->SetFloat) info->SetFloat(*instance_, value);
}

void TZeltoInstance::SetStrValue(int index, const std::string& value) {
  const TPropInfo* info = PropInfo(index);
  if (info && instance_ && info->SetStr) info->SetStr(*instance_, value);
}

void TZeltoInstance::SetObjValue(int index, TElement* value) {
  const TPropInfo* info = PropInfo(index);
  if (!info || !instance_ || !info->SetObj) return;
  if (value && info->ObjectClass && !value->InheritsFrom(*info->ObjectClass)) return;
  info->SetObj(*instance_, value);
}

// --- TZeltoClassProperty ----------------------------------------------------

ZELTO_IMPLEMENT_ELEMENT(TZeltoClassProperty, TNameElement, [](auto& p) {
  using C = TZeltoClassProperty;
  p.Integer("PropIndex", &C::PropIndex, &C::PropIndex);
  p.Boolean("LostProperty", &C::LostProperty, &C::LostProperty);
  p.Integer("TypeKind", [](C& c) { return static_cast<int>(c.TypeKind()); });
})

void TZeltoClassProperty::SetInfo(const TPropInfo* info) {
  info_ = info;
  if (info) SetName(info->Name);
}

TTypeKind TZeltoClassProperty::TypeKind() const {
  if (LostProperty) return StoredKind;
  return info_ ? info_->Kind : TTypeKind::tkUnknown;
}

// --- TZeltoClasses ----------------------------------------------------------

ZELTO_IMPLEMENT_ELEMENT(TZeltoClasses, TOwnerEntity, [](auto& p) {
  using C = TZeltoClasses;
  p.Boolean("ShowProperties", &C::ShowProperties, &C::ShowProperties);
  p.Boolean("SortByName", [](C&) { return false; }, [](C&, bool) {});
})

int TZeltoClasses::Search(const std::string& name, bool& found) const {
  found = false;
  int count = GetCount();
  if (count == 0) return 0;
  auto nameAt = [this](int i) { return GetItem(i)->GetName(); };
  int c = CompareClassNames(name, nameAt(count - 1));
  if (c > 0) return count;
  if (c == 0) {
    found = true;
    return count - 1;
  }
  if (count == 1) return 0;
  c = CompareClassNames(name, nameAt(0));
  if (c < 0) return 0;
  if (c == 0) {
    found = true;
    return 0;
  }
  // Invariant: name(lo) < name < name(hi).
  int lo = 0, hi = count - 1;
  while (hi - lo >= 2) {
    int mid = lo + (hi - lo) / 2;
    c = CompareClassNames(name, nameAt(mid));
    if (c == 0) {
      found = true;
      return mid;
    }
    if (c < 0)
      hi = mid;
    else
      lo = mid;
  }
  return hi;
}

void TZeltoClasses::File(TZeltoClass* entry) {
  bool found = false;
  int pos = Search(entry->GetName(), found);
  if (found) ++pos;  // a second registration sits right after the first
  if (pos >= GetCount())
    Add(entry);
  else
    Insert(pos, entry);
  current_ = entry;
}

TZeltoClass* TZeltoClasses::RegisterClass(const TElementClass& cls) {
  auto* entry = new TZeltoClass();
  entry->SetElementClass(&cls);
  entry->ID = counter_++;
  if (ShowProperties) entry->BuildPropertyList();
  File(entry);
  return entry;
}

void TZeltoClasses::AddClassEntry(TZeltoClass* entry) {
  if (!entry) return;
  File(entry);
  entry->ID = counter_++;
}

TZeltoClass* TZeltoClasses::FindClassEntry(const std::string& name) {
  bool found = false;
  int pos = Search(name, found);
  if (!found) return nullptr;
  current_ = static_cast<TZeltoClass*>(GetItem(pos));
  return current_;
}

const TElementClass* TZeltoClasses::FindClass(const std::string& name) {
  TZeltoClass* entry = FindClassEntry(name);
  return entry ? entry->ElementClass() : nullptr;
}

const TElementClass* TZeltoClasses::GetClass(const std::string& name) {
  const TElementClass* cls = FindClass(name);
  if (!cls) throw EClassNotFound("Zelto nenašel třídu " + name);
  return cls;
}

// --- program-wide functions -------------------------------------------------

TZeltoClasses& ZeltoClasses() {
  static TZeltoClasses* registry = [] {
    auto* r = new TZeltoClasses();
    r->ShowProperties = true;
    return r;
  }();
  return *registry;
}

void RegisterZeltoClass(const TElementClass& cls) { ZeltoClasses().RegisterClass(cls); }

const TElementClass* FindZeltoClass(const std::string& name) { return ZeltoClasses().FindClass(name); }

const TElementClass* GetZeltoClass(const std::string& name) { return ZeltoClasses().GetClass(name); }

TElement* CreateElementByClassName(const std::string& name) {
  const TElementClass* cls = FindZeltoClass(name);
  std::string prefixed = "T" + name;
  if (!cls) cls = FindZeltoClass(prefixed);
  if (cls)
    if (TElement* element = cls->Create()) return element;
  zelto::ReportProblem("Neregistrovaný element: " + prefixed);
  return nullptr;
}
