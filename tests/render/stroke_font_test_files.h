#pragma once
// Small stroked font and symbol files written for the tests: two glyphs,
// "A" a stroke along the baseline, "B" a stroke straight up.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/path_resolver.h"

namespace font_test {

inline std::vector<std::uint8_t> FontBytes(bool signature, std::uint8_t capH = 10) {
  std::vector<std::uint8_t> f(128, 0);
  if (signature) f[0] = 0x50, f[1] = 0x4B, f[2] = 0x08, f[3] = 0x08;
  std::vector<std::uint8_t> b(16, 0);
  b[1] = 2;     // characters
  b[4] = 'A';   // first character
  const int strokes = 16 + 2 * 2 + 2;
  b[5] = strokes;
  b[8] = capH;
  b.insert(b.end(), {0, 0, 6, 0});  // glyph offsets
  b.insert(b.end(), {10, 12});      // widths
  // Bit 7 of the first byte is unused, so 0x80 0x00 is a move to the
  // origin rather than the end mark. A: move (0,0), line (10,0).
  b.insert(b.end(), {0x80, 0x00, 10, 0x80, 0, 0});
  // B: move (0,0), line (0,10).
  b.insert(b.end(), {0x80, 0x00, 0, 10 | 0x80, 0, 0});
  f.insert(f.end(), b.begin(), b.end());
  return f;
}

// A text font of the printable ASCII letters, each a box with a diagonal
// (cap height 10, advance 7); the space is blank.
inline std::vector<std::uint8_t> TextFontBytes() {
  constexpr int first = 32, count = 95;
  std::vector<std::uint8_t> b(16, 0);
  b[1] = count;
  b[4] = first;
  const int strokesAt = 16 + 3 * count;
  b[5] = strokesAt & 0xFF;
  b[6] = strokesAt >> 8;
  b[8] = 10;
  const std::vector<std::uint8_t> box = {0x81, 0x00, 5, 0x80, 5, 0x8A, 1, 0x8A, 1, 0x80, 5, 0x8A, 0, 0};
  std::vector<std::uint8_t> strokes, widths;
  for (int c = first; c < first + count; ++c) {
    b.push_back(strokes.size() & 0xFF);
    b.push_back(strokes.size() >> 8);
    if (c == ' ') {
      strokes.insert(strokes.end(), {0, 0});
      widths.push_back(4);
    } else {
      strokes.insert(strokes.end(), box.begin(), box.end());
      widths.push_back(7);
    }
  }
  b.insert(b.end(), widths.begin(), widths.end());
  b.insert(b.end(), strokes.begin(), strokes.end());
  std::vector<std::uint8_t> f(128, 0);
  f.insert(f.end(), b.begin(), b.end());
  return f;
}

inline void Write(const std::filesystem::path& p, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(p, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void WriteText(const std::filesystem::path& p, const std::string& text) {
  std::ofstream out(p, std::ios::binary);
  out << text;
}

// A fresh directory standing for the symbol drive C:.
struct SymbolDrive {
  std::filesystem::path root;
  std::filesystem::path dir;
  explicit SymbolDrive(const std::string& name) {
    // Tests may run side by side in several processes.
    static int serial = 0;
    root = std::filesystem::temp_directory_path() /
           ("zelto_" + name + "_" + std::to_string(::getpid()) + "_" + std::to_string(++serial));
    std::filesystem::remove_all(root);
    dir = root / "TTRIZENI";
    std::filesystem::create_directories(dir);
    platform::pathResolver().setDrive('C', root);
  }
  ~SymbolDrive() {
    platform::pathResolver().removeDrive('C');
    std::filesystem::remove_all(root);
  }
};

}  // namespace font_test
