#pragma once
// A list of integers as TIntegerElement children, in the order added unless
// a user of the class asks for sorting.
#include <cstdint>
#include <string>

#include "framework/entity.h"

class TIntegerListElement : public TOwnerEntity {
  ZELTO_ELEMENT(TIntegerListElement)
 public:
  bool Sorted = false;
  bool AllowDuplicates = false;

  std::int32_t GetValue(int index) const;
  bool Contains(std::int32_t value) const;
  void AddValue(std::int32_t value);
  // Comma-separated whole numbers (hexadecimal with a prefix too); parts
  // that are not numbers are skipped.
  void AddCommaText(const std::string& text);
};

// Every whole number found in the text, in order; nullptr when none.
TIntegerListElement* IntegerListFromText(const std::string& name, const std::string& text);
