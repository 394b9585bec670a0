#include "render/gelix_color.h"

#include <array>

namespace {
constexpr std::array<TColor, 16> kPalette = {
    RGBColor(255, 255, 255), RGBColor(0, 0, 128),   RGBColor(0, 128, 0),     RGBColor(0, 128, 128),
    RGBColor(128, 0, 0),     RGBColor(128, 0, 128), RGBColor(128, 64, 64),   RGBColor(128, 128, 128),
    RGBColor(0, 0, 255),     RGBColor(0, 255, 0),   RGBColor(0, 255, 255),   RGBColor(255, 0, 0),
    RGBColor(255, 0, 255),   RGBColor(0, 0, 0),     RGBColor(255, 255, 0),   RGBColor(192, 192, 192)};

int component(std::int32_t bits) {
  const int v = (bits & 0x1F) * 8;
  return v == 248 ? 255 : v;
}
}  // namespace

TColor RGB555ToColor(std::int32_t number) {
  return RGBColor(component(number >> 10), component(number >> 5), component(number));
}

TColor GelixColorToRGB(std::int16_t number) {
  if (number >= 0 && number <= 15) return kPalette[static_cast<std::size_t>(number)];
  if (number < 0) return RGB555ToColor(-static_cast<std::int32_t>(number));
  return clBlack;
}
