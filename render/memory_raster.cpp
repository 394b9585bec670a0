#include "render/memory_raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

#include "geometry/outcodes.h"
#include "platform/codepage.h"
#include "render/stroke_font.h"

namespace {
// Where the stroked letters sit in a text's box of the font's height.
constexpr double kCapShare = 0.7;
constexpr double kBaselineShare = 0.8;
constexpr double kItalicSlant = 0.2;

// Advance of the glyphs the font has, in font units.
int strokeAdvance(const render::StrokeFontData& font, const std::string& bytes) {
  int units = 0;
  for (unsigned char ch : bytes) units += font.Width(ch);
  return units;
}
}  // namespace

TMemoryRaster::TMemoryRaster(std::int32_t width, std::int32_t height, TColor fill)
    : width_(std::max(0, width)),
      height_(std::max(0, height)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill) {}

void TMemoryRaster::SetSize(std::int32_t width, std::int32_t height) {
  width = std::max(0, width);
  height = std::max(0, height);
  std::vector<TColor> next(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), clWhite);
  for (std::int32_t y = 0; y < std::min(height, height_); ++y)
    for (std::int32_t x = 0; x < std::min(width, width_); ++x)
      next[static_cast<std::size_t>(y) * width + x] = pixels_[static_cast<std::size_t>(y) * width_ + x];
  pixels_.swap(next);
  width_ = width;
  height_ = height;
}

TColor TMemoryRaster::GetPixel(std::int32_t x, std::int32_t y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return clInvalid;
  return pixels_[static_cast<std::size_t>(y) * width_ + x];
}

void TMemoryRaster::SetPixel(std::int32_t x, std::int32_t y, TColor color) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[static_cast<std::size_t>(y) * width_ + x] = color & 0xFFFFFF;
}

std::int32_t TMemoryRaster::PenWidth() const { return PenWidthForDevice(Pen().Width); }

void TMemoryRaster::Span(std::int64_t row, std::int64_t from, std::int64_t to) {
  if (row < 0 || row >= height_) return;
  const auto x0 = static_cast<std::int32_t>(std::max<std::int64_t>(0, from));
  const auto x1 = static_cast<std::int32_t>(std::min<std::int64_t>(width_, to));
  if (x0 >= x1) return;
  const auto begin = pixels_.begin() + static_cast<std::ptrdiff_t>(row) * width_;
  std::fill(begin + x0, begin + x1, Pen().Color & 0xFFFFFF);
}

void TMemoryRaster::Segment(TDevicePoint from, TDevicePoint to, bool withEnd) {
  if (Pen().Style == psClear) return;
  const std::int32_t w = PenWidth();
  // Walk only the part that can touch the bitmap: far coordinates would
  // otherwise cost a step per pixel of the whole plane.
  const std::int32_t margin = w + 1;
  const TDeviceRect window{-margin, -margin, width_ + margin, height_ + margin};
  std::int32_t cx0, cy0, cx1, cy1;
  bool visible = false;
  ClipSegmentToRect(window, from.X, from.Y, to.X, to.Y, cx0, cy0, cx1, cy1, visible);
  if (!visible) return;
  // The pixels are those of the whole segment, wherever it is cut: a line
  // drawn in strips is the line drawn at once. Step k along the longer axis
  // takes the other axis to the nearest pixel, halves rounded on.
  const std::int64_t dx = std::llabs(std::int64_t{to.X} - from.X);
  const std::int64_t dy = std::llabs(std::int64_t{to.Y} - from.Y);
  const int sx = from.X < to.X ? 1 : -1;
  const int sy = from.Y < to.Y ? 1 : -1;
  const bool alongX = dx >= dy;
  const std::int64_t steps = alongX ? dx : dy;
  auto pointAt = [&](std::int64_t k) {
    const std::int64_t major = alongX ? dx : dy, minor = alongX ? dy : dx;
    const auto across = major == 0 ? std::int64_t{0}
                                   : static_cast<std::int64_t>((static_cast<__int128>(2) * minor * k + major) /
                                                               (static_cast<__int128>(2) * major));
    return alongX ? TDevicePoint{static_cast<std::int32_t>(from.X + sx * k), static_cast<std::int32_t>(from.Y + sy * across)}
                  : TDevicePoint{static_cast<std::int32_t>(from.X + sx * across), static_cast<std::int32_t>(from.Y + sy * k)};
  };
  auto stepOf = [&](std::int32_t x, std::int32_t y) -> std::int64_t {
    return alongX ? std::llabs(std::int64_t{x} - from.X) : std::llabs(std::int64_t{y} - from.Y);
  };
  // The clipped ends lie on the line up to rounding: one step more each way.
  const std::int64_t kFrom = std::max<std::int64_t>(0, std::min(stepOf(cx0, cy0), stepOf(cx1, cy1)) - 1);
  // The end pixel belongs to the next segment.
  const std::int64_t kTo = std::min<std::int64_t>(std::max(stepOf(cx0, cy0), stepOf(cx1, cy1)) + 1, withEnd ? steps : steps - 1);
  if (kFrom > kTo) return;
  const TDevicePoint first = pointAt(kFrom), end = pointAt(kTo);
  const std::int32_t y0 = first.Y;
  // The pen is a w x w square centred on each pixel of the line. The line
  // runs monotonically in x and y, so the squares covering one row reach
  // from the pen dots of the first to those of the last line row among
  // the w rows they span: each row is one span, whatever the width.
  const std::int64_t rowCount = std::llabs(std::int64_t{end.Y} - y0) + 1;
  // Per line row (counted along the walk): its first and last x.
  // Every row of the walk is written before it is read.
  std::vector<std::int64_t>& rowFirst = rowFirst_;
  std::vector<std::int64_t>& rowLast = rowLast_;
  rowFirst.resize(static_cast<std::size_t>(rowCount));
  rowLast.resize(rowFirst.size());
  std::int64_t walkedRows = 0;
  for (std::int64_t k = kFrom, row = -1; k <= kTo; ++k) {
    const TDevicePoint p = pointAt(k);
    const std::int64_t r = std::llabs(std::int64_t{p.Y} - y0);
    if (r != row) {
      row = r;
      rowFirst[static_cast<std::size_t>(r)] = p.X;
      walkedRows = r + 1;
    }
    rowLast[static_cast<std::size_t>(r)] = p.X;
  }
  if (walkedRows == 0) return;
  const std::int64_t lead = (w - 1) / 2;  // pen pixels before the centre
  // Device rows the squares cover, and which line rows cover each.
  const std::int64_t firstY = std::int64_t{y0} + (sy > 0 ? -lead : -(walkedRows - 1) - lead);
  const std::int64_t lastY = firstY + walkedRows - 1 + w - 1;
  for (std::int64_t yy = std::max<std::int64_t>(0, firstY); yy <= std::min<std::int64_t>(height_ - 1, lastY); ++yy) {
    // Line rows r whose centre row y0 + sy * r lies in [yy - (w - 1 - lead), yy + lead].
    const std::int64_t lo = sy > 0 ? yy - (w - 1 - lead) - y0 : y0 - (yy + lead);
    const std::int64_t hi = sy > 0 ? yy + lead - y0 : y0 - (yy - (w - 1 - lead));
    const std::int64_t a = std::max<std::int64_t>(0, lo), b = std::min<std::int64_t>(walkedRows - 1, hi);
    if (a > b) continue;
    const std::int64_t left = std::min({rowFirst[a], rowLast[a], rowFirst[b], rowLast[b]});
    const std::int64_t right = std::max({rowFirst[a], rowLast[a], rowFirst[b], rowLast[b]});
    Span(yy, left - lead, right - lead + w);
  }
}

void TMemoryRaster::LineTo(std::int32_t x, std::int32_t y) {
  Segment(penPos_, {x, y}, false);
  penPos_ = {x, y};
}

void TMemoryRaster::Polyline(const TDevicePoint* points, std::int32_t count) {
  for (std::int32_t i = 1; i < count; ++i) Segment(points[i - 1], points[i], i + 1 == count);
}

void TMemoryRaster::BrushPixel(std::int32_t x, std::int32_t y) {
  bool on = true;
  // The pattern's place from the brush origin.
  const std::int64_t px = std::int64_t{x} - BrushOrigin().X, py = std::int64_t{y} - BrushOrigin().Y;
  switch (Brush().Style) {
    case bsClear: on = false; break;
    case bsHorizontal: on = py % 8 == 0; break;
    case bsVertical: on = px % 8 == 0; break;
    case bsFDiagonal: on = (px - py) % 8 == 0; break;
    case bsBDiagonal: on = (px + py) % 8 == 0; break;
    case bsCross: on = px % 8 == 0 || py % 8 == 0; break;
    case bsDiagCross: on = (px - py) % 8 == 0 || (px + py) % 8 == 0; break;
    default: break;
  }
  if (on) SetPixel(x, y, Brush().Color);
}

void TMemoryRaster::FillRings(const TDevicePoint* points, const std::int32_t* counts,
                              std::int32_t rings) {
  if (Brush().Style == bsClear) return;
  std::int64_t top = INT64_MAX, bottom = INT64_MIN;
  std::int64_t total = 0;
  for (std::int32_t r = 0; r < rings; ++r) total += counts[r];
  for (std::int64_t i = 0; i < total; ++i) {
    top = std::min<std::int64_t>(top, points[i].Y);
    bottom = std::max<std::int64_t>(bottom, points[i].Y);
  }
  const std::int32_t rowFrom = static_cast<std::int32_t>(std::max<std::int64_t>(0, top));
  const std::int32_t rowTo = static_cast<std::int32_t>(std::min<std::int64_t>(height_, bottom + 1));
  std::vector<double>& crossings = crossings_;
  for (std::int32_t row = rowFrom; row < rowTo; ++row) {
    // Pixel centres decide, so right and bottom edges stay outside.
    const double yc = row + 0.5;
    crossings.clear();
    const TDevicePoint* ring = points;
    for (std::int32_t r = 0; r < rings; ++r) {
      const std::int32_t n = counts[r];
      for (std::int32_t i = 0; i < n; ++i) {
        const TDevicePoint a = ring[i];
        const TDevicePoint b = ring[(i + 1) % n];
        if (a.Y == b.Y) continue;
        const double ya = a.Y, yb = b.Y;
        if ((yc < ya) == (yc < yb)) continue;
        crossings.push_back(a.X + (yc - ya) * (static_cast<double>(b.X) - a.X) / (yb - ya));
      }
      ring += n;
    }
    std::sort(crossings.begin(), crossings.end());
    for (std::size_t k = 0; k + 1 < crossings.size(); k += 2) {
      const double from = std::max(0.0, std::ceil(crossings[k] - 0.5));
      const double to = std::min<double>(width_, std::ceil(crossings[k + 1] - 0.5));
      if (from >= to) continue;
      if (Brush().Style == bsSolid) {
        // A solid span is one run of the row: no pattern to ask per pixel.
        const auto begin = pixels_.begin() + static_cast<std::ptrdiff_t>(row) * width_;
        std::fill(begin + static_cast<std::int32_t>(from), begin + static_cast<std::int32_t>(to), Brush().Color & 0xFFFFFF);
        continue;
      }
      for (auto x = static_cast<std::int32_t>(from); x < to; ++x) BrushPixel(x, row);
    }
  }
}

void TMemoryRaster::Polygon(const TDevicePoint* points, std::int32_t count) {
  if (count < 2) return;
  PolyPolygon(points, &count, 1);
}

bool TMemoryRaster::PolyPolygon(const TDevicePoint* points, const std::int32_t* counts,
                                std::int32_t rings) {
  if (!points || !counts || rings <= 0) return false;
  for (std::int32_t r = 0; r < rings; ++r)
    if (counts[r] < 0) return false;
  FillRings(points, counts, rings);
  const TDevicePoint* ring = points;
  for (std::int32_t r = 0; r < rings; ++r) {
    const std::int32_t n = counts[r];
    for (std::int32_t i = 0; i < n && n > 1; ++i) Segment(ring[i], ring[(i + 1) % n], false);
    ring += n;
  }
  return true;
}

void TMemoryRaster::Rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                              std::int32_t bottom) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  const TDevicePoint ring[4] = {{left, top}, {right - 1, top}, {right - 1, bottom - 1}, {left, bottom - 1}};
  if (Brush().Style != bsClear)
    for (std::int32_t y = std::max(0, top); y < std::min(height_, bottom); ++y)
      for (std::int32_t x = std::max(0, left); x < std::min(width_, right); ++x) BrushPixel(x, y);
  for (int i = 0; i < 4; ++i) Segment(ring[i], ring[(i + 1) % 4], false);
}

void TMemoryRaster::FillRect(const TDeviceRect& rect) {
  for (std::int32_t y = std::max(0, rect.Top); y < std::min(height_, rect.Bottom); ++y)
    for (std::int32_t x = std::max(0, rect.Left); x < std::min(width_, rect.Right); ++x)
      SetPixel(x, y, Brush().Color);
}

void TMemoryRaster::FrameRect(const TDeviceRect& rect) {
  if (rect.Right <= rect.Left || rect.Bottom <= rect.Top) return;
  for (std::int32_t x = rect.Left; x < rect.Right; ++x) {
    if (x < 0 || x >= width_) continue;
    SetPixel(x, rect.Top, Brush().Color);
    SetPixel(x, rect.Bottom - 1, Brush().Color);
  }
  for (std::int32_t y = rect.Top; y < rect.Bottom; ++y) {
    if (y < 0 || y >= height_) continue;
    SetPixel(rect.Left, y, Brush().Color);
    SetPixel(rect.Right - 1, y, Brush().Color);
  }
}

const render::CanvasStrokeFont* TMemoryRaster::StrokeFont() {
  if (!strokeFontLooked_) {
    strokeFontLooked_ = true;
    strokeFont_ = render::LoadCanvasStrokeFont();
  }
  return strokeFont_.get();
}

double TMemoryRaster::FontUnit(const render::CanvasStrokeFont& font) const {
  return std::abs(static_cast<double>(Font().Height)) * kCapShare / font.Data.CapHeight();
}

void TMemoryRaster::TextOut(std::int32_t x, std::int32_t y, const std::string& text) {
  const render::CanvasStrokeFont* font = text.empty() || Font().Height == 0 ? nullptr : StrokeFont();
  if (!font) return;
  const std::string bytes = platform::fromUtf8(text, font->CodePage);
  const double unit = FontUnit(*font);
  const double height = std::abs(static_cast<double>(Font().Height));
  const double width = strokeAdvance(font->Data, bytes) * unit;
  const double angle = Font().Escapement * std::numbers::pi / 1800.0;
  const double c = std::cos(angle), s = std::sin(angle);
  const double slant = Font().Style & fsItalic ? kItalicSlant : 0.0;
  // From the text's box (along the baseline, down from the top) to pixels;
  // the escapement turns counter-clockwise about the top-left corner. A
  // huge font stays within what pixel numbers hold.
  auto pixel = [](double v) { return static_cast<std::int32_t>(std::lround(std::clamp(v, -1e9, 1e9))); };
  auto at = [&](double along, double down) {
    return TDevicePoint{pixel(x + along * c + down * s), pixel(y - along * s + down * c)};
  };
  if (Brush().Style != bsClear) {
    const TDevicePoint box[4] = {at(0, 0), at(width, 0), at(width, height), at(0, height)};
    const std::int32_t corners = 4;
    FillRings(box, &corners, 1);
  }
  const TPen saved = Pen();
  Pen() = {Font().Color, PenWidthForDevice(static_cast<std::int32_t>(std::lround(height / (Font().Style & fsBold ? 7 : 12)))),
           psSolid};
  const double baseline = height * kBaselineShare;
  double advance = 0;
  for (unsigned char ch : bytes) {
    if (!font->Data.HasChar(ch)) continue;
    TDevicePoint last = at(advance, baseline);
    for (const auto& stroke : font->Data.Glyph(ch)) {
      const double right = stroke.X * unit, up = stroke.Y * unit;
      const TDevicePoint next = at(advance + right + up * slant, baseline - up);
      if (stroke.Draw) Segment(last, next, true);
      last = next;
    }
    advance += font->Data.Width(ch) * unit;
  }
  const double cap = height * kCapShare;
  if (Font().Style & fsUnderline) Segment(at(0, baseline + cap * 0.15), at(width, baseline + cap * 0.15), true);
  if (Font().Style & fsStrikeOut) Segment(at(0, baseline - cap * 0.4), at(width, baseline - cap * 0.4), true);
  Pen() = saved;
}

std::int32_t TMemoryRaster::TextWidth(const std::string& text) {
  if (const render::CanvasStrokeFont* font = text.empty() ? nullptr : StrokeFont())
    return static_cast<std::int32_t>(
        std::lround(strokeAdvance(font->Data, platform::fromUtf8(text, font->CodePage)) * FontUnit(*font)));
  std::int32_t chars = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++chars;
  return static_cast<std::int32_t>(std::lround(chars * std::abs(Font().Height) * 0.6));
}

std::int32_t TMemoryRaster::TextHeight(const std::string& text) {
  return text.empty() ? 0 : std::abs(Font().Height);
}

void TMemoryRaster::Draw(std::int32_t x, std::int32_t y, const TGraphic& graphic) {
  StretchDraw({x, y, x + graphic.GetWidth(), y + graphic.GetHeight()}, graphic);
}

void TMemoryRaster::StretchDraw(const TDeviceRect& rect, const TGraphic& graphic) {
  const std::int64_t w = std::int64_t{rect.Right} - rect.Left;
  const std::int64_t h = std::int64_t{rect.Bottom} - rect.Top;
  if (w <= 0 || h <= 0 || graphic.GetWidth() <= 0 || graphic.GetHeight() <= 0) return;
  for (std::int32_t y = std::max(0, rect.Top); y < std::min(height_, rect.Bottom); ++y) {
    const auto sy = static_cast<std::int32_t>((y - std::int64_t{rect.Top}) * graphic.GetHeight() / h);
    for (std::int32_t x = std::max(0, rect.Left); x < std::min(width_, rect.Right); ++x) {
      const auto sx = static_cast<std::int32_t>((x - std::int64_t{rect.Left}) * graphic.GetWidth() / w);
      const TColor c = graphic.PixelAt(sx, sy);
      if (c != clInvalid) SetPixel(x, y, c);
    }
  }
}
