#pragma once
// Model trees keyed by element class that mirror the class hierarchy, so
// that the model of the nearest ancestor class that has one can be found for
// any class. TInheritanceModelEntity drives such a tree with text commands
// and reports through Error (0 none, 1 no model for the class, 2 class not
// registered, 3 no actual item).
#include <cstdint>
#include <string>

#include "framework/entity.h"

// The sub-models of a model; always named "ITEMS".
class TModelItems : public TEnvelopeEntity {
  ZELTO_ELEMENT(TModelItems)
 public:
  std::string GetName() const override { return "ITEMS"; }
};

class TInheritanceModel : public TOwnerEntity {
  ZELTO_ELEMENT(TInheritanceModel)
 public:
  virtual TModelItems* GetItems();
  virtual bool GetNoItems();
  // Inserts a model where the class hierarchy puts it: below the model of
  // its nearest ancestor class, with the models of its descendant classes
  // moved below it. A model without a known class is appended here and
  // never compared.
  virtual void SetNextItem(TInheritanceModel* model);
  virtual void SetElementClass(const TElementClass* cls);
  virtual void SetElementClassName(const std::string& name);
  // The model of the class or of its nearest ancestor that has one.
  virtual TInheritanceModel* FindModel(const TElementClass* cls);
  virtual TInheritanceModel* FindModelByClassName(const std::string& name);
  virtual bool IsModelFor(const TElementClass* cls) const;

  const TElementClass* ElementClass() const { return elementClass_; }
  std::string GetElementClassName() const;
  void AddItem(TInheritanceModel* model) { GetItems()->Add(model); }

 private:
  const TElementClass* elementClass_ = nullptr;
  TModelItems* items_ = nullptr;
};

class TInheritanceModelEntity : public TInheritanceModel {
  ZELTO_ELEMENT(TInheritanceModelEntity)
 public:
  TInheritanceModelEntity();

  std::int32_t Error = 0;

  TInheritanceModel* ActualItem() const;
  virtual std::string GetActualClassName();
  virtual bool GetIsError() const { return Error > 0; }
  virtual void SetNewClassName(const std::string& name);
  // Replaces the actual item by a model of another class; the models below
  // it are kept and filed again.
  virtual void SetActualClassName(const std::string& name);
  virtual void SetFindClassName(const std::string& name);
  virtual void SetDeleteActualItem(bool);
  virtual const TElementClass& GetDefaultItemClass() const;

  std::string GetItemClassName() const;
  void SetItemClassName(const std::string& name);

 protected:
  void SetActualItem(TInheritanceModel* item);

 private:
  TElementRef actualItem_;
  const TElementClass* itemClass_ = nullptr;
};
