#pragma once
// Small text helpers shared by the whole program: numbers and booleans to and
// from text with either decimal separator, trimming, splitting, token scanning,
// fixed-width number formatting, directory backslashes, owned optional strings
// and the "T" prefix of class names.
//
// Positions are 1-based byte positions (texts are UTF-8; every delimiter the
// callers use is ASCII, so a byte position never splits a delimiter).
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace framework {

// The process-wide decimal separator (the platform's setting, which stands
// for the regional settings of the desktop).
char DecimalSeparator();
void SetDecimalSeparator(char separator);

// The fixed-point conversion of files (decimal point always '.'): leading
// blanks, sign, digits with one point, exponent. Converts the longest valid
// prefix; `stop` receives the index of the first character not taken. Nothing
// when the text does not start with a number or the number does not fit.
std::optional<double> ParseFixedPointPrefix(std::string_view text, std::size_t& stop);
// The same, but only when the whole text is the number.
std::optional<double> ParseFixedPoint(std::string_view text);

// Whether the bytes are well-formed UTF-8 (files written on Windows are not).
bool IsValidUtf8(std::string_view text);

// A set of byte values for the scanners.
using CharSet = std::bitset<256>;
CharSet MakeCharSet(std::string_view chars);

}  // namespace framework

// Empty text gives 0. Decimal, or hexadecimal after '$', 'x', 'X', "0x" or
// "0X"; leading blanks and a sign allowed. Text that does not convert wholly
// gives the value of the digits before the first bad character, with its sign
// ("-12a" gives -12); a digit that would overflow 32 bits ends the number.
std::int32_t StrToIntOrZero(std::string_view text);

// The locale's float syntax: blanks around, optional sign, digits with the
// locale's separator, optional exponent. When that fails the first point or
// comma is toggled and the conversion tried once more.
bool IsFloatText(std::string_view text);
// The value of the first attempt that converts, 0 when neither does.
double StrToFloatLenient(std::string_view text);

// Replaces the first character that is a or b by the other one.
void ToggleDecimalSeparator(std::string& text, char a, char b);

std::string BoolToText(bool value);
// True when the text starts with 't' or 'T'.
bool TextIsTrue(std::string_view text);

// printf "%*.*d" (zero-padded to width digits) or "%*d" (blank-padded);
// never cut.
std::string IntToStrWidth(std::int64_t value, int width, bool zeroPad);
// printf "%*.*f" with the locale's decimal separator.
std::string FloatToStrWidth(int width, int decimals, double value);

// Strips blanks and NULs at both ends; tabs stay.
std::string TrimBlanks(std::string_view text);

// Splits at the first '=' (anywhere in the text); both parts trimmed. Without
// '=' the whole trimmed text is the name, the value empty, the result false.
bool SplitNameValue(std::string_view text, std::string& name, std::string& value);
// The same at the first `separator`.
bool SplitAtChar(std::string_view text, char separator, std::string& head, std::string& rest);

// Reads from `start` up to the first character of `delimiters` (only ASCII 32
// to 127 can stop the scan). `position` ends just past the delimiter (one past
// the end when the text ran out, in which case `delimiter` is NUL). An empty
// text leaves `position` at `start`.
void ScanToken(std::string_view text, const framework::CharSet& delimiters, std::size_t start,
               std::string& token, std::size_t& position, char& delimiter);
// ScanToken with the token trimmed.
void ScanTrimmedToken(std::string_view text, const framework::CharSet& delimiters,
                      std::size_t start, std::string& token, std::size_t& position,
                      char& delimiter);

// Appends '\' to a non-empty path that does not end in a separator ('\' or
// '/'), in place; returns the path, or "\" for an empty one.
std::string AppendBackslash(std::string& path);
// The same result without touching the argument.
std::string AddTrailingBackslash(std::string_view path);

// Puts "T" in front of a non-empty text whose first letter is not t/T, in
// place; returns the text.
std::string EnsureTPrefix(std::string& text);

// An owned optional string: null stands for the empty string.
using PString = std::unique_ptr<std::string>;
std::string PStrToStr(const PString& cell);
void AssignPStr(PString& cell, std::string_view text);
