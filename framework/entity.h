#pragma once
// Entities: elements with an ordered child list (created on first use).
// Positions are 0-based; a position outside the list raises EListError
// unless a nil answer is documented.
#include <initializer_list>
#include <string>
#include <vector>

#include "framework/element.h"

class TEntity : public TElement {
  ZELTO_ELEMENT(TEntity)
 public:
  ~TEntity() override;

  int GetCount() const { return items_ ? static_cast<int>(items_->size()) : 0; }
  int GetLastIndex() const { return GetCount() - 1; }
  // nullptr when there is no child list; EListError outside the list.
  TElement* GetItem(int index) const;
  // Replaces the entry (or appends to an empty list at 0); no owner links change.
  void PutItem(int index, TElement* element);
  int IndexOf(const TElement* element) const;
  // The children in order (empty when there is no list).
  const std::vector<TElement*>& Items() const;
  // Room for this many children in all, so that a list whose length is known
  // in advance takes no more than it holds.
  void Reserve(std::size_t count);

  // Adds nil-safely and records this entity as an owner of the child.
  virtual void Add(TElement* element);
  // Adds a child just made, that nothing else holds: when it cannot be
  // added, it is freed and the failure goes on to the caller.
  template <class T>
  T* Adopt(T* element) {
    AdoptElement(element);
    return element;
  }
  // Adds every one of them or, when one cannot be added, none: those
  // added before it are taken out again and the failure goes on.
  void AddAllOrNone(std::initializer_list<TElement*> elements);
  // Before position index; without a child list only index 0 does anything.
  virtual void Insert(int index, TElement* element);
  // Unlinks the first occurrence; never frees.
  virtual void Remove(TElement* element);
  // Takes the child out and frees it when it CanBeFreed, else unlinks it.
  virtual void Delete(TElement* element);
  // Delete for the child added last (a reader taking back what it has just
  // read): found at the back instead of searched from the front, so that
  // dropping many children one by one stays linear.
  void DeleteLastAdded(TElement* element);
  // Frees every child that CanBeFreed and unlinks the rest; empties the list.
  virtual void FreeAll();
  // Registered class by name (no "T" retry), named and added; nil when unknown.
  virtual TElement* AddNew(const std::string& className, const std::string& name);
  virtual TElement* FindElementByClass(const TElementClass& cls) const;
  // Case-insensitive; an unnamed child answers to its class name.
  virtual TElement* FindElementByName(const std::string& name) const;
  virtual bool CanFreeChild(const TElement* child) const { return false; }

  template <class T>
  T* FindElementByClass() const {
    return static_cast<T*>(FindElementByClass(T::StaticClass()));
  }

  TElement* FindOrAddByName(const TElementClass& cls, const std::string& name);
  TElement* FindOrCreateByName(const TElementClass& cls, const std::string& name);
  // Keeps children ordered by name (case-sensitive, by character code).
  void InsertSortedByName(TElement* element);
  // For single-child fields (a tool's parameters, the world's main tool):
  // deletes what the field held, stores and adds the new one. Giving the
  // element the field already holds changes nothing.
  void ReplaceChild(TElement*& field, TElement* element);
  template <class T>
  void ReplaceChild(T*& field, T* element) {
    TElement* slot = field;
    ReplaceChild(slot, static_cast<TElement*>(element));
    field = static_cast<T*>(slot);
  }
  // Empties the list and unlinks the children from this entity as Remove
  // does, freeing nobody.
  void Clear();
  // Destroys every child regardless of owners, last to first.
  void DestroyAllChildren();
  // Children counted under every parent that lists them, their own
  // children once.
  int WholeCount();

  // Aliases (tool parameters): the first TAliases child answers, else a
  // child of that name.
  TElement* FindByNameOrAlias(const std::string& name) const;
  void BindAlias(const std::string& name, TElement* element);

  int MarkedSize() override;
  bool IsEmpty() const override { return GetCount() == 0; }
  void ReadData(zelto::ValueReader& reader, TQuickEntity& loaded) override;
  void WriteData(zelto::ValueWriter& writer) override;
  TElement* CreateEnvelope() override;
  void HandleMessage(TZeltoMessage*& message, bool& handled) override;
  void SubtreeHook() override;
  void Mark(std::int32_t mark) override;

 protected:
  // Whether Add makes this entity an owner of the child.
  virtual bool LinksOwners() const { return true; }
  // Takes the first occurrence out of the list and nothing else; used by
  // children that unlink themselves when destroyed.
  void UnlinkChild(const TElement* element);
  void AppendItem(TElement* element);
  // The list change of Insert without owner links; false when nothing happened.
  bool InsertItem(int index, TElement* element);
  friend class TOwnerElement;
  friend class TOwnerEntity;

 private:
  void AdoptElement(TElement* element);
  void EnsureList();
  std::unique_ptr<std::vector<TElement*>> items_;
};

// Lists its children without becoming their owner (the loader's list of
// loaded objects).
class TQuickEntity : public TEntity {
  ZELTO_ELEMENT(TQuickEntity)
 public:
  void Add(TElement* element) override;
  void Insert(int index, TElement* element) override;

 protected:
  bool LinksOwners() const override { return false; }
};

// Forwards messages and upward searches to one owner while counting as an
// orphan itself (a technology's list of sub-tools).
class TEnvelopeEntity : public TEntity {
  ZELTO_ELEMENT(TEnvelopeEntity)
 public:
  void HandleMessage(TZeltoMessage*& message, bool& handled) override;
  void AddOwner(TElement* owner) override { owner_ = owner; }
  void RemoveOwner(TElement* owner) override {
    if (owner_ == owner) owner_ = nullptr;
  }
  TElement* FindOwnerByClass(const TElementClass& cls) const override;
  TElement* FindUpwardByClass(const TElementClass& cls) override;
  TElement* EnvelopeOwner() const { return owner_; }

 private:
  TElement* owner_ = nullptr;
};

class TNameEntity : public TEntity {
  ZELTO_ELEMENT(TNameEntity)
 public:
  int GetSize() const override;
  std::string GetName() const override;
  void SetName(const std::string& name) override { name_ = name; }
  bool HasName() const override { return !name_.empty(); }
  void ReadData(zelto::ValueReader& reader, TQuickEntity& loaded) override;
  void WriteData(zelto::ValueWriter& writer) override;

 private:
  std::string name_;
};

class TOwnerEntity : public TNameEntity {
  ZELTO_ELEMENT(TOwnerEntity)
 public:
  ~TOwnerEntity() override;
  TElement* GetOwner(int index) const override;
  void InsertOwner(int index, TElement* owner) override;
  int GetOwnersCount() const override { return owners_.Count(); }
  void AddOwner(TElement* owner) override { owners_.Append(owner); }
  void RemoveOwner(TElement* owner) override { owners_.RemoveFirst(owner); }
  bool HasOwner(const TElement* owner) const override { return owners_.Contains(owner); }
  const std::vector<TElement*>* OwnerLinks() const override { return owners_.Items(); }
  // Both look through an envelope owner to the envelope's own owner.
  TElement* FindOwnerByClass(const TElementClass& cls) const override;
  TElement* FindOwnerByName(const std::string& name) const override;

 private:
  zelto::OwnerList owners_;
};

// One parameter alias: refers to its element without owning it.
class TAliasElement : public TOwnerElement {
  ZELTO_ELEMENT(TAliasElement)
 public:
  TElement* Element() const { return element_.Get(); }
  void SetElement(TElement* element) { element_.Set(element); }

 private:
  TElementRef element_;
};

// Maps alias names to elements through TAliasElement children.
class TAliases : public TEntity {
  ZELTO_ELEMENT(TAliases)
 public:
  TElement* Lookup(const std::string& name) const;
  void SetAlias(const std::string& name, TElement* element);
};

// Registers the element classes of this unit with the class registry
// (idempotent). The program and tests call it at start.
void RegisterElementClasses();
