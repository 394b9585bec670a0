#pragma once
// Interpret scripts: a rule tree that picks the interpret drawing each
// element. Rules hang on element classes (and their descendants) and on
// single elements; the deepest class node that matches an element decides,
// and instance rules are asked only under a node whose class is a proper
// ancestor of the element's class. The root holds several passes, each a
// rule list of its own, drawn one after another.
#include <cstdint>
#include <string>

#include "framework/entity.h"
#include "render/interpret.h"

class TISInstances;

// A rule for one element.
class TISInstance : public TOwnerEntity {
  ZELTO_ELEMENT(TISInstance)
 public:
  virtual TInterpret* GetInterpret() const { return interpret_; }
  // Owned as a child (an interpret shared by several rules is owned by
  // each); the previous one is deleted from the children.
  virtual void SetInterpret(TInterpret* interpret);
  virtual bool Matches(TElement* element);
  virtual bool MatchesClass(const TElementClass* cls);
  virtual TInterpret* InterpretFor(TElement* element);
  virtual void BeginOnDevice(TDevice* device);
  virtual void EndOnDevice();
  virtual void UpdateName();

  TElement* GetElement() const { return element_.Get(); }
  void SetElement(TElement* element);

 protected:
  std::string InterpretNamePart() const;

 private:
  TInterpret* interpret_ = nullptr;  // a child
  TElementRef element_;
};

// An ordered list of rules.
class TISInstances : public TOwnerEntity {
  ZELTO_ELEMENT(TISInstances)
};

// A rule for an element class and its descendants, with more specific rules
// below it.
class TISClass : public TISInstance {
  ZELTO_ELEMENT(TISClass)
 public:
  TISClass();

  // Created on first use and owned as a child.
  virtual TISInstances* GetRules();
  virtual void AddInstance(TISInstance* rule);
  virtual void AddClassNode(TISClass* node);
  void SetNextClass(TISClass* node) { AddClassNode(node); }
  void SetNextInstance(TISInstance* rule) { AddInstance(rule); }

  bool Matches(TElement* element) override;
  bool MatchesClass(const TElementClass* cls) override;
  TInterpret* InterpretFor(TElement* element) override;
  void BeginOnDevice(TDevice* device) override;
  void EndOnDevice() override;
  void UpdateName() override;

  const TElementClass* GetElementClass() const { return class_; }
  void SetElementClass(const TElementClass* cls);
  std::string GetElementClassName() const { return class_ ? class_->ClassName() : std::string(); }
  // Unregistered names leave the class as it was.
  void SetElementClassName(const std::string& name);

 protected:
  // The rule list if it exists, without creating it.
  // A node read from a model file finds its list among its children.
  virtual TISInstances* PeekRules() const { return rules_ ? rules_ : FindElementByClass<TISInstances>(); }

 private:
  TISInstances* rules_ = nullptr;  // a child
  const TElementClass* class_ = nullptr;
};

// The root of the tree, for TElement; its children are the passes.
class TInterpretScript : public TISClass {
  ZELTO_ELEMENT(TInterpretScript)
 public:
  enum : std::int32_t {
    kNoError = 0,
    kNotFound = 1,
    kClassNotRegistered = 2,
    kNeedsRule = 3,
    kNilElement = 4,
    kNoInterpret = 5,
    kPassOutOfRange = 8,
  };

  TInterpretScript();

  std::int32_t Error = 0;
  bool IsError() const { return Error > 0; }

  // The rules of the selected pass; pass 0 is selected when none is.
  TISInstances* GetRules() override;
  void UpdateName() override;

  TISInstance* GetActualItem() {
    auto* rule = static_cast<TISInstance*>(actual_.Get());
    return rule ? rule : this;
  }

  void SetNewElement(TElement* element);
  void SetNewClassName(const std::string& name);
  void SetFindElement(TElement* element);
  void SetFindClassName(const std::string& name);
  void SetFindInterpretName(const std::string& name);
  TElement* GetActualElement();
  void SetActualElement(TElement* element);
  std::string GetActualClassName();
  void SetActualClassName(const std::string& name);
  TInterpret* GetActualInterpret();
  void SetActualInterpret(TInterpret* interpret);
  std::string GetActualInterpretName();
  void SetActualInterpretName(const std::string& name);
  void SetDeleteActualItem(bool);

  std::int32_t GetPassesCount() const;
  void SetPassesCount(std::int32_t count);
  std::int32_t GetPass() const { return pass_; }
  // Selects the pass whose rules the root uses.
  void SetPass(std::int32_t index);

 protected:
  TISInstances* PeekRules() const override;

 private:
  TISInstances* PassAt(std::int32_t index) const;
  void SelectPass(std::int32_t index);
  bool AtRoot() { return GetActualItem() == this; }
  // Takes the rule out of whatever list holds it and files it again from
  // the root.
  void Refile(TISInstance* rule);

  TElementRef actual_;  // a rule freed elsewhere reads as the root
  std::int32_t pass_ = -1;
};

void RegisterInterpretScriptClasses();
