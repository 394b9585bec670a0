#pragma once
// A tool that picks one registered object by block, kind and number, so that
// scripts and tool models can reach an object of a read block by its number.
#include <cstdint>
#include <string>

#include "framework/tool.h"

class TRegisterObjectSelector : public TTool {
  ZELTO_ELEMENT(TRegisterObjectSelector)
 public:
  std::string BlockName;
  std::int32_t ObjectNo = 0;
  std::string ObjectType;  // its first character is the kind letter

  // Leaves the object, or nil, as the output; posts nothing.
  void DoIt() override;
};
