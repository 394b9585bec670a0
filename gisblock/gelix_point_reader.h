#pragma once
// Reader of the points (TN.PNT) of a block.
#include "geometry/space_entity.h"
#include "gisblock/gelix_reader.h"
#include "gisblock/pnt_record.h"

class TGelixPointReader : public TGeliXObjectReader {
  ZELTO_ELEMENT(TGelixPointReader)
 public:
  int RecordSizeOfFile() const override { return gisblock::PntRecord::kSize; }
  std::string GetFileName() const override { return "TN.PNT"; }
  char GetKindCode() const override { return 'B'; }
  // The point of the next record; nil for a deleted, dummy, out-of-range or
  // filtered record.
  TPointElement* ReadPoint();
};
