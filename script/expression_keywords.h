#pragma once
// The words and signs of the expression language. The codes are positions
// in one fixed table; the parser turns each into its node class.
#include <string>

namespace script {

enum KeywordCode : int {
  kwNone = 0,
  kwFind = 1,  // 1..4 are reserved and read as property names
  kwFindFirst = 2,
  kwFindAbsFirst = 3,
  kwFindToLevel = 4,
  kwClass = 5,
  kwAncestor = 6,
  kwExistsProp = 7,
  kwRound = 8,
  kwTrunc = 9,
  kwCos = 10,
  kwSin = 11,
  kwArcTan = 12,
  kwExp = 13,
  kwFrac = 14,
  kwLn = 15,
  kwSqr = 16,
  kwSqrt = 17,
  kwOdd = 18,
  kwAbs = 19,
  kwNot = 20,
  kwAnd = 21,
  kwOr = 22,
  kwMod = 23,
  kwDiv = 24,
  kwLess = 25,
  kwGreater = 26,
  kwEqual = 27,
  kwPlus = 28,
  kwMinus = 29,
  kwTimes = 30,
  kwDivide = 31,
  kwToBoolean = 32,
  kwToChar = 33,
  kwToByte = 34,
  kwToFloat = 35,
  kwToString = 36,
  kwToInteger = 37,
};

constexpr int KeywordCount = 39;  // entries 0 and 38 stay empty

// The table entry of a code (empty outside 1..37).
const std::string& KeywordText(int code);

// Tests and functions take one argument in parentheses right after the name.
inline bool IsTestKeyword(int code) { return code >= kwClass && code <= kwExistsProp; }
inline bool IsFunctionKeyword(int code) {
  return (code >= kwRound && code <= kwAbs) || (code >= kwToBoolean && code <= kwToInteger);
}


}  // namespace script

// The code of the word or sign (compared upper-cased), 0 when it is none.
int FindKeyword(const std::string& text);
