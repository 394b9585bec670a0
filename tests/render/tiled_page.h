#pragma once
// One page of every kind of drawing, for comparing a page drawn directly
// with the same page drawn strip by strip through a tile device.
#include <algorithm>
#include <cstdlib>

#include "render/device.h"
#include "render/tile_device.h"

namespace tiled_page {

constexpr TColor kRed = RGBColor(255, 0, 0);
constexpr TColor kBlue = RGBColor(0, 0, 255);
constexpr TColor kGreen = RGBColor(0, 160, 0);

// The world square 0..100 m on the device's page, on white paper.
inline void Show(TCanvasDevice& device) {
  device.GetProjection()->ShowWorldRect({0, 0, 100, 100}, device.GetPage());
  device.GetPage()->SetPaperColor(clWhite);
}

// Texts turned and right-aligned, crossing the seams of 13-pixel strips, a
// line, a filled and a hatched rectangle and a picture.
inline void Draw(TDevice& d, const TGraphic& picture) {
  d.SetPen({kBlue, 2, psSolid});
  d.MoveTo(3, 4);
  d.LineTo(97, 57);
  d.SetPen({kGreen, 1, psSolid});
  d.SetBrush({kGreen, bsSolid});
  d.DrawRectangle(5, 5, 25, 30);
  d.SetBrush({kBlue, bsDiagCross});
  d.DrawRectangle(30, 5, 55, 47);
  d.StretchDrawGraphic(70, 30, 20, 17, {}, &picture);
  TFont* font = d.GetFont();
  font->Name = "DejaVu Sans";
  font->Height = 18;
  font->Color = kRed;
  font->Style = 0;
  d.SetFontAngle(25);
  d.TextOut("Porost 12a", 8, 72);
  d.SetFontAngle(0);
  font->Height = 14;
  font->Color = clBlack;
  font->Style = fsBold;
  d.TextOut("Les", 97 - d.TextWidth("Les"), 89);
}

// Draws the page through a tile device onto the target; the strip count.
inline int DrawTiled(TCanvasDevice& target, const TGraphic& picture) {
  TTileDevice tiles;
  tiles.SetBudgetOverride(TTileDevice::kDefaultBudget);
  tiles.SetTarget(&target);
  const int strips = tiles.GetTileCount();
  while (!tiles.GetDone()) {
    tiles.BeginDraw();
    Draw(tiles, picture);
    tiles.EndDraw();
    tiles.NextTile();
  }
  return strips;
}

// Pixels that differ by more than antialiasing would make them differ.
inline int Differing(const TGraphic& a, const TGraphic& b) {
  int count = 0;
  for (int y = 0; y < a.GetHeight(); ++y)
    for (int x = 0; x < a.GetWidth(); ++x) {
      const TColor p = a.PixelAt(x, y), q = b.PixelAt(x, y);
      const int most = std::max({std::abs(RedOf(p) - RedOf(q)), std::abs(GreenOf(p) - GreenOf(q)),
                                 std::abs(BlueOf(p) - BlueOf(q))});
      count += most > 64;
    }
  return count;
}

// Pixels reddish as the turned text is: red well above green and blue.
inline int Reddish(const TGraphic& g) {
  int count = 0;
  for (int y = 0; y < g.GetHeight(); ++y)
    for (int x = 0; x < g.GetWidth(); ++x) {
      const TColor c = g.PixelAt(x, y);
      count += RedOf(c) > 128 && GreenOf(c) < 100 && BlueOf(c) < 100;
    }
  return count;
}

}  // namespace tiled_page
