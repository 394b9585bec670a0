#pragma once
// Envelope quad-tree over whole-number, power-of-two squares: the region
// index of node and area building. An element is stored in every leaf whose
// square meets its envelope; a leaf splits past its capacity; the root grows
// by power-of-two factors so the old square stays one cell of the new one.
#include <cstdint>

#include "framework/coordinate.h"
#include "framework/rect_entity.h"

class TQTree : public TRectEntity {
  ZELTO_ELEMENT(TQTree)
 public:
  // A leaf of this width is never split: elements closer together than a
  // whole-number split can separate stay in one leaf past the capacity.
  static constexpr std::int32_t kMinSplitWidth = 2;

  virtual std::int32_t GetCapacity() const = 0;
  virtual void GetElementEnvelope(TElement* element, double& minX, double& minY, double& maxX,
                                  double& maxY) const = 0;
  virtual bool ElementMeetsRect(TElement* element, double minX, double minY, double maxX,
                                double maxY) const;

  double GetQXMin() const { return GetMinX(); }
  double GetQYMin() const { return GetMinY(); }
  void SetQXMin(double v) { SetMinX(v); }
  void SetQYMin(double v) { SetMinY(v); }
  std::int32_t GetQWidth() const { return qWidth_; }
  void SetQWidth(std::int32_t w);

  bool GetIsLeaf() const;
  std::int32_t GetElementsCount() const;
  std::int32_t GetLeavesCount() const;

  // Called on the root: sets or grows the root square as needed.
  void Insert(TElement* element);
  void InsertWithinRoot(TElement* element);
  void InitRootSquare(double minX, double minY, double maxX, double maxY);
  bool HasElementInRect(double minX, double minY, double maxX, double maxY) const;

  bool SquareMeetsRect(double minX, double minY, double maxX, double maxY) const;
  bool SquareContainsRect(double minX, double minY, double maxX, double maxY) const;
  bool SquareHoldsSquare(std::int32_t x, std::int32_t y, std::int32_t w) const;

  std::int32_t Level = 0;

 protected:
  void GrowRoot(double minX, double minY, double maxX, double maxY);
  void InsertInto(TElement* element, double minX, double minY, double maxX, double maxY);
  // Four new nodes of this node's class, not yet children.
  void Split(TQTree* quads[4]) const;
  // Splits a full leaf into four; when that fails, the leaf stays as it was.
  void SplitLeaf();
  // Takes the element out of every leaf below that meets the rectangle.
  void Withdraw(TElement* element, double minX, double minY, double maxX, double maxY);

 private:
  std::int32_t qWidth_ = 0;
  // After a split that would have separated nothing, the leaf waits until
  // it has doubled before trying again.
  std::int32_t retrySplitAt_ = 0;
};

class TSpaceEntityQTree : public TQTree {
  ZELTO_ELEMENT(TSpaceEntityQTree)
 public:
  std::int32_t GetCapacity() const override { return 64; }
  void GetElementEnvelope(TElement* element, double& minX, double& minY, double& maxX,
                          double& maxY) const override;
  // Inserts a rectangle entity; anything else is ignored.
  void SetNextSpaceEntity(TElement* element);
};

class TQTreeGlxLin : public TSpaceEntityQTree {
  ZELTO_ELEMENT(TQTreeGlxLin)
 public:
  std::int32_t GetCapacity() const override { return 128; }
};

// Depth-first iterator over the elements met by a query rectangle widened
// by a tolerance. An element stored in several leaves is returned once for
// each of them.
class TQTreeWalker {
 public:
  virtual ~TQTreeWalker() = default;
  TElement* FindFirst(TQTree* tree, double tolerance, double minX, double minY, double maxX,
                      double maxY);
  TElement* FindNext();

 protected:
  virtual bool NodeMeetsQuery(const TQTree* node) const;

 private:
  TQTree* tree_ = nullptr;
  TQTree* node_ = nullptr;
  int index_ = 0;
  double minX_ = 0, minY_ = 0, maxX_ = 0, maxY_ = 0, tolerance_ = 0;
};
