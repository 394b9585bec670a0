#pragma once
// Which lines bound an area and its holes, and which areas lie in its holes:
// answered from the element graph of node and area building, where a line is
// owned by every area, hole and container that holds it.
#include <unordered_set>

#include "framework/tool.h"

class TAreaElement;
class TAreaString;
class TPolyLineString;

// A line list without repeats. The caller owns what it reads from Lines.
class TExtractAnyLines : public TTool {
  ZELTO_ELEMENT(TExtractAnyLines)
 public:
  // Created empty on first read when none was set.
  TPolyLineString* GetLines();
  void SetLines(TPolyLineString* lines);
  virtual void AddLine(TElement* line);

 private:
  TPolyLineString* lines_ = nullptr;
  // What Lines holds, so that a long list is not searched for every line.
  std::unordered_set<const TElement*> listed_;
  bool seeded_ = false;
};

// The Input is the area.
class TExtractAnyLinesForArea : public TExtractAnyLines {
  ZELTO_ELEMENT(TExtractAnyLinesForArea)
};

// The lines of the area's outer boundary.
class TExtractBounderyLinesForArea : public TExtractAnyLinesForArea {
  ZELTO_ELEMENT(TExtractBounderyLinesForArea)
 public:
  void DoIt() override;
};

// The lines of all holes of the area.
class TExtractHolesLinesForArea : public TExtractAnyLinesForArea {
  ZELTO_ELEMENT(TExtractHolesLinesForArea)
 public:
  void DoIt() override;
};

// The boundary lines of every area of the Input container; a line shared by
// two areas is listed once, at its first occurrence.
class TExtractLinesForAreas : public TExtractAnyLines {
  ZELTO_ELEMENT(TExtractLinesForAreas)
 public:
  void DoIt() override;
  virtual void ExtractForArea(TElement* area);
};

// The areas lying in the holes of the Input area: the other owners of the
// holes' lines, restricted to members of AreaString when that is set. An
// island touching the area's outer ring, which leaves no hole ring of its
// own, lies in the area too: the other owners of the lines by which the
// area's ring goes round it. An area sharing several lines with the holes
// is listed once per line.
class TExtractSubAreasForArea : public TTool {
  ZELTO_ELEMENT(TExtractSubAreasForArea)
 public:
  TAreaString* GetSubAreas();
  void SetSubAreas(TAreaString* areas) { subAreas_ = areas; }
  TElement* AreaString = nullptr;  // not owned

  void DoIt() override;

 private:
  TAreaString* subAreas_ = nullptr;
};
