#pragma once
// Readers of the vertices (TN.CRD) and lines (TN.LIN) of a block.
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
  // A new vertex in world coordinates from the next record; nil at the end.
  T2DCoordinate* ReadCoord();
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
  // `current`, the record `currentNo`; none at an empty link, a link beyond
  // the file (damage) or a deleted line.
  struct Next {
    std::int32_t record = 0;
    gisblock::LinRecord line;
    bool onLeft = false;
  };
  std::optional<Next> NextLine(const gisblock::LinRecord& current, std::int32_t currentNo, bool onLeft);

  TGelixCoordReader* CoordReader() const { return coords_; }
  // Whether FirstCoord..LastCoord of the record lie in TN.CRD; warns with
  // the file and the record when not, and a range beyond the file is
  // damage.
  bool CoordRangeValid(const gisblock::LinRecord& line, std::int32_t recordNo);
  gisblock::BlockDamage Damage() const override;

 protected:
  bool OpenCompanions() override;
  virtual TGelixCoordReader* CreateCoordReader();

  TGelixCoordReader* coords_ = nullptr;  // owned
  gisblock::LinRecord record_;
};
