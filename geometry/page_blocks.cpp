#include "geometry/page_blocks.h"

#include <bit>
#include <cstring>

namespace geometry {
namespace {

class Writer {
 public:
  explicit Writer(std::uint8_t* out) : out_(out) {}
  void u32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) *out_++ = static_cast<std::uint8_t>(v >> (8 * i));
  }
  void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
  void f64(double v) {
    const auto bits = std::bit_cast<std::uint64_t>(v);
    for (int i = 0; i < 8; ++i) *out_++ = static_cast<std::uint8_t>(bits >> (8 * i));
  }
  void rect(const TDeviceRect& r) {
    i32(r.Left);
    i32(r.Top);
    i32(r.Right);
    i32(r.Bottom);
  }

 private:
  std::uint8_t* out_;
};

class Reader {
 public:
  explicit Reader(const std::uint8_t* in) : in_(in) {}
  std::uint32_t u32() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= std::uint32_t{*in_++} << (8 * i);
    return v;
  }
  std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
  double f64() {
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= std::uint64_t{*in_++} << (8 * i);
    return std::bit_cast<double>(bits);
  }
  TDeviceRect rect() {
    TDeviceRect r;
    r.Left = i32();
    r.Top = i32();
    r.Right = i32();
    r.Bottom = i32();
    return r;
  }

 private:
  const std::uint8_t* in_;
};

}  // namespace

std::array<std::uint8_t, kPageBlockSize> encodePageBlock(const PageBlock& b) {
  std::array<std::uint8_t, kPageBlockSize> out{};
  Writer w(out.data());
  w.u32(b.FirstWord);
  w.i32(b.PaperColor);
  w.f64(b.HRes);
  w.f64(b.VRes);
  w.rect(b.PageRect);
  w.rect(b.InnerRect);
  return out;
}

PageBlock decodePageBlock(const std::uint8_t* bytes) {
  Reader r(bytes);
  PageBlock b;
  b.FirstWord = r.u32();
  b.PaperColor = r.i32();
  b.HRes = r.f64();
  b.VRes = r.f64();
  b.PageRect = r.rect();
  b.InnerRect = r.rect();
  return b;
}

std::array<std::uint8_t, kProjectionBlockSize> encodeProjectionBlock(const ProjectionBlock& b) {
  std::array<std::uint8_t, kProjectionBlockSize> out{};
  Writer w(out.data());
  for (double v : {b.Center_X, b.Center_Y, b.Scale, b.VirtualScale, b.XUnitsPerPixel,
                   b.YUnitsPerPixel, b.UnitsPerPixel, b.OriginX})
    w.f64(v);
  return out;
}

ProjectionBlock decodeProjectionBlock(const std::uint8_t* bytes) {
  Reader r(bytes);
  ProjectionBlock b;
  b.Center_X = r.f64();
  b.Center_Y = r.f64();
  b.Scale = r.f64();
  b.VirtualScale = r.f64();
  b.XUnitsPerPixel = r.f64();
  b.YUnitsPerPixel = r.f64();
  b.UnitsPerPixel = r.f64();
  b.OriginX = r.f64();
  return b;
}

}  // namespace geometry
