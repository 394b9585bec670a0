#pragma once
// Device (page) coordinates: signed 32-bit pixels, y growing downwards.
#include <cstdint>

struct TDevicePoint {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  friend bool operator==(const TDevicePoint&, const TDevicePoint&) = default;
};

// Left <= Right and Top <= Bottom (the upper edge has the smaller y).
struct TDeviceRect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;
  friend bool operator==(const TDeviceRect&, const TDeviceRect&) = default;
};
