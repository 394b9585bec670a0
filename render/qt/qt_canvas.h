#pragma once
// The canvas of the screen and of Qt bitmaps: every call sets the painter's
// pen, brush and font from the canvas values and draws with antialiasing
// off, so pixels match what the memory raster and the old screen gave.
#include <QImage>
#include <QPainter>
#include <memory>

#include "render/canvas.h"

namespace render::qt {

QColor ToQColor(TColor color);
TColor FromQColor(const QColor& color);
// The graphic as an image (converted through its pixels unless it already
// holds one).
QImage ToQImage(const TGraphic& graphic);

// What holds a QImage, so that drawing it needs no conversion.
class ImageHolder {
 public:
  virtual ~ImageHolder() = default;
  virtual const QImage& Image() const = 0;
};

TColor ImagePixel(const QImage& image, std::int32_t x, std::int32_t y);

class ImageGraphic : public TGraphic, public ImageHolder {
 public:
  std::int32_t GetWidth() const override { return Image().width(); }
  std::int32_t GetHeight() const override { return Image().height(); }
  TColor PixelAt(std::int32_t x, std::int32_t y) const override { return ImagePixel(Image(), x, y); }
};

// A picture read from a file or made in memory.
class QtGraphic : public ImageGraphic {
 public:
  explicit QtGraphic(QImage image) : image_(std::move(image)) {}
  const QImage& Image() const override { return image_; }

 private:
  QImage image_;
};

// Draws through a painter that the caller keeps active; reads pixels back
// only when it is given the image the painter works on.
class QtCanvas : public TCanvas {
 public:
  explicit QtCanvas(QPainter* painter, QImage* image = nullptr) : painter_(painter), image_(image) {}

  QPainter* Painter() const { return painter_; }
  // The thinnest line drawn, in pixels; below 2, a pen of one pixel is the
  // surface's own thinnest line. Bitmaps made for this canvas draw the same.
  void SetThinnestLine(std::int32_t pixels) { thinnestLine_ = pixels; }
  std::int32_t ThinnestLine() const { return thinnestLine_; }

  TDeviceRect ClipRect() const override;
  std::int32_t LogPixelsX() const override;
  std::int32_t LogPixelsY() const override;
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
  // An image bitmap: texts drawn on it look as on the screen and the printer.
  TBitmap* NewCompatibleBitmap(std::int32_t width, std::int32_t height) const override;

 private:
  void ApplyPen();
  void ApplyBrush();
  QFont CurrentFont() const;

  QPainter* painter_;
  QImage* image_;
  std::int32_t thinnestLine_ = 1;
};

// A bitmap in memory with its own painter and canvas: what a bitmap device
// draws on, and a graphic that can be drawn onto another canvas.
class ImageBitmap : public TBitmap, public ImageHolder {
 public:
  ImageBitmap(std::int32_t width, std::int32_t height, TColor fill = clWhite);
  ~ImageBitmap() override;
  ImageBitmap(const ImageBitmap&) = delete;
  ImageBitmap& operator=(const ImageBitmap&) = delete;

  const QImage& Image() const override { return image_; }
  std::int32_t GetWidth() const override { return image_.width(); }
  std::int32_t GetHeight() const override { return image_.height(); }
  TColor PixelAt(std::int32_t x, std::int32_t y) const override { return ImagePixel(image_, x, y); }
  QtCanvas& Canvas() override { return *canvas_; }
  void SetSize(std::int32_t width, std::int32_t height) override;
  // Ends painting so that the image can be saved or shown elsewhere.
  void Finish();

 private:
  QImage image_;
  std::unique_ptr<QPainter> painter_;
  std::unique_ptr<QtCanvas> canvas_;
};

}  // namespace render::qt
