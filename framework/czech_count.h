#pragma once
// A count and its noun as Czech says it: "1 plocha", "2 plochy", "5 ploch",
// "0 ploch". Every message that prints how many of something goes through
// here, so that no message says "1 ploch" or "1 řádků".
#include <cstdint>
#include <string>
#include <string_view>

namespace framework {

// The form for 1, for 2 to 4 and for the rest (0, 5 and more; negative
// counts take the form of their magnitude). For a count after a preposition
// that wants the genitive ("z 1 plochy", "z 5 ploch") the caller passes those
// forms.
std::string_view CzechPlural(std::int64_t count, std::string_view one, std::string_view few, std::string_view many);
// The count, a blank and the form.
std::string CzechCount(std::int64_t count, std::string_view one, std::string_view few, std::string_view many);

}  // namespace framework
