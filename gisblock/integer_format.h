#pragma once
// The integer part of the standard format function: literal text, "%%" and
// one "%[-][width][.precision]d" taking the value. Formats come from control
// files and scripts, so they are interpreted here and never handed to printf.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace gisblock {

// Nothing when the format holds another directive or a second value
// directive; a format without one is its literal text.
std::optional<std::string> formatInteger(std::string_view format, std::int64_t value);

}  // namespace gisblock
