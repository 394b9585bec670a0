#pragma once
// A polygon or polyline element as a buffer of device points, ready to be
// clipped to the page and handed to the canvas in one call.
#include <cstdint>
#include <vector>

#include "framework/rectangle.h"
#include "geometry/device_types.h"
#include "geometry/page_projection.h"
#include "geometry/plane_geometry.h"

class TBorderBuffer : public TRectangle {
  ZELTO_ELEMENT(TBorderBuffer)
 public:
  // The rectangle's bounds are the world window; the device clip rectangle
  // is what Clip cuts the points to.
  void SetProjection(TPageProjection* projection) { projection_ = projection; }
  void SetMinPointNo(std::int32_t n) { minPointNo_ = n; }
  std::int32_t GetMinPointNo() const { return minPointNo_; }
  void SetDeviceClipRect(const TDeviceRect& rect) { clipRect_ = rect; }
  // Converts the element's vertices at once.
  void SetRectEntity(TElement* element);
  void Clip();

  std::int32_t GetPointNo() const { return pointNo_; }
  std::int32_t GetBufferSize() const { return bufferSize_; }
  bool HasBuffer() const { return hasBuffer_; }
  const std::vector<TDevicePoint>& Points() const { return points_; }
  // Hands the points over, taking the vector's old storage for the next
  // element: a device that draws ring after ring allocates nothing.
  void TakePoints(std::vector<TDevicePoint>& points);

 private:
  std::vector<geometry::PointD> world_;    // the element's vertices, reused
  TPageProjection* projection_ = nullptr;  // not owned
  TElement* rectEntity_ = nullptr;         // not owned
  std::int32_t pointNo_ = 0;
  TDeviceRect clipRect_;
  std::int32_t minPointNo_ = 0;
  std::vector<TDevicePoint> points_;
  bool hasBuffer_ = false;
  std::int32_t bufferSize_ = 0;
};

namespace render {
// The vertices of a line or area in order (a line-bounded area's ring
// included), or the coordinate children of any other entity.
void CollectWorldPoints(TElement* element, std::vector<geometry::PointD>& points);
// Converts the points without clipping, dropping a point that falls on the
// pixel of the one before; the buffer grows with the element.
void ToDevicePoints(const TPageProjection& projection, const std::vector<geometry::PointD>& world,
                    std::vector<TDevicePoint>& device);
}  // namespace render
