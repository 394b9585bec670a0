#pragma once
// The class registry: element classes by name, sorted, looked up ignoring
// letter case. Every unit registers its classes at start; model files,
// scripts and tool models create elements only by class name.
#include <string>

#include "framework/entity.h"

class TZeltoClassProperty;

// One registered class; named after it, its ID is the registration number.
class TZeltoClass : public TOwnerEntity {
  ZELTO_ELEMENT(TZeltoClass)
 public:
  const TElementClass* ElementClass() const { return class_; }
  // Binds the entry to a class (nullptr describes nothing) and names it.
  void SetElementClass(const TElementClass* cls);
  // One TZeltoClassProperty child per published property, after FreeAll.
  virtual void BuildPropertyList();
  // Case-insensitive; -1 when none.
  virtual int IndexOfProperty(const std::string& name) const;
  virtual bool IsStoredProp(int index) const;
  int PropCount() const { return class_ ? class_->PropertyCount() : 0; }
  std::string PropName(int index) const;
  TTypeKind PropKind(int index) const;
  const TElementClass* PropClass(int index) const;
  const TPropInfo* PropInfo(int index) const;
  bool IsReadOnlyProp(int index) const;
  std::string ElementClassName() const { return class_ ? class_->ClassName() : std::string(); }
  std::string AncestorClassName() const;

 private:
  const TElementClass* class_ = nullptr;
};

// A class entry bound to one object, through which a loader writes raw
// property values by position.
class TZeltoInstance : public TZeltoClass {
  ZELTO_ELEMENT(TZeltoInstance)
 public:
  TElement* Instance() const { return instance_; }
  void SetInstance(TElement* object);
  bool IsStoredProp(int index) const override;
  // Raw writes by kind; a kind the property does not have is ignored.
  void SetOrdValue(int index, std::int64_t value);
  void SetFloatValue(int index, double value);
  void SetStrValue(int index, const std::string& value);
  void SetObjValue(int index, TElement* value);

 private:
  TElement* instance_ = nullptr;
};

// One published property of a registered class (or one that a model file
// names and the class no longer has: a lost property).
class TZeltoClassProperty : public TNameElement {
  ZELTO_ELEMENT(TZeltoClassProperty)
 public:
  const TPropInfo* Info() const { return info_; }
  void SetInfo(const TPropInfo* info);
  std::int32_t PropIndex = -1;
  bool LostProperty = false;
  TTypeKind StoredKind = TTypeKind::tkUnknown;
  TTypeKind TypeKind() const;

 private:
  const TPropInfo* info_ = nullptr;
};

class TZeltoClasses : public TOwnerEntity {
  ZELTO_ELEMENT(TZeltoClasses)
 public:
  bool ShowProperties = false;

  virtual TZeltoClass* RegisterClass(const TElementClass& cls);
  virtual void AddClassEntry(TZeltoClass* entry);
  virtual TZeltoClass* FindClassEntry(const std::string& name);
  virtual const TElementClass* FindClass(const std::string& name);
  // Raises EClassNotFound "Zelto nenašel třídu " + name.
  virtual const TElementClass* GetClass(const std::string& name);
  TZeltoClass* CurrentEntry() const { return current_; }
  TZeltoClass* EntryAt(int index) const { return static_cast<TZeltoClass*>(GetItem(index)); }

 private:
  // Position of the name, or where it belongs (found tells which).
  int Search(const std::string& name, bool& found) const;
  void File(TZeltoClass* entry);

  TZeltoClass* current_ = nullptr;
  std::int32_t counter_ = 0;
};

// The program-wide registry, created on first use and never freed.
TZeltoClasses& ZeltoClasses();
void RegisterZeltoClass(const TElementClass& cls);
// nullptr when not registered; never reports.
const TElementClass* FindZeltoClass(const std::string& name);
// Raises EClassNotFound when not registered.
const TElementClass* GetZeltoClass(const std::string& name);
// Retries an unknown name with "T" in front; an unknown class is reported
// in an error box "Neregistrovaný element: T<name>" and gives nullptr.
TElement* CreateElementByClassName(const std::string& name);

// Case-insensitive comparison of the registry (Czech letters included).
int CompareClassNames(const std::string& a, const std::string& b);
