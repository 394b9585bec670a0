#pragma once
// Output devices: an element that owns a page and a page projection and
// draws in world metres. Renderers only ever talk to a device; the canvas
// device turns the calls into pixels on a TCanvas (a memory raster headless,
// a QPainter on screen).
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "framework/entity.h"
#include "framework/errors.h"
#include "framework/rect_entity.h"
#include "geometry/page_projection.h"
#include "render/border_buffer.h"
#include "render/canvas.h"

// An operation that this kind of device does not offer.
class EAbstractError : public EZeltoError {
 public:
  EAbstractError() : EZeltoError("Abstract Error") {}
};

class TDevice : public TOwnerEntity {
  ZELTO_ELEMENT(TDevice)
 public:
  TDevice() : TDevice(true) {}
  ~TDevice() override;

  T_Page* GetPage() const { return page_; }
  TPageProjection* GetProjection() const { return projection_; }

  virtual TBrush* GetBrush() { return nullptr; }
  virtual TFont* GetFont() { return nullptr; }
  virtual TPen* GetPen() { return nullptr; }
  virtual TColor GetPixel(double x, double y) { return 0; }
  // The surface drawn on.
  virtual TCanvas* GetHandle() { throw EAbstractError(); }
  virtual void SetBrush(const TBrush&) {}
  virtual void SetFont(const TFont&) {}
  virtual void SetPen(const TPen&) {}
  // A world length; never thinner than one pixel.
  virtual void SetPenWidth(double length);
  virtual void SetPixel(TColor color, double x, double y) {}
  virtual void SetVisible(bool) { throw EAbstractError(); }
  virtual void SetTitle(const std::string&) {}
  virtual void Clear() { throw EAbstractError(); }
  virtual void FillRect(const geometry::WorldRect&) {}
  virtual void FrameRect(const geometry::WorldRect&) {}
  virtual void Write(const std::string&) { throw EAbstractError(); }
  virtual void WriteLine(const std::string&) { throw EAbstractError(); }
  virtual void SetFontAngle(double degrees) {}
  virtual void LineTo(double x, double y) {}
  virtual void MoveTo(double x, double y) {}
  virtual void LineToPixel(std::int32_t x, std::int32_t y) {}
  virtual void MoveToPixel(std::int32_t x, std::int32_t y) {}
  // The area's outer ring and holes, each converted and clipped, one ring
  // after another; counts[i] points make ring i.
  virtual void BuildPolyPolygon(TElement* area, std::vector<TDevicePoint>& points,
                                std::vector<std::int32_t>& counts, std::int32_t& total,
                                std::int32_t& rings);
  virtual void DrawPolyline(TElement* line) {}
  virtual void DrawPolygon(TElement* polygon) {}
  virtual void DrawArea(TElement* area) {}
  virtual void DrawRectangle(double x1, double y1, double x2, double y2) {}
  virtual void TextOut(const std::string& text, double x, double y) {}
  virtual void TextOutPixel(std::int32_t x, std::int32_t y, const std::string& text) {}
  virtual std::int32_t TextHeightPixels(const std::string&) { return 0; }
  virtual std::int32_t TextWidthPixels(const std::string&) { return 0; }
  virtual double TextHeight(const std::string&) { return 0.0; }
  virtual double TextWidth(const std::string&) { return 0.0; }
  virtual void DrawGraphic(const TGraphic* graphic, double x, double y) {}
  // The source rectangle (graphic pixels; all 0 for the whole graphic) is
  // accepted for the callers' sake; the whole graphic is drawn.
  virtual void StretchDrawGraphic(double x, double y, double width, double height,
                                  const TDeviceRect& source, const TGraphic* graphic) {}
  virtual void StretchDrawPixel(std::int32_t x, std::int32_t y, std::int32_t width,
                                std::int32_t height, const TDeviceRect& source,
                                const TGraphic* graphic) {}
  virtual void BeginDraw() { throw EAbstractError(); }
  virtual void EndDraw() {}
  virtual void Spare() { throw EAbstractError(); }
  virtual void SetupPage() { throw EAbstractError(); }

  // Physical size of the page in metres; 0 without a page.
  double GetPaperWidth() const;
  double GetPaperHeight() const;
  // The element's vertices in device pixels, unclipped, repeated pixels
  // dropped; nothing beyond the buffer cap. bytes = count * 8.
  void PolyToDevicePoints(TElement* element, std::vector<TDevicePoint>& points,
                          std::int32_t& count, std::int32_t& bytes);

  // The elements whose children a walk on this device is drawing. A model
  // that holds its own viewer, or map frames that show each other, would
  // otherwise be drawn inside themselves until the stack runs out: an
  // element already being drawn is not entered again.
  bool EnterDrawing(const TElement* element) { return drawing_.insert(element).second; }
  void LeaveDrawing(const TElement* element) { drawing_.erase(element); }

  // The projection's rotation about its rotate centre; a numeric failure
  // leaves the point as it was.
  void RotatePoint(double& x, double& y) const;
  void UnrotatePoint(double& x, double& y) const;

 protected:
  // Text devices have neither page nor projection.
  explicit TDevice(bool withPage);
  // The page is created when missing and handed to the projection.
  T_Page* EnsurePage();

 private:
  T_Page* page_ = nullptr;                // owned child
  TPageProjection* projection_ = nullptr; // owned child
  std::unordered_set<const TElement*> drawing_;
};

class TCanvasDevice : public TDevice {
  ZELTO_ELEMENT(TCanvasDevice)
 public:
  TCanvas* GetCanvas() const { return canvas_; }
  std::int32_t LastX = 0;
  std::int32_t LastY = 0;
  double GetFontAngle() const { return fontAngle_; }

  TBrush* GetBrush() override;
  TFont* GetFont() override;
  TPen* GetPen() override;
  TColor GetPixel(double x, double y) override;
  TCanvas* GetHandle() override { return canvas_; }
  void SetBrush(const TBrush& brush) override;
  void SetFont(const TFont& font) override;
  void SetPen(const TPen& pen) override;
  void SetPixel(TColor color, double x, double y) override;
  void SetVisible(bool) override {}
  void Clear() override;
  void FillRect(const geometry::WorldRect& rect) override;
  void FrameRect(const geometry::WorldRect& rect) override;
  void SetFontAngle(double degrees) override;
  void LineTo(double x, double y) override;
  void MoveTo(double x, double y) override;
  void LineToPixel(std::int32_t x, std::int32_t y) override;
  void MoveToPixel(std::int32_t x, std::int32_t y) override;
  void BuildPolyPolygon(TElement* area, std::vector<TDevicePoint>& points,
                        std::vector<std::int32_t>& counts, std::int32_t& total,
                        std::int32_t& rings) override;
  void DrawPolyline(TElement* line) override;
  void DrawPolygon(TElement* polygon) override;
  void DrawArea(TElement* area) override;
  void DrawRectangle(double x1, double y1, double x2, double y2) override;
  void TextOut(const std::string& text, double x, double y) override;
  void TextOutPixel(std::int32_t x, std::int32_t y, const std::string& text) override;
  std::int32_t TextHeightPixels(const std::string& text) override;
  std::int32_t TextWidthPixels(const std::string& text) override;
  double TextHeight(const std::string& text) override;
  double TextWidth(const std::string& text) override;
  void DrawGraphic(const TGraphic* graphic, double x, double y) override;
  void StretchDrawGraphic(double x, double y, double width, double height,
                          const TDeviceRect& source, const TGraphic* graphic) override;
  void StretchDrawPixel(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                        const TDeviceRect& source, const TGraphic* graphic) override;
  void BeginDraw() override { Clear(); }
  void SetupPage() override;

  // Not owned; a non-nil canvas sizes the page.
  virtual void SetCanvas(TCanvas* canvas);

 protected:
  // The page's inner rectangle in world metres.
  geometry::WorldRect ClipWindow() const;
  // Converted, clipped to the page's inner rectangle, repeated pixels
  // dropped; false when too few points remain.
  bool ClippedRing(TElement* ring, std::int32_t minPoints, std::vector<TDevicePoint>& points);

 private:
  TCanvas* canvas_ = nullptr;
  double fontAngle_ = 0.0;
  // Made on first use and kept, with the points of the last polygon: a map
  // draws tens of thousands of rings one after another.
  std::unique_ptr<TBorderBuffer> ringBuffer_;
  std::vector<TDevicePoint> polygonPoints_;
};

namespace render {
// A rectangle entity holding a rotated copy of every vertex of the element,
// with its envelope.
std::unique_ptr<TRectEntity> RotatedCopy(const TDevice& device, TElement* element);
}  // namespace render
