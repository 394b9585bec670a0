#pragma once
// Small BMP files built in the tests, as the writers of each kind store them.
#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "render/canvas.h"

namespace bmp_test {

struct Layout {
  Layout(int bits, int headerSize = 40, bool topDown = false, std::uint32_t compression = 0,
         std::vector<std::uint32_t> masks = {})
      : bits(bits), headerSize(headerSize), topDown(topDown), compression(compression), masks(std::move(masks)) {}
  int bits;
  int headerSize;  // 12: OS/2, 3-byte palette entries
  bool topDown;
  std::uint32_t compression;
  // Red, green, blue (and alpha) masks: after a 40-byte header, inside a
  // longer one; empty for the default 5-5-5 and 8-8-8 pixels.
  std::vector<std::uint32_t> masks;
};

inline void Put(std::string& s, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s += static_cast<char>(v >> (8 * i));
}

// The file around pixel data that is already in the file's order.
inline std::string File(const Layout& l, int width, int height, const std::vector<TColor>& palette,
                        const std::string& pixels) {
  std::string info;
  Put(info, l.headerSize, 4);
  if (l.headerSize == 12) {
    Put(info, width, 2), Put(info, height, 2), Put(info, 1, 2), Put(info, l.bits, 2);
  } else {
    Put(info, width, 4), Put(info, l.topDown ? -height : height, 4), Put(info, 1, 2), Put(info, l.bits, 2);
    Put(info, l.compression, 4), Put(info, static_cast<std::uint32_t>(pixels.size()), 4);
    Put(info, 2835, 4), Put(info, 2835, 4), Put(info, static_cast<std::uint32_t>(palette.size()), 4), Put(info, 0, 4);
    for (std::uint32_t m : l.masks) Put(info, m, 4);
    info.resize(std::max<std::size_t>(info.size(), l.headerSize), '\0');
  }
  for (TColor c : palette) {
    info += {static_cast<char>(BlueOf(c)), static_cast<char>(GreenOf(c)), static_cast<char>(RedOf(c))};
    if (l.headerSize != 12) info += '\0';
  }
  std::string file = "BM";
  Put(file, static_cast<std::uint32_t>(14 + info.size() + pixels.size()), 4);
  Put(file, 0, 4);
  Put(file, static_cast<std::uint32_t>(14 + info.size()), 4);
  return file + info + pixels;
}

// A colour with components 0 or 255 packed under the masks (alpha opaque).
inline std::uint32_t Pack(TColor c, const std::vector<std::uint32_t>& masks) {
  std::uint32_t v = 0;
  const int parts[] = {RedOf(c), GreenOf(c), BlueOf(c), 255};
  for (std::size_t i = 0; i < masks.size(); ++i)
    if (parts[i]) v |= masks[i];
  return v;
}

// Rows of colours, top row first, as uncompressed pixel data of the layout.
inline std::string Rows(const Layout& l, const std::vector<std::vector<TColor>>& rows,
                        const std::vector<TColor>& palette) {
  std::vector<std::uint32_t> masks = l.masks;
  if (masks.empty() && l.bits == 16) masks = {0x7C00, 0x03E0, 0x001F};
  if (masks.empty() && l.bits == 32) masks = {0xFF0000, 0xFF00, 0xFF};
  std::string out;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const auto& row = rows[l.topDown ? i : rows.size() - 1 - i];
    std::string bytes((row.size() * l.bits + 31) / 32 * 4, '\0');
    for (std::size_t x = 0; x < row.size(); ++x) {
      if (l.bits <= 8) {
        const auto index = std::find(palette.begin(), palette.end(), row[x]) - palette.begin();
        const std::size_t bit = x * l.bits;
        bytes[bit / 8] = static_cast<char>(bytes[bit / 8] | index << (8 - l.bits - bit % 8));
      } else if (l.bits == 24) {
        bytes[3 * x] = static_cast<char>(BlueOf(row[x]));
        bytes[3 * x + 1] = static_cast<char>(GreenOf(row[x]));
        bytes[3 * x + 2] = static_cast<char>(RedOf(row[x]));
      } else {
        std::string packed;
        Put(packed, Pack(row[x], masks), l.bits / 8);
        bytes.replace(x * l.bits / 8, packed.size(), packed);
      }
    }
    out += bytes;
  }
  return out;
}

}  // namespace bmp_test
