#include "areas/leaf_envelopes.h"

#include <algorithm>

#include "geometry/qtree.h"

namespace areas {

bool LeafEnvelopes::Meets(const Box& box, const Box& query) {
  // As TRectEntity::IntersectsRect: edges touching meet.
  return !(box.MaxX < query.MinX || box.MinX > query.MaxX || box.MaxY < query.MinY || box.MinY > query.MaxY);
}

void LeafEnvelopes::Query(TQTree* root, double tolerance, double minX, double minY, double maxX, double maxY,
                          std::vector<TElement*>& found) {
  const Box query{minX - tolerance, minY - tolerance, maxX + tolerance, maxY + tolerance};
  if (root && root->SquareMeetsRect(query.MinX, query.MinY, query.MaxX, query.MaxY)) Visit(root, query, found);
}

void LeafEnvelopes::Visit(TQTree* node, const Box& query, std::vector<TElement*>& found) {
  // Entries of the map keep their place while others are added.
  const Node& cached = Refresh(node);
  for (const Entry& entry : cached.Entries) {
    if (entry.Of == Kind::Node) {
      auto* child = static_cast<TQTree*>(entry.Item);
      if (child->SquareMeetsRect(query.MinX, query.MinY, query.MaxX, query.MaxY)) Visit(child, query, found);
    } else if (entry.Of == Kind::Rect && Meets(entry.Envelope, query)) {
      found.push_back(entry.Item);
    }
  }
}

const LeafEnvelopes::Node& LeafEnvelopes::Refresh(TQTree* node) {
  Node& cached = nodes_[node];
  const std::vector<TElement*>& items = node->Items();
  // Children are only ever appended, except when a leaf splits or an
  // element is freed (forgotten before): a changed prefix or square means
  // the node is read again.
  const auto sameItem = [](const Entry& entry, const TElement* item) { return entry.Item == item; };
  const bool same = cached.X == node->GetQXMin() && cached.Y == node->GetQYMin() &&
                    cached.Width == node->GetQWidth() && cached.Entries.size() <= items.size() &&
                    std::equal(cached.Entries.begin(), cached.Entries.end(), items.begin(), sameItem);
  if (!same) {
    cached.X = node->GetQXMin();
    cached.Y = node->GetQYMin();
    cached.Width = node->GetQWidth();
    cached.Entries.clear();
    // A leaf fills up to its capacity before it splits: room for that at
    // once rather than a growing copy after copy.
    if (node->GetIsLeaf()) cached.Entries.reserve(std::max<std::size_t>(items.size(), node->GetCapacity() + 1));
  }
  for (std::size_t i = cached.Entries.size(); i < items.size(); ++i) {
    TElement* item = items[i];
    Entry entry{item, {0, 0, 0, 0}, Kind::Other};
    if (item->Is<TQTree>()) {
      entry.Of = Kind::Node;
    } else if (item->Is<TRectEntity>()) {
      const auto* r = static_cast<const TRectEntity*>(item);
      entry.Envelope = {r->GetMinX(), r->GetMinY(), r->GetMaxX(), r->GetMaxY()};
      entry.Of = Kind::Rect;
    }
    cached.Entries.push_back(entry);
  }
  return cached;
}

void LeafEnvelopes::Forget(const TElement* element) {
  if (const std::vector<TElement*>* owners = element ? element->OwnerLinks() : nullptr)
    for (const TElement* owner : *owners) nodes_.erase(owner);
}

}  // namespace areas
