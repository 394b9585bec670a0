#pragma once
// Writing a list of lines into the line file of a block: numbering, colour
// and symbol, the links of every line to its neighbours at both its nodes,
// and the selection of the lines that bound one group of areas.
#include <cstdint>

#include "areas/export_elements.h"
#include "areas/line_walkers.h"

class TPrepareExportLinesToGelix : public TTool {
  ZELTO_ELEMENT(TPrepareExportLinesToGelix)
 public:
  std::int32_t Barva = -1;
  std::int32_t Znacka = -1;
  // The number of the list's first line: above 1 when the lines are
  // appended to a line file that holds others.
  std::int32_t FirstNumber = 1;
  void DoIt() override;
  // The user broke the run off: some lines are left without their links.
  bool Interrupted() const { return interrupted_; }

 private:
  std::int32_t counter_ = 0;
  bool interrupted_ = false;
};

class TExportLinesToGelix : public TExportGelixElements {
  ZELTO_ELEMENT(TExportLinesToGelix)
 public:
  std::int32_t Barva = -1;
  std::int32_t Znacka = -1;
  void DoIt() override;
};

class TSelectLinesFromGroups : public TProchazecLiniiGauge {
  ZELTO_ELEMENT(TSelectLinesFromGroups)
 public:
  std::int32_t GroupId = 0;
  void DoIt() override;
  void Process(TElement* element) override;

 private:
  TElement* groupOf(TElement* owner) const;
};

namespace areas {
// A colour, symbol or kind for a 16-bit field; std::range_error beyond it.
std::int16_t CheckedInt16(std::int32_t value);
}  // namespace areas
