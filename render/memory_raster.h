#pragma once
// A bitmap in memory that is its own canvas: what the raster devices draw on
// without a display (label placement, strips of a tiled page, tests). It
// fills and strokes like the screen does, pixel centres deciding what lies
// inside. Texts are written in the program's stroked font; without one they
// are measured from the font height and not drawn.
#include <cstdint>
#include <memory>
#include <vector>

#include "render/canvas.h"

namespace render {
struct CanvasStrokeFont;
}

class TMemoryRaster : public TCanvas, public TBitmap {
 public:
  TMemoryRaster(std::int32_t width, std::int32_t height, TColor fill = clWhite);

  std::int32_t GetWidth() const override { return width_; }
  std::int32_t GetHeight() const override { return height_; }
  TColor PixelAt(std::int32_t x, std::int32_t y) const override { return GetPixel(x, y); }
  TCanvas& Canvas() override { return *this; }
  // New pixels are white.
  void SetSize(std::int32_t width, std::int32_t height) override;
  void SetLogPixels(std::int32_t x, std::int32_t y) {
    logPixelsX_ = x;
    logPixelsY_ = y;
  }
  const std::vector<TColor>& Pixels() const { return pixels_; }

  TDeviceRect ClipRect() const override { return {0, 0, width_, height_}; }
  std::int32_t LogPixelsX() const override { return logPixelsX_; }
  std::int32_t LogPixelsY() const override { return logPixelsY_; }
  TColor GetPixel(std::int32_t x, std::int32_t y) const override;
  void SetPixel(std::int32_t x, std::int32_t y, TColor color) override;
  void LineTo(std::int32_t x, std::int32_t y) override;
  void Polyline(const TDevicePoint* points, std::int32_t count) override;
  void Polygon(const TDevicePoint* points, std::int32_t count) override;
  bool PolyPolygon(const TDevicePoint* points, const std::int32_t* counts,
                   std::int32_t rings) override;
  void Rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                 std::int32_t bottom) override;
  void FillRect(const TDeviceRect& rect) override;
  void FrameRect(const TDeviceRect& rect) override;
  void TextOut(std::int32_t x, std::int32_t y, const std::string& text) override;
  std::int32_t TextWidth(const std::string& text) override;
  std::int32_t TextHeight(const std::string& text) override;
  void Draw(std::int32_t x, std::int32_t y, const TGraphic& graphic) override;
  void StretchDraw(const TDeviceRect& rect, const TGraphic& graphic) override;

 private:
  // The pen's width as this raster draws it.
  std::int32_t PenWidth() const;
  // Pixels [from, to) of one row in the pen colour.
  void Span(std::int64_t row, std::int64_t from, std::int64_t to);
  void Segment(TDevicePoint from, TDevicePoint to, bool withEnd);
  // Even-odd fill of the rings with the brush.
  void FillRings(const TDevicePoint* points, const std::int32_t* counts, std::int32_t rings);
  void BrushPixel(std::int32_t x, std::int32_t y);
  // Looked for at the first text; nil when the program has none.
  const render::CanvasStrokeFont* StrokeFont();
  // Pixels per font unit and the text in the font's code page.
  double FontUnit(const render::CanvasStrokeFont& font) const;

  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::int32_t logPixelsX_ = 96;
  std::int32_t logPixelsY_ = 96;
  std::vector<TColor> pixels_;
  // Scratch of Segment and FillRings, kept from call to call: a map draws
  // hundreds of thousands of segments and tens of thousands of rings.
  std::vector<std::int64_t> rowFirst_, rowLast_;
  std::vector<double> crossings_;
  std::shared_ptr<const render::CanvasStrokeFont> strokeFont_;
  bool strokeFontLooked_ = false;
};
