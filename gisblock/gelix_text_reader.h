#pragma once
// Reader of the texts of a block: placement and style from TN.TBX, the
// string from the line of the same number in TN.TTX.
#include <string>
#include <vector>

#include "geometry/space_entity.h"
#include "gisblock/gelix_reader.h"
#include "gisblock/tbx_record.h"

class TGelixTextReader : public TGeliXObjectReader {
  ZELTO_ELEMENT(TGelixTextReader)
 public:
  int RecordSizeOfFile() const override { return gisblock::TbxRecord::kSize; }
  std::string GetFileName() const override { return "TN.TBX"; }
  char GetKindCode() const override { return 'T'; }
  // The text of the next record (records must be read in order from 0);
  // `expected` is its number: a record carrying another number is read
  // under the expected one, and the variable becomes -1.
  TTextElement* ReadText(std::int32_t& expected);

  // The lines of a text file ended by CR LF, LF or a lone CR.
  static std::vector<std::string> SplitLines(const std::string& text);

 protected:
  bool OpenCompanions() override;

 private:
  std::vector<std::string> lines_;
  std::size_t nextLine_ = 0;
};
