#pragma once
// The steps that fit one new line against the nearby old lines: the work
// list and its segment index, the old segments near the new line, removal
// of short segments, and the four joiners (end to end, new end onto old
// segment, old point onto new segment, segment against segment). Each
// step's Input is the work list, which it changes in place.
#include <stdexcept>

#include "areas/leaf_envelopes.h"
#include "areas/lines_absc_entity.h"
#include "areas/protocol_tool.h"

class TObjectRegister;
class TQTreeGlxLin;

namespace areas {

// Lines a joiner cannot finish with: cutting them would never end (the
// coordinates of a damaged block). Unlike other failures of one line it
// ends the whole joining.
class DamagedGeometry : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace areas

// What every step shares: the tolerance, the switches and the work list.
class TLineJoinStep : public TProtocolTool {
  ZELTO_ELEMENT(TLineJoinStep)
 public:
  TLinesAbscEntity* List() const;

  double SnapDistance = 0;
  bool OnlyEnds = false;
  bool SelfTest = false;

 protected:
  // Where the candidates of the new segment at `position` start: the old
  // lines, or with SelfTest every later segment.
  int FirstCandidate(int position) const;
  bool Follows() const;
};

// Input: a line. Output: a new work list of its segments, owned by the
// caller.
class TCreateLinesAbscEntity : public TLineJoinStep {
  ZELTO_ELEMENT(TCreateLinesAbscEntity)
 public:
  void DoIt() override;
};

// Input: the work list. Output: a new index of the new line's segments
// over the line's envelope, owned by the caller.
class TCreateLinQTreeAbsc : public TLineJoinStep {
  ZELTO_ELEMENT(TCreateLinQTreeAbsc)
 public:
  void DoIt() override;
};

// Appends the segments of the accepted lines that come within the snap
// distance of a segment of the new line.
class TAddLinesIntoLinesAbscEntity : public TLineJoinStep {
  ZELTO_ELEMENT(TAddLinesIntoLinesAbscEntity)
 public:
  void DoIt() override;

  TQTreeGlxLin* Lines = nullptr;          // the accepted lines
  areas::LeafEnvelopes* Envelopes = nullptr;  // of Lines, when kept beside it
  TQTree* Segments = nullptr;             // the new line's segments
  bool CompareOnlyDifferentSource = false;
  TObjectRegister* Reference = nullptr;   // the new line's source
};

// Removes the new line's segments whose ends lie within the tolerance (or,
// at 0, are equal), each with its begin vertex.
class TDeleteZeroAbscInFirstLine : public TLineJoinStep {
  ZELTO_ELEMENT(TDeleteZeroAbscInFirstLine)
 public:
  void DoIt() override;
};

// Moves the new line's vertices onto the nearest line end in reach.
class TPoinPointJoiner : public TLineJoinStep {
  ZELTO_ELEMENT(TPoinPointJoiner)
 public:
  void DoIt() override;

 private:
  void JoinEnd(int position, bool atBegin);
};

// Moves the new line's vertices onto old segments in reach and cuts the
// old segment there.
class TNewPointOldAbscJoiner : public TLineJoinStep {
  ZELTO_ELEMENT(TNewPointOldAbscJoiner)
 public:
  void DoIt() override;
  bool DivideOldLine = true;

 private:
  void JoinEnd(int position, bool atBegin);
};

// Cuts new segments at the old points that lie on them.
class TNewAbscOldPointJoiner : public TLineJoinStep {
  ZELTO_ELEMENT(TNewAbscOldPointJoiner)
 public:
  void DoIt() override;

 private:
  // Answers how many pieces it inserted after the segment.
  int ProcessAbsc(int position);
};

// Marks duplicate segments, the line ends at shared points and cuts
// crossing segments; then drops every cut point that did not become a line
// end.
class TAbscAbscJoiner : public TLineJoinStep {
  ZELTO_ELEMENT(TAbscAbscJoiner)
 public:
  void DoIt() override;

 private:
  void Compare(int position, int candidate);
  // Where the new line runs along an old one, every shared vertex was
  // marked; the old line is cut only where a new segment that stays (no
  // duplicate) meets it, so that a shared stretch does not fall apart into
  // single segments.
  void KeepJunctionsOnly();
  // The line of the segment at `position` is cut at the segment's begin or
  // end point: the segment that begins there is marked.
  void CutAtBegin(int position);
  void CutAtEnd(int position);
  // Cuts at (x, y), which lies on the segment: at one of its ends by
  // marking, inside by splitting. Answers how many entries it inserted.
  int CutAt(int position, double x, double y);
};
