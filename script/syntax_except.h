#pragma once
// The error of a condition or expression text that does not parse. The
// message is one of the parser's fixed texts; where it happened travels
// separately, so that callers can point at the character.
#include <cstdint>
#include <string>

#include "framework/errors.h"

class SyntaxExcept : public EZeltoError {
 public:
  SyntaxExcept(const std::string& message, std::int32_t position)
      : EZeltoError(message), Position(position) {}
  static SyntaxExcept Create(const std::string& message, std::int32_t position) {
    return SyntaxExcept(message, position);
  }
  // 1-based character index into the text handed to the outermost parse.
  std::int32_t Position;
};
