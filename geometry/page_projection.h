#pragma once
// The page of a drawing device and the projection that maps world metres
// (x right, y up) onto its pixels (y down) and back.
#include <cstdint>

#include "framework/coordinate.h"
#include "framework/element.h"
#include "framework/rectangle.h"
#include "geometry/device_types.h"
#include "geometry/page_blocks.h"
#include "geometry/plane_geometry.h"

namespace geometry {

// World rectangle: MinX, MinY, MaxX, MaxY.
using WorldRect = TBoundsRecord;

// Device coordinates are saturated here rather than at the old +-32000:
// that bent polygons at high zoom and resolution. The clippers cut what lies
// beyond the page; differences of two saturated values still fit in 32 bits.
inline constexpr double kDeviceCoordLimit = 1'000'000'000.0;

}  // namespace geometry

// Saturates at +-kDeviceCoordLimit, rounds half to even; NaN gives 0.
std::int32_t RoundToDeviceCoord(double v);

class T_Page : public TOwnerElement {
  ZELTO_ELEMENT(T_Page)
 public:
  void SetPaperColor(std::int32_t colour) { block_.PaperColor = colour; }
  void SetResolution(double hres, double vres) {
    block_.HRes = hres;
    block_.VRes = vres;
  }
  void SetInnerRect(const TDeviceRect& rect) { block_.InnerRect = rect; }
  void SetPageRect(const TDeviceRect& rect) { block_.PageRect = rect; }
  void SetUseInnerRect(bool b) { useInnerRect_ = b; }
  void SetCentreOnInnerRect(bool b) { centreOnInnerRect_ = b; }

  std::int32_t GetPaperColor() const { return block_.PaperColor; }
  double GetHRes() const { return block_.HRes; }
  double GetVRes() const { return block_.VRes; }
  const TDeviceRect& GetPageRect() const { return block_.PageRect; }
  const TDeviceRect& GetInnerRect() const { return block_.InnerRect; }
  bool GetUseInnerRect() const { return useInnerRect_; }
  bool GetCentreOnInnerRect() const { return centreOnInnerRect_; }
  std::int32_t GetWidth() const;
  std::int32_t GetHeight() const;

  // Copies from another page; other sources are ignored.
  void Assign(const TElement* source);
  // The element data, then the 56-byte block.
  void ReadData(zelto::ValueReader& reader, TQuickEntity& loaded) override;
  void WriteData(zelto::ValueWriter& writer) override;

  // The 56-byte block; the two flags are not streamed.
  const geometry::PageBlock& Block() const { return block_; }
  void SetBlock(const geometry::PageBlock& block) { block_ = block; }

 private:
  geometry::PageBlock block_;
  bool useInnerRect_ = false;
  bool centreOnInnerRect_ = false;
};

class TProjection : public TOwnerElement {
  ZELTO_ELEMENT(TProjection)
 public:
  double GetScale() const { return scale_; }
  double GetAngle() const { return angle_; }
  void SetAngle(double a);
  double GetRotateCenterX() const { return rotateCenterX_; }
  double GetRotateCenterY() const { return rotateCenterY_; }
  void SetRotateCenterX(double v) { rotateCenterX_ = v; }
  void SetRotateCenterY(double v) { rotateCenterY_ = v; }
  double GetVirtualScale();
  void SetVirtualScale(double v) { virtualScale_ = v; }
  double GetCenterX() const { return centerX_; }
  double GetCenterY() const { return centerY_; }
  bool GetIsOK() const;

  double GetXUnitsPerPixel() const { return xUnits_; }
  double GetYUnitsPerPixel() const { return yUnits_; }
  double GetUnitsPerPixel() const { return units_; }
  double GetOriginX() const { return originX_; }
  double GetOriginY() const { return originY_; }

  virtual void GetWorldRect(geometry::WorldRect& rect) const = 0;
  virtual void GetInnerWorldRect(geometry::WorldRect& rect) const = 0;
  virtual void SetCenter(geometry::PointD centre) = 0;
  virtual void SetCenterX(double x) = 0;
  virtual void SetCenterY(double y) = 0;
  virtual void SetScale(double s) = 0;
  virtual void FitWorldRect(const geometry::WorldRect& rect) = 0;
  virtual void SetInnerWorldRect(const geometry::WorldRect& rect) = 0;

  // Centre, scale, virtual scale and the transform of another projection;
  // other sources are ignored.
  void Assign(TElement* source);
  // The element data, then the 64-byte block.
  void ReadData(zelto::ValueReader& reader, TQuickEntity& loaded) override;
  void WriteData(zelto::ValueWriter& writer) override;

  geometry::ProjectionBlock Block() const;
  void SetBlock(const geometry::ProjectionBlock& block);

 protected:
  double angle_ = 0.0;
  double rotateCenterX_ = 0.0;
  double rotateCenterY_ = 0.0;
  double centerX_ = 0.0;
  double centerY_ = 0.0;
  double scale_ = 0.0;
  double virtualScale_ = 0.0;
  double xUnits_ = 0.0;
  double yUnits_ = 0.0;
  double units_ = 0.0;
  double originX_ = 0.0;
  double originY_ = 0.0;
};

class TPageProjection : public TProjection {
  ZELTO_ELEMENT(TPageProjection)
 public:
  // The projection data, then the page's index among the loaded elements
  // (-1 without a page) as a raw 32-bit integer.
  void ReadData(zelto::ValueReader& reader, TQuickEntity& loaded) override;
  void WriteData(zelto::ValueWriter& writer) override;

  // Without a page only the centre and scale are stored; the transform is
  // recomputed once a page is set.
  void Setup(geometry::PointD centre, T_Page* page, double scale);
  T_Page* GetPage() const { return page_; }
  void SetPage(T_Page* page);

  void GetWorldRect(geometry::WorldRect& rect) const override;
  void GetInnerWorldRect(geometry::WorldRect& rect) const override;
  void SetCenter(geometry::PointD centre) override;
  void SetCenterX(double x) override;
  void SetCenterY(double y) override;
  void SetScale(double s) override;
  void FitWorldRect(const geometry::WorldRect& rect) override;
  void SetInnerWorldRect(const geometry::WorldRect& rect) override;
  void ShowWorldRect(const geometry::WorldRect& rect, T_Page* page);
  void ShowRectangle(TRectangle& rectangle, T_Page* page);

  double DeviceToWorldX(std::int32_t x) const { return x * xUnits_ + originX_; }
  double DeviceToWorldY(std::int32_t y) const { return originY_ - y * yUnits_; }
  void DeviceToWorldPoint(std::int32_t x, std::int32_t y, geometry::PointD& point) const;
  void DeviceToWorldRect(std::int32_t left, std::int32_t top, std::int32_t right,
                         std::int32_t bottom, geometry::WorldRect& rect) const;
  double DeviceToWorldLength(std::int32_t pixels) const { return pixels * units_; }

  std::int32_t WorldToDeviceX(double x) const;
  std::int32_t WorldToDeviceY(double y) const;
  void WorldToDevicePoint(TDevicePoint& point, double x, double y) const;
  void WorldToDeviceRect(TDeviceRect& rect, double minX, double minY, double maxX,
                         double maxY) const;
  std::int32_t WorldToDeviceDX(double dx) const;
  std::int32_t WorldToDeviceDY(double dy) const;
  std::int32_t WorldToDeviceLength(double length) const;

 private:
  void Recompute() { Setup({centerX_, centerY_}, page_, scale_); }
  T_Page* page_ = nullptr;  // the device owns it
};
