#include "render/border_buffer.h"

#include "framework/coordinate.h"
#include "framework/entity.h"
#include "framework/rect_entity.h"
#include "geometry/poly_element.h"
#include "geometry/polygon_clipper.h"

ZELTO_IMPLEMENT_ELEMENT(TBorderBuffer, TRectangle, [](auto& p) {
  p.Object("Projection", TPageProjection::StaticClass(), nullptr,
           [](TBorderBuffer& b, TElement* e) {
             b.SetProjection(e && e->Is<TPageProjection>() ? static_cast<TPageProjection*>(e) : nullptr);
           });
  p.Object("RectEntity", TElement::StaticClass(), nullptr, &TBorderBuffer::SetRectEntity);
  p.Integer("BufferSize", &TBorderBuffer::GetBufferSize);
  p.Integer("PointNo", &TBorderBuffer::GetPointNo);
  p.Integer("MinPointNo", &TBorderBuffer::GetMinPointNo, &TBorderBuffer::SetMinPointNo);
})

namespace render {

void CollectWorldPoints(TElement* element, std::vector<geometry::PointD>& points) {
  points.clear();
  if (!element) return;
  if (element->Is<TPolyElement>()) {
    static_cast<TPolyElement*>(element)->CollectRing(points);
    return;
  }
  if (!element->Is<TEntity>()) return;
  for (TElement* child : static_cast<TEntity*>(element)->Items())
    if (child && child->Is<T2DCoordinate>()) {
      const auto* c = static_cast<T2DCoordinate*>(child);
      points.push_back({c->X, c->Y});
    }
}

void ToDevicePoints(const TPageProjection& projection, const std::vector<geometry::PointD>& world,
                    std::vector<TDevicePoint>& device) {
  device.clear();
  device.reserve(world.size());
  for (const geometry::PointD& p : world) {
    const TDevicePoint d{projection.WorldToDeviceX(p.X), projection.WorldToDeviceY(p.Y)};
    if (!device.empty() && device.back() == d) continue;
    device.push_back(d);
  }
}

}  // namespace render

void TBorderBuffer::SetRectEntity(TElement* element) {
  rectEntity_ = element;
  points_.clear();
  hasBuffer_ = false;
  pointNo_ = 0;
  bufferSize_ = 0;
  if (!element || !projection_) return;
  render::CollectWorldPoints(element, world_);
  bufferSize_ = static_cast<std::int32_t>(
      std::min<std::size_t>(world_.size() * sizeof(TDevicePoint), INT32_MAX));
  render::ToDevicePoints(*projection_, world_, points_);
  hasBuffer_ = true;
  pointNo_ = static_cast<std::int32_t>(points_.size());
  if (minPointNo_ == 0) minPointNo_ = 3;
  if (pointNo_ < minPointNo_) {
    points_.clear();
    hasBuffer_ = false;
    pointNo_ = 0;
    bufferSize_ = 0;
  }
}

void TBorderBuffer::TakePoints(std::vector<TDevicePoint>& points) {
  points.swap(points_);
  points_.clear();
  pointNo_ = 0;
  hasBuffer_ = false;
}

void TBorderBuffer::Clip() {
  if (!hasBuffer_) return;
  if (rectEntity_ && rectEntity_->Is<TRectEntity>() &&
      static_cast<TRectEntity*>(rectEntity_)->IsInsideRect(MinX(), MinY(), MaxX(), MaxY()))
    return;
  TOrezavacPloch clipper(clipRect_, points_, points_.size());
  clipper.Execute();
  std::size_t count = 0;
  clipper.GetResult(points_, count);
  points_.resize(count);
  pointNo_ = static_cast<std::int32_t>(count);
}
