#pragma once
// The drawing surface of a canvas device: pen, brush and font held as plain
// values that the surface reads at every call, and the few drawing calls the
// devices need, all in device pixels (y down). A memory raster implements it
// headless; the Qt side implements it over a QPainter.
#include <cstdint>
#include <string>

#include "framework/draw_items.h"
#include "geometry/device_types.h"

// RGB with red in the lowest byte, green in the next and blue in the third.
using TColor = std::int32_t;

inline constexpr TColor RGBColor(int r, int g, int b) {
  return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
inline constexpr int RedOf(TColor c) { return c & 0xFF; }
inline constexpr int GreenOf(TColor c) { return (c >> 8) & 0xFF; }
inline constexpr int BlueOf(TColor c) { return (c >> 16) & 0xFF; }

inline constexpr TColor clBlack = 0;
inline constexpr TColor clWhite = 0xFFFFFF;
// What reading a pixel outside the surface gives.
inline constexpr TColor clInvalid = -1;

// The widest pen any device draws: wider strokes (a huge style or text
// height) would only cover the device while drawing for minutes.
inline constexpr std::int32_t kMaxPenWidth = 256;
inline constexpr std::int32_t PenWidthForDevice(std::int32_t pixels) {
  return pixels < 1 ? 1 : pixels > kMaxPenWidth ? kMaxPenWidth : pixels;
}

struct TPen {
  TColor Color = clBlack;
  std::int32_t Width = 1;  // pixels
  TPenStyle Style = psSolid;
};

struct TBrush {
  TColor Color = clWhite;
  TBrushStyle Style = bsSolid;
};

struct TFont {
  std::string Name = "Arial";
  std::int32_t Height = 13;  // character height in pixels
  std::uint8_t Style = 0;    // TFontStyleBit set
  std::uint8_t Charset = 1;
  std::uint8_t Pitch = 0;
  TColor Color = clBlack;
  // Tenths of a degree, counter-clockwise; the baseline's direction.
  std::int32_t Escapement = 0;
  std::int32_t Orientation = 0;
};

// A picture that a canvas can draw: its size and its pixels.
class TGraphic {
 public:
  virtual ~TGraphic() = default;
  virtual std::int32_t GetWidth() const = 0;
  virtual std::int32_t GetHeight() const = 0;
  // clInvalid outside the picture.
  virtual TColor PixelAt(std::int32_t x, std::int32_t y) const = 0;
};

class TCanvas;

// A picture that can be drawn on: a memory bitmap or a Qt image.
class TBitmap : public TGraphic {
 public:
  virtual TCanvas& Canvas() = 0;
  // Keeps what fits of the old picture.
  virtual void SetSize(std::int32_t width, std::int32_t height) = 0;
};

class TCanvas {
 public:
  virtual ~TCanvas() = default;

  TPen& Pen() { return pen_; }
  TBrush& Brush() { return brush_; }
  TFont& Font() { return font_; }
  // Where the brush's hatch pattern begins: a strip of a larger page sets
  // it so that the pattern continues across the strips.
  TDevicePoint& BrushOrigin() { return brushOrigin_; }
  const TPen& Pen() const { return pen_; }
  const TBrush& Brush() const { return brush_; }
  const TFont& Font() const { return font_; }

  // The drawable part of the surface.
  virtual TDeviceRect ClipRect() const = 0;
  // Pixels per inch across and down.
  virtual std::int32_t LogPixelsX() const = 0;
  virtual std::int32_t LogPixelsY() const = 0;

  virtual TColor GetPixel(std::int32_t x, std::int32_t y) const = 0;
  virtual void SetPixel(std::int32_t x, std::int32_t y, TColor color) = 0;

  // The pen position; LineTo draws with the pen up to but not including
  // the end point and moves there.
  void MoveTo(std::int32_t x, std::int32_t y) { penPos_ = {x, y}; }
  virtual void LineTo(std::int32_t x, std::int32_t y) = 0;
  TDevicePoint PenPos() const { return penPos_; }

  virtual void Polyline(const TDevicePoint* points, std::int32_t count) = 0;
  // Filled with the brush by the even-odd rule, outlined with the pen.
  virtual void Polygon(const TDevicePoint* points, std::int32_t count) = 0;
  // Rings given one after another; false when the call could not draw.
  virtual bool PolyPolygon(const TDevicePoint* points, const std::int32_t* counts,
                           std::int32_t rings) = 0;
  // Right and bottom edges excluded, as for every rectangle here.
  virtual void Rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                         std::int32_t bottom) = 0;
  virtual void FillRect(const TDeviceRect& rect) = 0;
  // A one-pixel frame in the brush colour.
  virtual void FrameRect(const TDeviceRect& rect) = 0;

  // The top-left corner of the text at (x, y); a clear brush leaves the
  // background as it is.
  virtual void TextOut(std::int32_t x, std::int32_t y, const std::string& text) = 0;
  virtual std::int32_t TextWidth(const std::string& text) = 0;
  virtual std::int32_t TextHeight(const std::string& text) = 0;

  virtual void Draw(std::int32_t x, std::int32_t y, const TGraphic& graphic) = 0;
  virtual void StretchDraw(const TDeviceRect& rect, const TGraphic& graphic) = 0;

  // A bitmap in memory that draws as this surface does (texts in the same
  // fonts); nil when a memory raster will do. std::bad_alloc when one that
  // large cannot be made.
  virtual TBitmap* NewCompatibleBitmap(std::int32_t /*width*/, std::int32_t /*height*/) const {
    return nullptr;
  }

 protected:
  TDevicePoint penPos_;

 private:
  TPen pen_;
  TBrush brush_;
  TFont font_;
  TDevicePoint brushOrigin_;
};
