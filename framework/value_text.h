#pragma once
// The text forms of the typed values: whole-number parsing with its fallback
// value, the 23-character scientific float text and the general float text.
#include <cstdint>
#include <string>
#include <string_view>

namespace framework {

// Leading blanks, then a sign and decimal digits, or '$', 'x', 'X', "0x",
// "0X" and up to eight hexadecimal digits (the 32-bit pattern); nothing may
// follow. True when the whole text converts. On failure `value` still holds
// the number read before the failing character, with its sign (0 for an
// empty text).
bool ParseWholeNumber(std::string_view text, std::int32_t& value);

// " 1.00000000000000E+0000": sign place, one digit, 14 decimals, a signed
// four-digit exponent (15 significant digits).
std::string ScientificFloatText(double value);

// The shortest text of up to 15 significant digits, in exponent form ("1E20")
// for very large or small values, with the locale's decimal separator.
std::string GeneralFloatText(double value);

}  // namespace framework
