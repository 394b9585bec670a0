#pragma once
// Readers of lines into the begin/end cell index: every line not yet done is
// filed under its first and its last vertex, so that node building compares
// line ends only within one leaf.
#include "areas/line_walkers.h"

class TSpaceLineBegEndCell;

// The lines below the source (the first parameter, else the input). Output:
// the index named "QTREE", owned by whoever takes it.
class TReadLinesIntoQTree : public TProchazecLiniiGauge {
  ZELTO_ELEMENT(TReadLinesIntoQTree)
 public:
  void DoIt() override;
  void Process(TElement* element) override;
  TSpaceLineBegEndCell* Index() const { return index_; }

 private:
  TSpaceLineBegEndCell* index_ = nullptr;
};

// The line lists of the containers of ContainerClass below the source. The
// index "QTREE " + class name becomes a child of the source.
class TReadLinesIntoQTreeDleTridy : public TProchazecLiniiDleTridy {
  ZELTO_ELEMENT(TReadLinesIntoQTreeDleTridy)
 public:
  void DoIt() override;
  void Process(TElement* element) override;
  TSpaceLineBegEndCell* Index() const { return index_; }

 private:
  TSpaceLineBegEndCell* index_ = nullptr;
};
