#pragma once
// The fixed binary blocks a page and a projection stream after their element
// data: 56 bytes for the page, 64 for the projection, little-endian.
#include <array>
#include <cstdint>

#include "geometry/device_types.h"

namespace geometry {

struct PageBlock {
  std::uint32_t FirstWord = 0;  // streamed along, never read
  std::int32_t PaperColor = 0;
  double HRes = 0.0;
  double VRes = 0.0;
  TDeviceRect PageRect;
  TDeviceRect InnerRect;
};
inline constexpr std::size_t kPageBlockSize = 56;
std::array<std::uint8_t, kPageBlockSize> encodePageBlock(const PageBlock& block);
PageBlock decodePageBlock(const std::uint8_t* bytes);

// OriginY is not in the block: only a new set-up from the page restores it.
struct ProjectionBlock {
  double Center_X = 0.0;
  double Center_Y = 0.0;
  double Scale = 0.0;
  double VirtualScale = 0.0;
  double XUnitsPerPixel = 0.0;
  double YUnitsPerPixel = 0.0;
  double UnitsPerPixel = 0.0;
  double OriginX = 0.0;
};
inline constexpr std::size_t kProjectionBlockSize = 64;
std::array<std::uint8_t, kProjectionBlockSize> encodeProjectionBlock(const ProjectionBlock& block);
ProjectionBlock decodeProjectionBlock(const std::uint8_t* bytes);

}  // namespace geometry
