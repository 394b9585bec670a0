#include <gtest/gtest.h>

#include <memory>

#include "framework/errors.h"
#include "framework/value_stream.h"
#include "tests/framework/test_support.h"

namespace {

class ElementModel : public FrameworkTest {};

std::vector<std::string> Names(const TEntity& e) {
  std::vector<std::string> names;
  for (TElement* child : e.Items()) names.push_back(child->GetName());
  return names;
}

TEST_F(ElementModel, FreshElementsAnswerToTheirClassName) {
  TOwnerElement element;
  EXPECT_EQ(element.ID, -1);
  EXPECT_EQ(element.GetName(), "TOwnerElement");
  EXPECT_FALSE(element.HasName());
  element.SetName("a");
  EXPECT_TRUE(element.HasName());
  TEntity plain;
  plain.SetName("ignored");
  EXPECT_EQ(plain.GetName(), "TEntity");
}

TEST_F(ElementModel, LookupsByNameAndClass) {
  TOwnerEntity parent;
  parent.SetName("Parent");
  auto* unnamed = new TOwnerEntity();
  auto* named = new TOwnerElement();
  named->SetName("Žluťoučký");
  parent.Add(named);
  parent.Add(unnamed);
  EXPECT_EQ(parent.FindElementByName("towNerEntity"), unnamed);
  EXPECT_EQ(parent.FindElementByName("ŽLUŤOUČKÝ"), named);
  EXPECT_EQ(parent.FindElementByName("nobody"), nullptr);
  EXPECT_EQ(parent.FindElementByClass(TEntity::StaticClass()), unnamed);
  EXPECT_EQ(parent.FindElementByClass(TNameElement::StaticClass()), named);
  EXPECT_EQ(named->FindOwnerByName("Parent"), &parent);
  EXPECT_EQ(named->FindOwnerByName("parent"), nullptr);
  EXPECT_EQ(named->FindUpwardByClass(TOwnerEntity::StaticClass()), &parent);
}

TEST_F(ElementModel, SharedChildIsUnlinkedByFirstDeleteAndFreedBySecond) {
  TOwnerEntity a, b;
  auto* child = new TOwnerElement();
  platform::Handle h = child->GetHandle();
  a.Add(child);
  b.Add(child);
  EXPECT_FALSE(child->CanBeFreed());
  a.Delete(child);
  ASSERT_TRUE(Alive(h));
  EXPECT_EQ(a.GetCount(), 0);
  EXPECT_EQ(child->GetOwnersCount(), 1);
  EXPECT_EQ(child->GetOwner(0), &b);
  b.Delete(child);
  EXPECT_FALSE(Alive(h));
  EXPECT_EQ(b.GetCount(), 0);
}

TEST_F(ElementModel, FreeAllLeavesSharedChildrenAliveWithTheirOtherOwner) {
  TOwnerEntity other;
  platform::Handle shared, own;
  {
    TOwnerEntity parent;
    auto* s = new TOwnerElement();
    auto* o = new TOwnerElement();
    shared = s->GetHandle();
    own = o->GetHandle();
    parent.Add(s);
    parent.Add(o);
    other.Add(s);
    parent.FreeAll();
    EXPECT_EQ(parent.GetCount(), 0);
    EXPECT_TRUE(Alive(shared));
    EXPECT_FALSE(Alive(own));
    parent.Add(s);  // shared again, then released by the destructor
  }
  ASSERT_TRUE(Alive(shared));
  auto* s = TElement::FromHandle(shared);
  EXPECT_EQ(s->GetOwnersCount(), 1);
  EXPECT_EQ(other.GetItem(0), s);
}

TEST_F(ElementModel, ElementAddedTwiceToOneEntityIsStillFreed) {
  TOwnerEntity parent;
  auto* child = new TOwnerElement();
  platform::Handle h = child->GetHandle();
  parent.Add(child);
  parent.Add(child);
  EXPECT_EQ(child->GetOwnersCount(), 2);
  EXPECT_TRUE(child->CanBeFreed());
  parent.Delete(child);
  EXPECT_FALSE(Alive(h));
  EXPECT_EQ(parent.GetCount(), 0);

  auto* again = new TOwnerEntity();
  h = again->GetHandle();
  parent.Add(again);
  parent.Add(again);
  parent.FreeAll();
  EXPECT_FALSE(Alive(h));
}

// Many owners: shared by many entities it only leaves each of them; added
// many times by one entity it is still that entity's to free.
TEST_F(ElementModel, ManyOwnersDecideAsFew) {
  std::vector<std::unique_ptr<TOwnerEntity>> owners;
  auto* shared = new TOwnerElement();
  platform::Handle h = shared->GetHandle();
  for (int i = 0; i < 40; ++i) {
    owners.push_back(std::make_unique<TOwnerEntity>());
    owners.back()->Add(shared);
  }
  EXPECT_FALSE(shared->CanBeFreed());
  for (int i = 0; i < 39; ++i) owners[static_cast<std::size_t>(i)]->Delete(shared);
  ASSERT_TRUE(Alive(h));
  EXPECT_EQ(shared->GetOwnersCount(), 1);
  TOwnerEntity& last = *owners.back();
  for (int i = 0; i < 39; ++i) last.Add(shared);
  EXPECT_TRUE(shared->CanBeFreed());
  last.Delete(shared);
  EXPECT_FALSE(Alive(h));
  EXPECT_EQ(last.GetCount(), 0);
}

// Taking back the child added last must act as Delete does: freed when
// only we own it, unlinked when shared, every entry gone when listed twice.
TEST_F(ElementModel, DeleteLastAddedActsAsDelete) {
  TOwnerEntity parent, other;
  auto* keep = new TOwnerElement();
  keep->SetName("keep");
  parent.Add(keep);
  auto* own = new TOwnerElement();
  platform::Handle h = own->GetHandle();
  parent.Add(own);
  parent.DeleteLastAdded(own);
  EXPECT_FALSE(Alive(h));
  EXPECT_EQ(Names(parent), (std::vector<std::string>{"keep"}));

  auto* shared = new TOwnerElement();
  h = shared->GetHandle();
  other.Add(shared);
  parent.Add(shared);
  parent.DeleteLastAdded(shared);
  ASSERT_TRUE(Alive(h));
  EXPECT_EQ(parent.GetCount(), 1);
  EXPECT_EQ(shared->GetOwnersCount(), 1);
  EXPECT_EQ(shared->GetOwner(0), &other);

  auto* twice = new TOwnerElement();
  h = twice->GetHandle();
  parent.Add(twice);
  parent.Add(keep);
  parent.Add(twice);
  parent.DeleteLastAdded(twice);
  EXPECT_FALSE(Alive(h));
  EXPECT_EQ(Names(parent), (std::vector<std::string>{"keep", "keep"}));

  parent.DeleteLastAdded(keep);  // listed twice, owned by us alone: freed with both entries
  EXPECT_EQ(parent.GetCount(), 0);
}

// Freeing a list frees a child listed twice once, and only unlinks a child
// another entity shares, whatever the length of the list.
TEST_F(ElementModel, FreeAllFreesAChildListedTwiceOnceAtEveryListLength) {
  for (int length : {8, 300, 2000}) {
    SCOPED_TRACE(length);
    TOwnerEntity other;
    auto parent = std::make_unique<TOwnerEntity>();
    auto* twice = new TOwnerElement();
    auto* shared = new TOwnerElement();
    const platform::Handle h = twice->GetHandle();
    other.Add(shared);
    parent->Add(twice);
    parent->Add(shared);
    for (int i = 0; i < length; ++i) parent->Add(new TOwnerElement());
    parent->Add(twice);
    parent->FreeAll();
    EXPECT_FALSE(Alive(h));
    EXPECT_EQ(parent->GetCount(), 0);
    ASSERT_EQ(shared->GetOwnersCount(), 1);
    EXPECT_EQ(shared->GetOwner(0), &other);
  }
}

// An entity that counts how often it is destroyed.
class TCountedEntity : public TEntity {
 public:
  explicit TCountedEntity(int& destroyed) : destroyed_(destroyed) {}
  ~TCountedEntity() override { ++destroyed_; }

 private:
  int& destroyed_;
};

TEST_F(ElementModel, ACycleOfEntitiesIsReleasedOnce) {
  int destroyed = 0;
  auto* a = new TCountedEntity(destroyed);
  auto* b = new TCountedEntity(destroyed);
  a->Add(b);
  b->Add(a);
  const platform::Handle ha = a->GetHandle(), hb = b->GetHandle();
  delete a;  // frees b, whose release must not come back to a
  EXPECT_EQ(destroyed, 2);
  EXPECT_FALSE(Alive(ha));
  EXPECT_FALSE(Alive(hb));
}

TEST_F(ElementModel, DestroyedOwnerElementLeavesEveryOwnersList) {
  TOwnerEntity a, b;
  auto* child = new TOwnerEntity();
  a.Add(child);
  b.Add(child);
  b.Add(child);
  delete child;
  EXPECT_EQ(a.GetCount(), 0);
  EXPECT_EQ(b.GetCount(), 0);
}

TEST_F(ElementModel, ClearedChildrenOutliveTheirFormerOwner) {
  auto* child = new TOwnerEntity();
  {
    TOwnerEntity parent;
    parent.Add(child);
    parent.Add(child);
    parent.Clear();
    EXPECT_EQ(parent.GetCount(), 0);
    EXPECT_EQ(child->GetOwnersCount(), 0);
  }
  // Freed after its former owner: it must not reach back into it.
  delete child;
}

TEST_F(ElementModel, InsertAndOwnerPositions) {
  TOwnerEntity parent;
  TOwnerElement x;
  parent.Insert(3, &x);
  EXPECT_EQ(parent.GetCount(), 0);
  EXPECT_EQ(x.GetOwnersCount(), 0);
  EXPECT_EQ(parent.GetItem(5), nullptr);  // no list yet
  parent.Insert(0, &x);
  EXPECT_EQ(parent.GetCount(), 1);
  EXPECT_THROW(parent.GetItem(5), EListError);
  parent.Remove(&x);

  TOwnerEntity o1, o2;
  TOwnerElement y;
  y.AddOwner(&o1);
  y.InsertOwner(0, &o2);  // 0 appends
  EXPECT_EQ(y.GetOwner(1), &o2);
  EXPECT_EQ(y.GetOwner(7), nullptr);
  y.RemoveOwner(&o1);
  y.RemoveOwner(&o2);
}

TEST_F(ElementModel, SizesAndCountsVisitASharedChildOnce) {
  TOwnerEntity root;
  auto* left = new TOwnerEntity();
  auto* right = new TOwnerEntity();
  auto* shared = new TOwnerEntity();
  shared->Add(new TOwnerElement());
  root.Add(left);
  root.Add(right);
  left->Add(shared);
  right->Add(shared);
  // root 2 + left 1 + right 1 (shared listed twice) + shared's 1 child once
  EXPECT_EQ(root.WholeCount(), 5);
  int entity = static_cast<int>(sizeof(TOwnerEntity));
  int element = static_cast<int>(sizeof(TOwnerElement)) + 1;
  EXPECT_EQ(root.GetWholeSize(), 4 * entity + element);
}

TEST_F(ElementModel, TraversalMarksNeverRepeatAndAreNeverZeroOrMinusOne) {
  std::int32_t previous = zelto::NewTraversalMark();
  for (int i = 0; i < 100000; ++i) {
    std::int32_t mark = zelto::NewTraversalMark();
    ASSERT_LT(mark, previous);
    ASSERT_NE(mark, 0);
    ASSERT_NE(mark, -1);
    previous = mark;
  }
  TOwnerEntity root;
  auto* child = new TOwnerElement();
  root.Add(child);
  root.MarkTree();
  EXPECT_EQ(child->ID, zelto::CurrentTraversalMark());
}

TEST_F(ElementModel, InsertSortedByNameComparesCharacterCodes) {
  TEntity e;
  for (const char* n : {"b", "a", "B"}) {
    auto* x = new TOwnerElement();
    x->SetName(n);
    e.InsertSortedByName(x);
  }
  EXPECT_EQ(Names(e), (std::vector<std::string>{"B", "a", "b"}));
  TElement* created = e.FindOrCreateByName(TNameEntity::StaticClass(), "");
  EXPECT_EQ(created->GetName(), "no name");
  EXPECT_EQ(e.FindOrCreateByName(TNameEntity::StaticClass(), "NO NAME"), created);
  TElement* added = e.FindOrAddByName(TNameEntity::StaticClass(), "zz");
  EXPECT_EQ(added, e.GetItem(e.GetLastIndex()));
}

TEST_F(ElementModel, ReplaceChildWithTheCurrentValueKeepsIt) {
  TOwnerEntity holder;
  TElement* field = nullptr;
  auto* first = new TOwnerElement();
  platform::Handle h = first->GetHandle();
  holder.ReplaceChild(field, first);
  holder.ReplaceChild(field, first);
  ASSERT_TRUE(Alive(h));
  EXPECT_EQ(holder.GetCount(), 1);
  EXPECT_EQ(first->GetOwnersCount(), 1);
  holder.ReplaceChild(field, new TOwnerElement());
  EXPECT_FALSE(Alive(h));
  EXPECT_EQ(holder.GetCount(), 1);
}

TEST_F(ElementModel, EnvelopesForwardToTheirOwner) {
  TRecorder owner;
  TEnvelopeEntity envelope;
  TZeltoMessage* message = new TZeltoMessage(5, nullptr, &envelope, nullptr);
  bool handled = false;
  envelope.HandleMessage(message, handled);  // no owner yet: left alone
  EXPECT_FALSE(handled);
  EXPECT_EQ(message->Receiver(), &envelope);
  envelope.AddOwner(&owner);
  EXPECT_TRUE(envelope.IsOrphan());
  owner.handles = true;
  envelope.HandleMessage(message, handled);
  EXPECT_TRUE(handled);
  ASSERT_EQ(owner.seen.size(), 1u);
  EXPECT_EQ(owner.seen[0].receiver, &owner);
  EXPECT_EQ(envelope.FindUpwardByClass(TRecorder::StaticClass()), &owner);
  delete message;

  // An owner entity looks through an envelope owner.
  auto* tool = new TOwnerEntity();
  envelope.Add(tool);
  EXPECT_EQ(tool->FindOwnerByClass(TRecorder::StaticClass()), &owner);
  envelope.Remove(tool);
  delete tool;
}

TEST_F(ElementModel, EnvelopeCopiesOrphansAndSharesOwnedChildren) {
  TOwnerEntity source;
  source.SetName("src");
  auto* owned = new TOwnerElement();
  source.Add(owned);
  TElement* orphan = new TElement();
  source.Add(orphan);
  auto* envelope = static_cast<TEntity*>(source.CreateEnvelope());
  EXPECT_EQ(envelope->GetName(), "Obálka: src");
  ASSERT_EQ(envelope->GetCount(), 2);
  EXPECT_EQ(envelope->GetItem(0), owned);
  EXPECT_NE(envelope->GetItem(1), orphan);
  EXPECT_EQ(owned->GetOwnersCount(), 2);
  delete envelope;
  EXPECT_EQ(owned->GetOwnersCount(), 1);
  source.Remove(orphan);
  delete orphan;
}

TEST_F(ElementModel, AliasesNameElementsWithoutOwningThem) {
  TOwnerEntity tool;
  auto* input = new TOwnerElement();
  input->SetName("real");
  tool.BindAlias("Vstup", input);
  EXPECT_EQ(tool.FindByNameOrAlias("vstup"), input);
  EXPECT_EQ(tool.FindByNameOrAlias("real"), input);
  auto* other = new TOwnerElement();
  platform::Handle h = input->GetHandle();
  tool.BindAlias("Vstup", other);
  EXPECT_FALSE(Alive(h));
  EXPECT_EQ(tool.FindByNameOrAlias("Vstup"), other);
}

TEST_F(ElementModel, EntityStreamedOutAndReadBackKeepsItsChildren) {
  // The loaded-object list numbers the elements; children refer to it.
  TQuickEntity written;
  auto* first = new TOwnerElement();
  first->SetName("první");
  auto* second = new TOwnerEntity();
  second->SetName("second");
  auto* parent = new TOwnerEntity();
  parent->SetName("parent");
  parent->Add(first);
  parent->Add(second);
  for (TElement* e : {static_cast<TElement*>(first), static_cast<TElement*>(second), static_cast<TElement*>(parent)})
    written.Add(e);
  for (int i = 0; i < written.GetCount(); ++i) written.GetItem(i)->ID = i;

  zelto::ValueWriter writer;
  for (TElement* e : written.Items()) e->WriteData(writer);
  // Golden bytes of the first element: class name, ID, name.
  const std::vector<std::uint8_t> head = {6, 13, 'T', 'O', 'w', 'n', 'e', 'r', 'E', 'l', 'e', 'm', 'e', 'n', 't', 2, 0};
  ASSERT_GE(writer.Bytes().size(), head.size());
  EXPECT_TRUE(std::equal(head.begin(), head.end(), writer.Bytes().begin()));

  zelto::ValueReader reader(writer.Bytes());
  TQuickEntity loaded;
  while (!reader.AtEnd()) {
    TElement* e = CreateElementByClassName(reader.ReadString());
    ASSERT_NE(e, nullptr);
    e->ReadData(reader, loaded);
    loaded.Add(e);
  }
  ASSERT_EQ(loaded.GetCount(), 3);
  auto* readParent = dynamic_cast<TOwnerEntity*>(loaded.GetItem(2));
  ASSERT_NE(readParent, nullptr);
  EXPECT_EQ(readParent->GetName(), "parent");
  EXPECT_EQ(Names(*readParent), (std::vector<std::string>{"první", "second"}));
  EXPECT_EQ(readParent->GetItem(0)->GetOwner(0), readParent);
  EXPECT_EQ(readParent->GetItem(1)->GetOwnersCount(), 1);
  delete readParent;  // frees the two children it owns
  EXPECT_EQ(loaded.GetCount(), 3);
  loaded.Clear();  // the loader's list never owned anything
  written.Clear();
  delete parent;
}

TEST_F(ElementModel, ReadingAChildOutsideTheLoadedListFails) {
  zelto::ValueWriter writer;
  writer.WriteInteger(0);
  writer.WriteListBegin();
  writer.WriteInteger(7);
  writer.WriteListEnd();
  zelto::ValueReader reader(writer.Bytes());
  TQuickEntity loaded;
  TEntity e;
  EXPECT_THROW(e.ReadData(reader, loaded), EListError);
  zelto::ValueReader truncated(writer.Bytes().data(), 3);
  EXPECT_THROW(e.ReadData(truncated, loaded), EZeltoError);
}

}  // namespace
