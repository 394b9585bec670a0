#pragma once
// Readers of the vertices (TN.CRD) and lines (TN.LIN) of a block.
#include <cfloat>
#include <cstdint>
#include <optional>
#include <string>

#include "framework/coordinate.h"
#include "geometry/poly_element.h"
#include "gisblock/gelix_reader.h"
#include "gisblock/lin_record.h"

class TGelixCoordReader : public TGeliXObjectReader {
  ZELTO_ELEMENT(TGelixCoordReader)
 public:
  int RecordSizeOfFile() const override { return 12; }
  std::string GetFileName() const override { return "TN.CRD"; }
  // The line whose vertices are read next, and the box its record gives
  // them (stored values).
  void BeginLine(const gisblock::StoredBox& box, std::int32_t lineNo);
  // A new vertex in world coordinates from the next record; nil at the end.
  // A vertex outside the box of its line, beyond what rounding of the
  // stored values explains, is damage of the file and is not read (nil).
  T2DCoordinate* ReadCoord();
  // Whether two vertices (world coordinates) are the one vertex that lines
  // meeting at a node each store: equal up to the rounding of stored values.
  static bool SameVertex(double ax, double ay, double bx, double by);

 private:
  // The box of the line, widened by the rounding slack; until a line is
  // begun, any finite vertex.
  double loX_ = -DBL_MAX, hiX_ = DBL_MAX, loY_ = -DBL_MAX, hiY_ = DBL_MAX;
  std::int32_t line_ = -1;
  // The line a vertex outside its box was reported for last: one report a line.
  std::int32_t reportedLine_ = -1;
};

class TGelixLinReader : public TGeliXObjectReader {
  ZELTO_ELEMENT(TGelixLinReader)
 public:
  ~TGelixLinReader() override;
  int RecordSizeOfFile() const override { return gisblock::LinRecord::kSize; }
  std::string GetFileName() const override { return "TN.LIN"; }
  char GetKindCode() const override { return 'L'; }

  // The line of the next record, nil when it is not read (deleted, dummy,
  // hidden, outside the window, filtered out, bad vertex range).
  TPolyLineElement* ReadLine();
  // The point symbol of the next record (Symbol 1000 or more), nil else.
  TPointElement* ReadLineSymbol();
  // The record read last.
  const gisblock::LinRecord& Record() const { return record_; }
  // The record n decoded, when it exists.
  std::optional<gisblock::LinRecord> RecordAt(std::int32_t n);

  // The next line of the ring of the area on the left (onLeft) or right of
  // `current`, the record `currentNo`; none at an empty link, and (as
  // damage) at a link beyond the file, to a deleted line or to a line that
  // does not border the ring's area on the side the link names.
  struct Next {
    std::int32_t record = 0;
    gisblock::LinRecord line;
    bool onLeft = false;
  };
  std::optional<Next> NextLine(const gisblock::LinRecord& current, std::int32_t currentNo, bool onLeft);

  TGelixCoordReader* CoordReader() const { return coords_; }
  // Whether the vertices of the record can be read: FirstCoord..LastCoord
  // in TN.CRD and in order, and a box whose least values are not above its
  // greatest. Warns with the file and the record when not; a range beyond
  // the file and a box turned inside out are damage.
  bool CoordRangeValid(const gisblock::LinRecord& line, std::int32_t recordNo);
  // Only whether FirstCoord..LastCoord lie in TN.CRD; damage when not.
  bool CoordRangeInFile(const gisblock::LinRecord& line, std::int32_t recordNo);
  gisblock::BlockDamage Damage() const override;
  TGeliXObjectReader* ReaderOf(const std::string& fileName) override;

 protected:
  bool OpenCompanions() override;
  virtual TGelixCoordReader* CreateCoordReader();

  TGelixCoordReader* coords_ = nullptr;  // owned
  gisblock::LinRecord record_;
};
