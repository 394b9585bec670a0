#include "framework/name_compare.h"

#include <cstdint>

namespace zelto {
namespace {

// Upper case of a code point from the Latin-1 and Latin Extended-A blocks,
// which hold every letter of the Czech and Slovak alphabets.
std::uint32_t UpperCodePoint(std::uint32_t c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  if (c >= 0x100 && c <= 0x17F) {
    // Pairs upper/lower alternate; the runs 0x139..0x148 and 0x179..0x17E
    // start on an odd code point.
    bool oddStart = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
    if (oddStart) return (c % 2 == 0) ? c - 1 : c;
    return (c % 2 == 1) ? c - 1 : c;
  }
  return c;
}

void AppendUtf8(std::string& out, std::uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string UpperAZ(const std::string& text) {
  std::string out = text;
  for (char& ch : out)
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 32);
  return out;
}

std::string UpperLocale(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      out += (b >= 'a' && b <= 'z') ? static_cast<char>(b - 32) : static_cast<char>(b);
      continue;
    }
    // Only two-byte sequences can hold letters we fold; the rest passes.
    if ((b & 0xE0) == 0xC0 && i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
      std::uint32_t c = ((b & 0x1F) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3F);
      AppendUtf8(out, UpperCodePoint(c));
      ++i;
      continue;
    }
    out += static_cast<char>(b);
  }
  return out;
}

int CompareTextLocale(const std::string& a, const std::string& b) {
  return UpperLocale(a).compare(UpperLocale(b));
}

}  // namespace zelto
