// Single changes of the model with each of their allocations failing in
// turn: a child added to an entity, an element inserted into a quad-tree.
// A change that fails leaves the model as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <new>
#include <vector>

#include "areas/area_builders.h"
#include "failing_allocations.h"
#include "framework/rect_entity.h"
#include "geometry/geometry_classes.h"
#include "geometry/qtree.h"

namespace {

TRectEntity* Rect(double x0, double y0, double x1, double y1) {
  auto* r = new TRectEntity;
  r->SetMinX(x0);
  r->SetMinY(y0);
  r->SetMaxX(x1);
  r->SetMaxY(y1);
  return r;
}

TEST(FailingModelChangeTest, AChildThatCannotBeAddedIsLinkedNeitherWay) {
  for (bool insert : {false, true}) {
    SCOPED_TRACE(insert ? "Insert" : "Add");
    bool failed = true;
    for (long k = 1; failed; ++k) {
      TEntity list;
      TEntity other;
      std::vector<std::unique_ptr<TRectEntity>> children;
      for (int i = 0; i < 3; ++i) {
        children.emplace_back(Rect(i, i, i + 1, i + 1));
        list.Add(children.back().get());
      }
      std::unique_ptr<TRectEntity> added(Rect(0, 0, 5, 5));
      other.Add(added.get());
      bool threw = false;
      try {
        failing_allocations::Armed armed(k);
        if (insert) list.Insert(1, added.get());
        else list.Add(added.get());
      } catch (const std::bad_alloc&) {
        threw = true;
      }
      failed = failing_allocations::Failed();
      EXPECT_EQ(threw, failed);
      EXPECT_EQ(list.GetCount(), threw ? 3 : 4);
      EXPECT_EQ(list.IndexOf(added.get()) >= 0, !threw);
      EXPECT_EQ(added->GetOwnersCount(), threw ? 1 : 2);
      list.Clear();
      other.Clear();
    }
  }
}

// Which leaves of the tree hold each element, and how often.
void LeavesOf(TQTree& node, std::map<TElement*, int>& held) {
  for (TElement* e : node.Items()) {
    if (e && e->Is<TQTree>()) LeavesOf(*static_cast<TQTree*>(e), held);
    else if (e) ++held[e];
  }
}

TEST(FailingModelChangeTest, AnElementTheTreeCannotTakeIsInNoLeaf) {
  RegisterGeometryClasses();
  bool failed = true;
  for (long k = 1; failed; ++k) {
    SCOPED_TRACE("allocation " + std::to_string(k));
    auto* tree = new TSpaceEntityQTree;
    std::vector<TElement*> old;
    // Enough small ones to split the root, and a wide one in many leaves.
    for (int i = 0; i < 30; ++i)
      for (int j = 0; j < 10; ++j) {
        old.push_back(Rect(i * 10, j * 10, i * 10 + 4, j * 10 + 4));
        tree->Insert(old.back());
      }
    old.push_back(Rect(5, 5, 250, 60));
    tree->Insert(old.back());
    std::map<TElement*, int> before;
    LeavesOf(*tree, before);
    // Across the middle, and beyond the root's square so that it grows.
    TRectEntity* added = Rect(95, 20, 700, 47);
    bool threw = false;
    try {
      failing_allocations::Armed armed(k);
      tree->Insert(added);
    } catch (const std::bad_alloc&) {
      threw = true;
    }
    failed = failing_allocations::Failed();
    ASSERT_EQ(threw, failed);
    std::map<TElement*, int> after;
    LeavesOf(*tree, after);
    ASSERT_EQ(after.count(added) != 0, !threw);
    if (threw) {
      EXPECT_EQ(added->GetOwnersCount(), 0);
    }
    after.erase(added);
    for (TElement* e : old) {
      // A leaf split on the way may hold an element in more leaves than
      // before, but none is lost, and every leaf holding it is its owner.
      ASSERT_GT(after[e], 0);
      EXPECT_EQ(static_cast<TRectEntity*>(e)->GetOwnersCount(), after[e]);
    }
    EXPECT_EQ(after.size(), before.size());
    if (threw) delete added;
    FreeAreaQTree(tree);
  }
}

}  // namespace
