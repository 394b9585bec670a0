#include "render/interpret_script.h"

#include <vector>

#include "framework/class_registry.h"
#include "framework/name_compare.h"

ZELTO_IMPLEMENT_ELEMENT(TISInstance, TOwnerEntity, [](auto& p) {
  using E = TISInstance;
  p.Object("Element", TElement::StaticClass(), &E::GetElement, &E::SetElement);
  p.Object("Interpret", TInterpret::StaticClass(), &E::GetInterpret,
           [](E& e, TElement* v) { e.SetInterpret(v && v->Is<TInterpret>() ? static_cast<TInterpret*>(v) : nullptr); });
})
ZELTO_IMPLEMENT_ELEMENT(TISInstances, TOwnerEntity, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TISClass, TISInstance, [](auto& p) {
  using E = TISClass;
  p.String("ElementClassName", &E::GetElementClassName, &E::SetElementClassName);
  p.Object("NextInstance", TISInstance::StaticClass(), nullptr,
           [](E& e, TElement* v) {
             if (v && v->Is<TISInstance>() && !v->Is<TISClass>()) e.AddInstance(static_cast<TISInstance*>(v));
           });
  p.Object("NextClass", TISClass::StaticClass(), nullptr,
           [](E& e, TElement* v) {
             if (v && v->Is<TISClass>()) e.AddClassNode(static_cast<TISClass*>(v));
           });
})
ZELTO_IMPLEMENT_ELEMENT(TInterpretScript, TISClass, [](auto& p) {
  using E = TInterpretScript;
  p.Integer("Error", &E::Error, &E::Error);
  p.Boolean("IsError", &E::IsError);
  p.Object("ActualItem", TISInstance::StaticClass(), &E::GetActualItem);
  p.Object("NewElement", TElement::StaticClass(), nullptr, &E::SetNewElement);
  p.String("NewClassName", nullptr, &E::SetNewClassName);
  p.Object("FindElement", TElement::StaticClass(), nullptr, &E::SetFindElement);
  p.String("FindClassName", nullptr, &E::SetFindClassName);
  p.String("FindInterpretName", nullptr, &E::SetFindInterpretName);
  p.Object("ActualElement", TElement::StaticClass(), &E::GetActualElement, &E::SetActualElement);
  p.String("ActualClassName", &E::GetActualClassName, &E::SetActualClassName);
  p.Object("ActualInterpret", TInterpret::StaticClass(), &E::GetActualInterpret,
           [](E& e, TElement* v) {
             e.SetActualInterpret(v && v->Is<TInterpret>() ? static_cast<TInterpret*>(v) : nullptr);
           });
  p.String("ActualInterpretName", &E::GetActualInterpretName, &E::SetActualInterpretName);
  p.Boolean("DeleteActualItem", nullptr, &E::SetDeleteActualItem);
  p.Integer("PassesCount", &E::GetPassesCount, &E::SetPassesCount);
  p.Integer("Pass", &E::GetPass, &E::SetPass);
})

namespace {
bool isClassNode(const TElement* e) { return e && e->Is<TISClass>(); }
bool isRule(const TElement* e) { return e && e->Is<TISInstance>(); }

std::vector<TISInstance*> rulesOf(const TISInstances* list) {
  std::vector<TISInstance*> rules;
  if (!list) return rules;
  for (TElement* e : list->Items())
    if (isRule(e)) rules.push_back(static_cast<TISInstance*>(e));
  return rules;
}

// The registered class of that name, "T" tried in front as the registry
// does for element creation.
const TElementClass* registeredClass(const std::string& name) {
  if (name.empty()) return nullptr;
  if (const TElementClass* cls = FindZeltoClass(name)) return cls;
  return FindZeltoClass("T" + name);
}

TInterpret* newInterpret(const std::string& name) {
  const TElementClass* cls = registeredClass(name);
  if (!cls || !cls->InheritsFrom(TInterpret::StaticClass())) return nullptr;
  return static_cast<TInterpret*>(cls->Create());
}

// Takes the rule out of every rule list that holds it.
void unfile(TISInstance* rule) {
  for (int i = rule->GetOwnersCount() - 1; i >= 0; --i) {
    TElement* owner = rule->GetOwner(i);
    if (owner && owner->Is<TISInstances>()) static_cast<TISInstances*>(owner)->Remove(rule);
  }
}
}  // namespace

// ---- TISInstance ----

void TISInstance::SetInterpret(TInterpret* interpret) {
  if (interpret == interpret_) return;
  ReplaceChild(interpret_, interpret);
  UpdateName();
}

void TISInstance::SetElement(TElement* element) {
  element_.Set(element);
  UpdateName();
}

bool TISInstance::Matches(TElement* element) { return element && element == GetElement(); }

bool TISInstance::MatchesClass(const TElementClass* cls) {
  TElement* element = GetElement();
  return cls && element && &element->ClassType() == cls;
}

TInterpret* TISInstance::InterpretFor(TElement* element) {
  return Matches(element) ? interpret_ : nullptr;
}

void TISInstance::BeginOnDevice(TDevice* device) {
  if (interpret_) interpret_->BeginOnDevice(device);
}

void TISInstance::EndOnDevice() {
  if (interpret_) interpret_->EndOnDevice();
}

std::string TISInstance::InterpretNamePart() const {
  return interpret_ ? interpret_->GetName() : std::string();
}

void TISInstance::UpdateName() {
  std::string name;
  if (TElement* element = GetElement()) name = element->GetName() + "(" + element->ClassName() + ")";
  SetName(name + ":" + InterpretNamePart());
}

// ---- TISClass ----

TISClass::TISClass() { SetElementClass(&TElement::StaticClass()); }

TISInstances* TISClass::GetRules() {
  if (!rules_) rules_ = FindElementByClass<TISInstances>();
  if (!rules_) {
    rules_ = new TISInstances();
    Add(rules_);
  }
  return rules_;
}

void TISClass::SetElementClass(const TElementClass* cls) {
  class_ = cls;
  UpdateName();
}

void TISClass::SetElementClassName(const std::string& name) {
  if (const TElementClass* cls = registeredClass(name)) SetElementClass(cls);
}

bool TISClass::Matches(TElement* element) { return element && class_ && element->InheritsFrom(*class_); }

bool TISClass::MatchesClass(const TElementClass* cls) { return cls && class_ && cls->InheritsFrom(*class_); }

TInterpret* TISClass::InterpretFor(TElement* element) {
  if (!Matches(element)) return nullptr;
  TInterpret* result = GetInterpret();
  if (&element->ClassType() == class_) return result;
  // The first matching rule decides, even when it names no interpret: a
  // node without interpret hides what it catches.
  // Asked for every element drawn: no copy of the list.
  if (const TISInstances* rules = PeekRules())
    for (TElement* e : rules->Items())
      if (isRule(e) && static_cast<TISInstance*>(e)->Matches(element))
        return static_cast<TISInstance*>(e)->InterpretFor(element);
  return result;
}

void TISClass::BeginOnDevice(TDevice* device) {
  TISInstance::BeginOnDevice(device);
  for (TISInstance* rule : rulesOf(PeekRules())) rule->BeginOnDevice(device);
}

void TISClass::EndOnDevice() {
  TISInstance::EndOnDevice();
  for (TISInstance* rule : rulesOf(PeekRules())) rule->EndOnDevice();
}

void TISClass::UpdateName() { SetName("(" + GetElementClassName() + "):" + InterpretNamePart()); }

void TISClass::AddInstance(TISInstance* rule) {
  if (!rule) return;
  TElement* element = rule->GetElement();
  const std::vector<TISInstance*> rules = rulesOf(PeekRules());
  for (auto it = rules.rbegin(); it != rules.rend() && rule->IsOrphan(); ++it)
    if (isClassNode(*it) && (*it)->Matches(element)) static_cast<TISClass*>(*it)->AddInstance(rule);
  if (rule->IsOrphan()) GetRules()->Add(rule);
}

void TISClass::AddClassNode(TISClass* node) {
  if (!node || node == this) return;
  const TElementClass* cls = node->GetElementClass();
  const std::vector<TISInstance*> rules = rulesOf(PeekRules());
  for (auto it = rules.rbegin(); it != rules.rend(); ++it) {
    TISInstance* rule = *it;
    if (rule == node) continue;
    if (!isClassNode(rule)) {
      if (node->Matches(rule->GetElement())) {
        PeekRules()->Remove(rule);
        node->GetRules()->Add(rule);
      }
      continue;
    }
    auto* child = static_cast<TISClass*>(rule);
    if (node->MatchesClass(child->GetElementClass())) {
      PeekRules()->Remove(child);
      node->GetRules()->Add(child);
    } else if (node->IsOrphan() && child->MatchesClass(cls)) {
      child->AddClassNode(node);
    }
  }
  if (node->IsOrphan()) GetRules()->Add(node);
}

// ---- TInterpretScript ----

TInterpretScript::TInterpretScript() { UpdateName(); }

void TInterpretScript::UpdateName() { SetName("Interpret Script"); }

TISInstances* TInterpretScript::PassAt(std::int32_t index) const {
  std::int32_t n = 0;
  for (TElement* e : Items()) {
    if (!e || !e->Is<TISInstances>()) continue;
    if (n++ == index) return static_cast<TISInstances*>(e);
  }
  return nullptr;
}

std::int32_t TInterpretScript::GetPassesCount() const {
  std::int32_t n = 0;
  for (TElement* e : Items())
    if (e && e->Is<TISInstances>()) ++n;
  return n;
}

void TInterpretScript::SetPassesCount(std::int32_t count) {
  Error = kNoError;
  if (count < 0) return;
  while (GetPassesCount() < count) {
    auto* pass = new TISInstances();
    pass->SetName("Pass " + std::to_string(GetPassesCount()));
    Add(pass);
  }
  while (GetPassesCount() > count) Delete(PassAt(GetPassesCount() - 1));
  if (pass_ >= GetPassesCount()) pass_ = -1;
}

void TInterpretScript::SelectPass(std::int32_t index) {
  if (GetPassesCount() == 0) {
    const std::int32_t keep = Error;
    SetPassesCount(1);
    Error = keep;
  }
  if (index < 0 || index >= GetPassesCount()) {
    Error = kPassOutOfRange;
    index = 0;
  }
  pass_ = index;
}

void TInterpretScript::SetPass(std::int32_t index) {
  Error = kNoError;
  SelectPass(index);
}

TISInstances* TInterpretScript::PeekRules() const { return pass_ >= 0 ? PassAt(pass_) : nullptr; }

TISInstances* TInterpretScript::GetRules() {
  if (pass_ < 0 || !PassAt(pass_)) SelectPass(0);
  return PassAt(pass_);
}

void TInterpretScript::Refile(TISInstance* rule) {
  unfile(rule);
  if (rule->Is<TISClass>())
    AddClassNode(static_cast<TISClass*>(rule));
  else
    AddInstance(rule);
}

void TInterpretScript::SetNewElement(TElement* element) {
  Error = kNoError;
  if (!element) return;
  auto* rule = new TISInstance();
  rule->SetElement(element);
  actual_.Set(rule);
  AddInstance(rule);
}

void TInterpretScript::SetNewClassName(const std::string& name) {
  Error = kNoError;
  const TElementClass* cls = registeredClass(name);
  if (!cls) {
    Error = kClassNotRegistered;
    return;
  }
  auto* node = new TISClass();
  node->SetElementClass(cls);
  actual_.Set(node);
  AddClassNode(node);
}

namespace {
template <class Pred>
TISInstance* findDepthFirst(TISInstances* rules, const Pred& pred) {
  for (TISInstance* rule : rulesOf(rules)) {
    if (pred(rule)) return rule;
    if (isClassNode(rule))
      if (TISInstance* hit = findDepthFirst(static_cast<TISClass*>(rule)->GetRules(), pred)) return hit;
  }
  return nullptr;
}
}  // namespace

void TInterpretScript::SetFindElement(TElement* element) {
  Error = kNoError;
  TISInstance* hit = element ? findDepthFirst(GetRules(), [element](TISInstance* r) {
    return !isClassNode(r) && r->GetElement() == element;
  }) : nullptr;
  actual_.Set(hit);
  if (!hit) Error = kNotFound;
}

void TInterpretScript::SetFindClassName(const std::string& name) {
  Error = kNoError;
  actual_.Set(nullptr);
  const TElementClass* cls = registeredClass(name);
  if (!cls) {
    Error = kClassNotRegistered;
    return;
  }
  TISClass* deepest = nullptr;
  TISInstances* rules = GetRules();
  for (bool descended = true; descended;) {
    descended = false;
    for (TISInstance* rule : rulesOf(rules)) {
      if (isClassNode(rule) && rule->MatchesClass(cls)) {
        deepest = static_cast<TISClass*>(rule);
        rules = deepest->GetRules();
        descended = true;
        break;
      }
    }
  }
  actual_.Set(deepest);
  if (!deepest) Error = kNotFound;
}

void TInterpretScript::SetFindInterpretName(const std::string& name) {
  Error = kNoError;
  TISInstance* hit = findDepthFirst(GetRules(), [&name](TISInstance* r) {
    return r->GetInterpret() && zelto::SameTextLocale(r->GetInterpret()->GetName(), name);
  });
  actual_.Set(hit);
  if (!hit) Error = kNotFound;
}

TElement* TInterpretScript::GetActualElement() {
  Error = kNoError;
  if (AtRoot()) {
    Error = kNeedsRule;
    return nullptr;
  }
  return GetActualItem()->GetElement();
}

void TInterpretScript::SetActualElement(TElement* element) {
  Error = kNoError;
  TISInstance* rule = GetActualItem();
  if (AtRoot() || isClassNode(rule)) {
    Error = kNeedsRule;
    return;
  }
  if (!element) {
    Error = kNilElement;
    return;
  }
  rule->SetElement(element);
  Refile(rule);
}

std::string TInterpretScript::GetActualClassName() {
  Error = kNoError;
  if (AtRoot()) {
    Error = kNeedsRule;
    return std::string();
  }
  TISInstance* rule = GetActualItem();
  return isClassNode(rule) ? static_cast<TISClass*>(rule)->GetElementClassName() : std::string("NIL");
}

void TInterpretScript::SetActualClassName(const std::string& name) {
  Error = kNoError;
  TISInstance* rule = GetActualItem();
  if (AtRoot() || !isClassNode(rule)) {
    Error = kNeedsRule;
    return;
  }
  const TElementClass* cls = registeredClass(name);
  if (!cls) {
    Error = kClassNotRegistered;
    return;
  }
  auto* node = static_cast<TISClass*>(rule);
  node->SetElementClass(cls);
  Refile(node);
}

TInterpret* TInterpretScript::GetActualInterpret() {
  Error = kNoError;
  if (AtRoot()) {
    Error = kNeedsRule;
    return nullptr;
  }
  return GetActualItem()->GetInterpret();
}

void TInterpretScript::SetActualInterpret(TInterpret* interpret) {
  Error = kNoError;
  if (AtRoot()) {
    Error = kNeedsRule;
    return;
  }
  GetActualItem()->SetInterpret(interpret);
}

std::string TInterpretScript::GetActualInterpretName() {
  Error = kNoError;
  if (AtRoot()) {
    Error = kNeedsRule;
    return std::string();
  }
  TInterpret* interpret = GetActualItem()->GetInterpret();
  if (!interpret) {
    Error = kNoInterpret;
    return std::string();
  }
  return interpret->GetName();
}

void TInterpretScript::SetActualInterpretName(const std::string& name) {
  Error = kNoError;
  if (AtRoot()) {
    Error = kNeedsRule;
    return;
  }
  TInterpret* interpret = newInterpret(name);
  if (!interpret) Error = kClassNotRegistered;
  GetActualItem()->SetInterpret(interpret);
}

void TInterpretScript::SetDeleteActualItem(bool) {
  Error = kNoError;
  if (!AtRoot()) {
    TISInstance* rule = GetActualItem();
    unfile(rule);
    delete rule;
  }
  actual_.Set(nullptr);
  Error = kNeedsRule;
}

void RegisterInterpretScriptClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  for (const TElementClass* cls : {&TISInstance::StaticClass(), &TISInstances::StaticClass(),
                                   &TISClass::StaticClass(), &TInterpretScript::StaticClass()})
    RegisterZeltoClass(*cls);
}
