#pragma once
// Line joining: digitised lines are taken one after another and fitted to
// the lines accepted before them (ends snapped together, points onto
// segments, segments cut where they cross or where old points lie on
// them), optionally divided, and saved back as lines. The owners of a line
// that is cut are told of every piece (message 57), so areas and
// containers keep their boundaries whole.
#include <vector>

#include "areas/line_joiners.h"

class TQTreeGlxLin;

// Divides the segments of the work list longer than MaxOutputAbscLength.
class TDivideAbscs : public TProtocolTool {
  ZELTO_ELEMENT(TDivideAbscs)
 public:
  void DoIt() override;

  double MaxOutputAbscLength = 0;
  double RoundKoef = 0;
  bool DivideLines = false;
};

// Cuts the lines of the work list at their new ends and files the result
// in QTree.
class TSaveChangedLines : public TProtocolTool {
  ZELTO_ELEMENT(TSaveChangedLines)
 public:
  void DoIt() override;

  TQTreeGlxLin* QTree = nullptr;
  areas::LeafEnvelopes* Envelopes = nullptr;  // of QTree, when kept beside it
  double MinLength = 0;
  bool SetLinesLabelPoint = false;

 private:
  // Saves the pieces of the line between its cut vertices; answers whether
  // the line was cut into more than one piece.
  bool SavePieces(TPolyLineElement* line, const std::vector<const TGlxLinAbscissa*>& segments, bool always);
  void SavePiece(TPolyLineElement* source, int from, int to);
};

// Fits one new line against the accepted lines; Output is the work list
// (owned by the comparator until it is taken with TakeList).
class TLinComparator : public TLineJoinStep {
  ZELTO_ELEMENT(TLinComparator)
 public:
  ~TLinComparator() override;
  void DoIt() override;
  TLinesAbscEntity* TakeList();

  TQTreeGlxLin* Lines = nullptr;
  areas::LeafEnvelopes* Envelopes = nullptr;  // of Lines, when kept beside it
  bool CompareOnlyDifferentSource = false;
  TObjectRegister* Reference = nullptr;

 private:
  void Setup(TLineJoinStep& step);
  void Run(TLineJoinStep& step);
  TLinesAbscEntity* list_ = nullptr;
};

class TJoinLines : public TTool {
  ZELTO_ELEMENT(TJoinLines)
 public:
  ~TJoinLines() override;
  // Input: a TRectEntity whose children are the lines. Output: the
  // quad-tree of accepted lines, which the tool keeps.
  void DoIt() override;
  TQTreeGlxLin* Accepted() const { return tree_; }
  // Hands the accepted-lines tree over to the caller.
  TQTreeGlxLin* TakeAccepted();

  const std::string& GetProtocol() const { return protocol_.GetProtocol(); }
  void SetProtocol(const std::string& name) { protocol_.SetProtocol(name); }
  bool GetUseProtocol() const { return protocol_.UseProtocol; }
  void SetUseProtocol(bool on) { protocol_.UseProtocol = on; }
  std::int32_t GetProtocoledLine() const { return protocol_.ProtocoledLine; }
  void SetProtocoledLine(std::int32_t n) { protocol_.ProtocoledLine = n; }

  double SnapDistance = 0;
  double MinLength = 0;
  bool OnlyEnds = false;
  bool SelfTest = false;
  bool PrepocitavatPopBodyLinii = false;
  bool CompareOnlyDifferentSource = false;
  double MaxOutputAbscLength = 0;
  double RoundKoef = 0;
  bool DivideOutputLines = false;

 private:
  void ProcessLine(TPolyLineElement* line);
  TProtocolTool protocol_;
  TQTreeGlxLin* tree_ = nullptr;  // owned until taken
  // The accepted lines' envelopes during a run: every line looks for its
  // neighbours in the tree.
  areas::LeafEnvelopes envelopes_;
};

void RegisterLineJoinClasses();
