#include "framework/name_compare.h"
#include "script/expression_keywords.h"

#include <array>

namespace script {

namespace {
const std::array<std::string, KeywordCount>& table() {
  static const std::array<std::string, KeywordCount> words = {
      "",          "FIND",      "FINDFIRST", "FINDABSFIRST", "FINDTOLEVEL", "CLASS",   "ANCESTOR",
      "EXISTSPROP", "ROUND",    "TRUNC",     "COS",          "SIN",         "ARCTAN",  "EXP",
      "FRAC",      "LN",        "SQR",       "SQRT",         "ODD",         "ABS",     "NOT",
      "AND",       "OR",        "MOD",       "DIV",          "<",           ">",       "=",
      "+",         "-",         "*",         "/",            "TOBOOLEAN",   "TOCHAR",  "TOBYTE",
      "TOFLOAT",   "TOSTRING",  "TOINTEGER", ""};
  return words;
}
}  // namespace

const std::string& KeywordText(int code) {
  static const std::string empty;
  if (code < 1 || code > KeywordCount - 2) return empty;
  return table()[code];
}

}  // namespace script

int FindKeyword(const std::string& text) {
  const std::string upper = zelto::UpperAZ(text);
  for (int code = 1; code <= script::KeywordCount - 2; ++code)
    if (script::KeywordText(code) == upper) return code;
  return 0;
}
