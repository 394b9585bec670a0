#include "geometry/polygon_clipper.h"

#include <cmath>
#include <stdexcept>

std::int32_t ClampToInt32(double v) {
  if (v > 2147483647.0) return 2147483647;
  if (v < -2147483647.0) return -2147483647;
  if (std::isnan(v)) return 0;
  return static_cast<std::int32_t>(std::nearbyint(v));
}

TOrezavacPloch::TOrezavacPloch(const TDeviceRect& rect, std::vector<TDevicePoint> points,
                               std::size_t count)
    : rect_(rect) {
  if (count > points.size()) throw std::range_error("Range check error");
  points.resize(count);
  for (const TDevicePoint& p : points) {
    if (p.X < rect.Left) beyondLeft_ = true;
    if (p.Y < rect.Top) beyondTop_ = true;
    if (p.X > rect.Right) beyondRight_ = true;
    if (p.Y > rect.Bottom) beyondBottom_ = true;
  }
  capacity_ = points.size();
  output_ = std::move(points);
  haveOutput_ = true;
}

void TOrezavacPloch::StartPass() {
  input_ = std::move(output_);
  haveInput_ = haveOutput_;
  output_.clear();
  haveOutput_ = false;
  if (!haveInput_ || input_.empty()) {
    input_.clear();
    haveInput_ = false;
    return;
  }
  capacity_ = input_.size() * 2;
  output_.reserve(capacity_);
  haveOutput_ = true;
}

void TOrezavacPloch::AddPoint(std::int32_t x, std::int32_t y) {
  if (!failed_ && haveOutput_ && output_.size() < capacity_) output_.push_back({x, y});
  else failed_ = true;
}

void TOrezavacPloch::CloseRing() {
  if (haveOutput_ && output_.size() >= 3 && !(output_.back() == output_.front()))
    output_.push_back(output_.front());
}

void TOrezavacPloch::ClipSide(Side side) {
  // Differences of two 32-bit coordinates need 33 bits: they are taken in 64.
  auto crossY = [](std::int64_t edge, TDevicePoint prev, TDevicePoint cur) {
    return ClampToInt32(static_cast<double>(edge - prev.X) *
                            static_cast<double>(std::int64_t{cur.Y} - prev.Y) /
                            static_cast<double>(std::int64_t{cur.X} - prev.X) +
                        prev.Y);
  };
  auto crossX = [](std::int64_t edge, TDevicePoint prev, TDevicePoint cur) {
    return ClampToInt32(static_cast<double>(edge - prev.Y) *
                            static_cast<double>(std::int64_t{cur.X} - prev.X) /
                            static_cast<double>(std::int64_t{cur.Y} - prev.Y) +
                        prev.X);
  };
  auto inside = [&](TDevicePoint p) {
    switch (side) {
      case Side::Left: return p.X >= rect_.Left;
      case Side::Top: return p.Y >= rect_.Top;
      case Side::Right: return p.X <= rect_.Right;
      case Side::Bottom: return p.Y <= rect_.Bottom;
    }
    return true;
  };
  auto addCrossing = [&](TDevicePoint prev, TDevicePoint cur) {
    switch (side) {
      case Side::Left: AddPoint(rect_.Left, crossY(rect_.Left, prev, cur)); break;
      case Side::Top: AddPoint(crossX(rect_.Top, prev, cur), rect_.Top); break;
      case Side::Right: AddPoint(rect_.Right, crossY(rect_.Right, prev, cur)); break;
      // The bottom crossing is placed one pixel below the rectangle, as the
      // drawn pages have always had it.
      case Side::Bottom:
        AddPoint(crossX(rect_.Bottom, prev, cur), ClampToInt32(double(rect_.Bottom) + 1.0));
        break;
    }
  };
  TDevicePoint prev = input_.back();
  for (const TDevicePoint cur : input_) {
    const bool curIn = inside(cur), prevIn = inside(prev);
    if (curIn) {
      if (!prevIn) addCrossing(prev, cur);
      AddPoint(cur.X, cur.Y);
    } else if (prevIn) {
      addCrossing(prev, cur);
    }
    prev = cur;
  }
}

void TOrezavacPloch::Execute() {
  if (failed_) return;
  StartPass();
  const std::pair<bool, Side> passes[] = {{beyondLeft_, Side::Left},
                                          {beyondTop_, Side::Top},
                                          {beyondRight_, Side::Right},
                                          {beyondBottom_, Side::Bottom}};
  for (const auto& [beyond, side] : passes) {
    if (!beyond || !haveInput_) continue;
    ClipSide(side);
    CloseRing();
    StartPass();
  }
  output_.clear();
  haveOutput_ = false;
}

void TOrezavacPloch::GetResult(std::vector<TDevicePoint>& points, std::size_t& count) const {
  points.clear();
  count = 0;
  if (failed_ || !haveInput_) return;
  points = input_;
  count = input_.size();
}
