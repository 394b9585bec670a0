#pragma once
// The envelopes of a quad-tree's elements kept beside the tree, node by node
// in the nodes' own order. A query walks the tree as TQTreeWalker does and
// finds the same elements in the same order (an element once for every leaf
// it lies in), but reads the envelopes in a row instead of visiting every
// element of every leaf it passes: on a district of 100,000 lines those
// visits are cache misses, and they made the line joining slower per line
// the larger the district.
//
// For trees that test an element by its rectangle, as TSpaceEntityQTree
// does. The cache follows the tree by itself while elements are added and
// nodes split; an element that is freed must be forgotten first, so that an
// element made later at its address does not inherit its envelope. The
// rectangles of elements in the tree must not change, as the line joining
// never changes those of accepted lines.
#include <cstdint>
#include <unordered_map>
#include <vector>

class TElement;
class TQTree;

namespace areas {

class LeafEnvelopes {
 public:
  // Appends to `found` the elements the walker's FindFirst and FindNext
  // return for the same query, in their order.
  void Query(TQTree* root, double tolerance, double minX, double minY, double maxX, double maxY,
             std::vector<TElement*>& found);
  // Before the element is freed.
  void Forget(const TElement* element);

 private:
  struct Box {
    double MinX, MinY, MaxX, MaxY;
  };
  enum class Kind : std::uint8_t { Node, Rect, Other };
  struct Entry {
    TElement* Item;  // the node's child when last seen
    Box Envelope;
    Kind Of;
  };
  struct Node {
    double X = 0, Y = 0;
    std::int32_t Width = 0;
    std::vector<Entry> Entries;
  };

  static bool Meets(const Box& box, const Box& query);
  // The node's entries brought up to date with its children.
  const Node& Refresh(TQTree* node);
  void Visit(TQTree* node, const Box& query, std::vector<TElement*>& found);

  std::unordered_map<const TElement*, Node> nodes_;
};

}  // namespace areas
