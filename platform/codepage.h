#pragma once
// Text is UTF-8 inside the program; the files of the GIS hold it in one of
// the single-byte code pages below. Conversion happens where bytes enter or
// leave a file.
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

enum class CodePage : std::uint8_t {
  Ibm437,       // the IBM PC default, taken when a block names nothing else
  Latin2,       // CP852
  Kamenicky,    // KEYBCS2: CP437 with the Czech letters in 0x80..0xAB
  Windows1250,  // the code page of the attribute tables
};

// Bytes of the code page to UTF-8; a byte the code page leaves undefined
// becomes U+FFFD.
std::string toUtf8(std::string_view bytes, CodePage codePage);

// UTF-8 to bytes of the code page; a character the code page lacks, and a
// malformed UTF-8 sequence, become `replacement`.
std::string fromUtf8(std::string_view utf8, CodePage codePage, char replacement = '?');

// UTF-16 bytes (without a byte-order mark) to UTF-8; a code unit that does
// not decode (a lone surrogate, an odd last byte) becomes U+FFFD.
std::string fromUtf16(std::string_view bytes, bool bigEndian);

// Orders two UTF-8 texts by their Windows-1250 byte codes, the order in which
// the expression language compares strings. Negative, zero or positive.
int compareByCp1250(std::string_view a, std::string_view b);
// The same order with the letters upper-cased first: texts that differ only
// in letter case are equal.
int compareByCp1250IgnoringCase(std::string_view a, std::string_view b);

// Upper and lower case of the Latin letters (ASCII, Latin-1 and Latin
// Extended-A, which hold every Czech and Slovak letter); other characters
// stay as they are.
std::string upperUtf8(std::string_view utf8);
std::string lowerUtf8(std::string_view utf8);

// Equality ignoring the case of the letters a to z only.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace platform
