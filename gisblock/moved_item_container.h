#pragma once
// The field-transfer list of one .TDS file as elements: one TSourTarNames
// child per pair, in file order.
#include <string>

#include "framework/entity.h"

class TSourTarNames : public TElement {
  ZELTO_ELEMENT(TSourTarNames)
 public:
  std::string Source;
  std::string Target;
};

class TMovedItemContainer : public TEntity {
  ZELTO_ELEMENT(TMovedItemContainer)
 public:
  // The file last loaded.
  const std::string& GetFileName() const { return fileName_; }
  // Reads the pairs of the file (a path of the GIS tree); a file that cannot
  // be opened changes nothing.
  void SetFileName(const std::string& fileName);
  // Source or target of pair i; empty when there is no such pair.
  void GetSourceName(int index, std::string& text) const;
  void GetTargetName(int index, std::string& text) const;

 private:
  const TSourTarNames* Pair(int index) const;

  std::string fileName_;
};
