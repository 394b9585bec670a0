#pragma once
// The work list of line joining: the segments of the new line in order,
// then the segments of the nearby old lines, each line's together and in
// order. Every segment's Index stays equal to the position of its begin
// vertex in its line as vertices are removed and cut points inserted.
#include "framework/entity.h"
#include "geometry/line_segment.h"

class TLinesAbscEntity : public TEntity {
  ZELTO_ELEMENT(TLinesAbscEntity)
 public:
  TGlxLinAbscissa* Segment(int position) const { return static_cast<TGlxLinAbscissa*>(GetItem(position)); }
  // The line the list was made for; its segments lead the list.
  TPolyLineElement* NewLine() const { return newLine_; }
  void SetNewLine(TPolyLineElement* line) { newLine_ = line; }
  int NewCount() const;

  // Appends the segments of every vertex pair of the line.
  void AddLineSegments(TPolyLineElement* line);
  void AddSegment(TPolyLineElement* line, int index);
  // Removes the segment and its begin vertex from its line; the line's
  // later segments move down by one.
  void DeleteAt(int position);
  // Places a piece made by SplitAt after the segment it was cut from; the
  // line's later segments move up by one.
  void InsertAfter(int position, TGlxLinAbscissa* piece);
  // Cuts the segment at the point; the piece after it comes next in the
  // list and is returned.
  TGlxLinAbscissa* SplitAt(int position, double x, double y);

 private:
  void Renumber(int from, const TPolyLineElement* line, int delta);
  TPolyLineElement* newLine_ = nullptr;  // not owned
};
