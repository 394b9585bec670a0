#include "platform/codepage.h"

#include <array>
#include <iconv.h>
#include <stdexcept>
#include <unordered_map>

namespace platform {
namespace {

constexpr char32_t kUndefined = 0xFFFD;

using ByteTable = std::array<char32_t, 256>;

// glibc carries the IBM and Windows tables; asking it once per byte keeps
// the conversions themselves free of iconv state.
ByteTable tableFromIconv(const char* name) {
  iconv_t cd = iconv_open("UTF-32LE", name);
  if (cd == reinterpret_cast<iconv_t>(-1))
    throw std::runtime_error(std::string("iconv does not know code page ") + name);
  ByteTable table{};
  for (int b = 0; b < 256; ++b) {
    char in = static_cast<char>(b);
    unsigned char out[8] = {};
    char* inPtr = &in;
    char* outPtr = reinterpret_cast<char*>(out);
    size_t inLeft = 1, outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || outLeft != 4)
      table[b] = kUndefined;
    else
      table[b] = out[0] | out[1] << 8 | out[2] << 16 | static_cast<char32_t>(out[3]) << 24;
  }
  iconv_close(cd);
  return table;
}

// Kamenický is not among glibc's tables: its upper half is CP437 with the
// Czech and Slovak letters in 0x80..0xAB.
ByteTable kamenickyTable() {
  ByteTable table = tableFromIconv("CP437");
  static const char32_t czech[] = {
      0x010C, 0x00FC, 0x00E9, 0x010F, 0x00E4, 0x010E, 0x0164, 0x010D,  // 80
      0x011B, 0x011A, 0x0139, 0x00CD, 0x013E, 0x013A, 0x00C4, 0x00C1,  // 88
      0x00C9, 0x017E, 0x017D, 0x00F4, 0x00F6, 0x00D3, 0x016F, 0x00DA,  // 90
      0x00FD, 0x00D6, 0x00DC, 0x0160, 0x013D, 0x00DD, 0x0158, 0x0165,  // 98
      0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x0148, 0x0147, 0x016E, 0x00D4,  // A0
      0x0161, 0x0159, 0x0155, 0x0154,                                  // A8
  };
  for (size_t i = 0; i < std::size(czech); ++i) table[0x80 + i] = czech[i];
  return table;
}

struct CodePageTables {
  ByteTable toUnicode;
  std::unordered_map<char32_t, unsigned char> fromUnicode;

  explicit CodePageTables(ByteTable table) : toUnicode(table) {
    // Walk downwards so that the lowest byte wins for a duplicated character.
    for (int b = 255; b >= 0; --b)
      if (table[b] != kUndefined) fromUnicode[table[b]] = static_cast<unsigned char>(b);
  }
};

const CodePageTables& tables(CodePage codePage) {
  static const CodePageTables ibm(tableFromIconv("CP437"));
  static const CodePageTables latin2(tableFromIconv("CP852"));
  static const CodePageTables kamenicky(kamenickyTable());
  static const CodePageTables windows(tableFromIconv("CP1250"));
  switch (codePage) {
    case CodePage::Latin2: return latin2;
    case CodePage::Kamenicky: return kamenicky;
    case CodePage::Windows1250: return windows;
    case CodePage::Ibm437: break;
  }
  return ibm;
}

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | c >> 18);
    out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Decodes one character at `pos` and moves past it; a malformed sequence
// yields U+FFFD and moves one byte.
char32_t nextCodePoint(std::string_view s, size_t& pos) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = byte(pos);
  int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
  if (length == 0 || pos + length > s.size()) {
    ++pos;
    return kUndefined;
  }
  char32_t c = length == 1 ? lead : lead & (0x7F >> length);
  for (int i = 1; i < length; ++i) {
    if ((byte(pos + i) & 0xC0) != 0x80) {
      ++pos;
      return kUndefined;
    }
    c = c << 6 | (byte(pos + i) & 0x3F);
  }
  pos += length;
  return c;
}

bool isUpperExtA(char32_t c) {
  // Latin Extended-A pairs an upper-case letter with the next code, except
  // in the two runs where the pairs start on an odd code.
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return c % 2 == 1;
  return c % 2 == 0;
}

char32_t toUpper(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c == 0xFF) return 0x178;  // ÿ, whose capital lives in Extended-A
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  if (c >= 0x100 && c <= 0x17F && c != 0x131 && c != 0x138 && c != 0x149 && c != 0x17F && !isUpperExtA(c))
    return c - 1;
  return c;
}

char32_t toLower(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c == 0x178) return 0xFF;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x138 && c != 0x149 && c != 0x17F && isUpperExtA(c))
    return c + 1;
  return c;
}

template <typename Map>
std::string mapCodePoints(std::string_view utf8, Map map) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t pos = 0; pos < utf8.size();) appendUtf8(out, map(nextCodePoint(utf8, pos)));
  return out;
}

}  // namespace

std::string toUtf8(std::string_view bytes, CodePage codePage) {
  const ByteTable& table = tables(codePage).toUnicode;
  std::string out;
  out.reserve(bytes.size());
  for (char b : bytes) appendUtf8(out, table[static_cast<unsigned char>(b)]);
  return out;
}

std::string fromUtf8(std::string_view utf8, CodePage codePage, char replacement) {
  const auto& map = tables(codePage).fromUnicode;
  std::string out;
  out.reserve(utf8.size());
  for (size_t pos = 0; pos < utf8.size();) {
    const char32_t c = nextCodePoint(utf8, pos);
    const auto it = c == kUndefined ? map.end() : map.find(c);
    out += it == map.end() ? replacement : static_cast<char>(it->second);
  }
  return out;
}

int compareByCp1250(std::string_view a, std::string_view b) {
  const std::string x = fromUtf8(a, CodePage::Windows1250);
  const std::string y = fromUtf8(b, CodePage::Windows1250);
  // std::string compares through char_traits<char>, which orders bytes as
  // unsigned, exactly the code order wanted here.
  const int r = x.compare(y);
  return r < 0 ? -1 : r > 0 ? 1 : 0;
}

int compareByCp1250IgnoringCase(std::string_view a, std::string_view b) {
  return compareByCp1250(upperUtf8(a), upperUtf8(b));
}

std::string upperUtf8(std::string_view utf8) { return mapCodePoints(utf8, toUpper); }
std::string lowerUtf8(std::string_view utf8) { return mapCodePoints(utf8, toLower); }

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x -= 32;
    if (y >= 'a' && y <= 'z') y -= 32;
    if (x != y) return false;
  }
  return true;
}

std::string fromUtf16(std::string_view bytes, bool bigEndian) {
  auto unit = [&](std::size_t i) -> char32_t {
    const auto first = static_cast<unsigned char>(bytes[i]), second = static_cast<unsigned char>(bytes[i + 1]);
    return bigEndian ? first << 8 | second : second << 8 | first;
  };
  std::string text;
  text.reserve(bytes.size());
  std::size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    const char32_t c = unit(i);
    if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size()) {
      const char32_t low = unit(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        appendUtf8(text, 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    appendUtf8(text, c >= 0xD800 && c <= 0xDFFF ? kUndefined : c);
  }
  if (i < bytes.size()) appendUtf8(text, kUndefined);
  return text;
}

}  // namespace platform
