#pragma once
// The element: base of every model object, tool and message. An element has
// an ID (also the traversal mark), a name, owners, a size, stream data, a
// message handler and published properties reachable by name as text.
//
// Ownership: a child belongs to every entity that added it. Entities free a
// child (Delete, FreeAll) only while it has fewer than two distinct owners;
// otherwise they only unlink it. Elements that keep owner lists (TOwnerElement,
// TOwnerEntity) take themselves out of their owners' child lists when
// destroyed; the others must be removed by whoever destroys them.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/element_class.h"
#include "platform/handle_table.h"

class TEntity;
class TQuickEntity;
class TZeltoMessage;

namespace zelto {
class ValueReader;
class ValueWriter;
}  // namespace zelto

class TElement {
 public:
  TElement() = default;
  virtual ~TElement();
  TElement(const TElement&) = delete;
  TElement& operator=(const TElement&) = delete;

  static const TElementClass& StaticClass();
  virtual const TElementClass& ClassType() const;
  const std::string& ClassName() const { return ClassType().ClassName(); }
  bool InheritsFrom(const TElementClass& cls) const { return ClassType().InheritsFrom(cls); }
  // The class reference is kept here once fetched: asked on every element
  // of every walk, StaticClass would be a call each time.
  template <class T>
  bool Is() const {
    static const TElementClass& cls = T::StaticClass();
    return InheritsFrom(cls);
  }

  // -1 after construction; loaders store file positions here, traversals
  // their mark, the class registry its registration number.
  std::int32_t ID = -1;

  // Identity and size.
  virtual int GetSize() const;
  virtual int GetWholeSize();
  // Stores the current traversal mark in ID and returns the size of what
  // has not yet carried it.
  virtual int MarkedSize();
  // The stored name, or the class name when there is none.
  virtual std::string GetName() const;
  virtual void SetName(const std::string& name);
  virtual bool HasName() const { return false; }
  virtual bool IsEmpty() const { return true; }

  // Owner links; the base keeps none (count 0, an orphan).
  virtual TElement* GetOwner(int index) const;
  virtual void InsertOwner(int index, TElement* owner);
  virtual int GetOwnersCount() const { return 0; }
  virtual void AddOwner(TElement* owner);
  virtual void RemoveOwner(TElement* owner);
  virtual bool HasOwner(const TElement* owner) const;
  // The owner links as stored, unchecked, where the class keeps a list of
  // them: what a release compares by address without visiting each owner.
  virtual const std::vector<TElement*>* OwnerLinks() const { return nullptr; }
  virtual bool IsOrphan() const { return GetOwnersCount() < 1; }
  virtual TElement* FindOwnerByClass(const TElementClass& cls) const;
  // Case-sensitive.
  virtual TElement* FindOwnerByName(const std::string& name) const;
  // Itself when of the class, else the first hit upwards through the owners.
  virtual TElement* FindUpwardByClass(const TElementClass& cls);
  // Fewer than two distinct owners, or every owner agrees.
  virtual bool CanBeFreed();

  // Stream data in the value encoding; `loaded` lists the objects read so
  // far by file position.
  virtual void ReadData(zelto::ValueReader& reader, TQuickEntity& loaded);
  virtual void WriteData(zelto::ValueWriter& writer);

  // A new element of the same class named "Obálka: " + name (entities also
  // take over their children); owned by the caller.
  virtual TElement* CreateEnvelope();
  virtual void SubtreeHook() {}

  // Traversal marks: MarkTree draws a new mark and stores it through Mark.
  void MarkTree();
  virtual void Mark(std::int32_t mark);

  // Messages. The handler sets `handled` when it dealt with the message; it
  // may replace the message in the variable (the dispatcher frees whatever
  // the variable holds afterwards). Overrides call the inherited one first.
  virtual void HandleMessage(TZeltoMessage*& message, bool& handled);
  virtual void PassMessageToOwners(TZeltoMessage*& message, bool& handled);
  // Receiver nullptr means the main tool. Posting returns at once; sending
  // delivers before returning. Data is freed with the message when killData.
  virtual void PostMessage(int code, TElement* receiver, TElement* data = nullptr, bool killData = false);
  virtual void SendMessage(int code, TElement* receiver, TElement* data = nullptr, bool killData = false);
  virtual void PostMessageToOwners(int code, TElement* data = nullptr);
  virtual void SendMessageToOwners(int code, TElement* data = nullptr);

  // The path language: "ObjectModel.FINDELEMENTBYNAME(LES).Name". Failures
  // raise EZeltoError with the Czech texts.
  virtual std::string EvaluatePathText(const std::string& path);
  virtual std::vector<std::string> EvaluatePathList(const std::string& path);
  virtual TElement* EvaluatePath(const std::string& path);

  // Properties by name as text. Descendants with properties outside the
  // published ones (dynamic attributes, name=value lists) override the
  // first three; the typed forms always go through them.
  virtual bool HasProperty(const std::string& name);
  // Leaves `text` as it was when there is no such property.
  virtual void GetPropertyText(const std::string& name, std::string& text);
  // Unknown names are ignored.
  virtual void SetPropertyText(const std::string& name, const std::string& text);
  virtual std::int32_t GetPropertyInt(const std::string& name);
  virtual void SetPropertyInt(const std::string& name, std::int32_t value);
  virtual bool GetPropertyBool(const std::string& name);
  virtual void SetPropertyBool(const std::string& name, bool value);
  // Convenience: the text, empty when there is no such property.
  std::string PropertyText(const std::string& name) {
    std::string text;
    GetPropertyText(name, text);
    return text;
  }

  // The element as a number that may cross text; FromHandle gives nullptr
  // once the element is gone.
  platform::Handle GetHandle();
  static TElement* FromHandle(platform::Handle handle);

 protected:
  // Set while an entity releases its children in its destructor, so that a
  // cycle of entities cannot lead back to it and free it twice.
  bool dying_ = false;
  friend class TEntity;

 private:
  bool hasHandle_ = false;
};

// A reference that does not keep its element alive and reads nullptr once
// the element has died (messages waiting in the queue, aliases).
class TElementRef {
 public:
  TElementRef() = default;
  TElementRef(TElement* element) { Set(element); }  // NOLINT: a reference converts freely
  void Set(TElement* element) { handle_ = element ? element->GetHandle() : 0; }
  TElement* Get() const { return handle_ ? TElement::FromHandle(handle_) : nullptr; }
  // Whether it was ever given an element (that may have died since).
  bool WasSet() const { return handle_ != 0; }
  bool IsDead() const { return handle_ != 0 && Get() == nullptr; }

 private:
  platform::Handle handle_ = 0;
};

class TNameElement : public TElement {
  ZELTO_ELEMENT(TNameElement)
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

namespace zelto {
// The owners list shared by TOwnerElement and TOwnerEntity: one entry per
// add, created on first use.
class OwnerList {
 public:
  int Count() const { return static_cast<int>(list_.size()); }
  int DistinctCount() const;
  TElement* At(int index) const;
  void Insert(int index, TElement* owner);
  void Append(TElement* owner);
  void RemoveFirst(TElement* owner);
  bool Contains(const TElement* owner) const;
  TElement* TakeLast();
  // nullptr while there is no owner.
  const std::vector<TElement*>* Items() const { return list_.empty() ? nullptr : &list_; }

 private:
  // Held in place: nearly every line and area of a model has owners, and a
  // separate heap block for each list would cost more than the entries.
  std::vector<TElement*> list_;
};
}  // namespace zelto

class TOwnerElement : public TNameElement {
  ZELTO_ELEMENT(TOwnerElement)
 public:
  ~TOwnerElement() override;
  TElement* GetOwner(int index) const override;
  void InsertOwner(int index, TElement* owner) override;
  int GetOwnersCount() const override { return owners_.Count(); }
  void AddOwner(TElement* owner) override { owners_.Append(owner); }
  void RemoveOwner(TElement* owner) override { owners_.RemoveFirst(owner); }
  bool HasOwner(const TElement* owner) const override { return owners_.Contains(owner); }
  const std::vector<TElement*>* OwnerLinks() const override { return owners_.Items(); }
  TElement* FindOwnerByClass(const TElementClass& cls) const override;
  TElement* FindOwnerByName(const std::string& name) const override;

 private:
  zelto::OwnerList owners_;
};

// Traversal marks: strictly decreasing, never 0 or -1, never a recent mark.
namespace zelto {
std::int32_t NewTraversalMark();
std::int32_t CurrentTraversalMark();
}  // namespace zelto
