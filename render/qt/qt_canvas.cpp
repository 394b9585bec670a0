#include "render/qt/qt_canvas.h"

#include <QFontMetrics>
#include <QPainterPath>
#include <QPaintDevice>
#include <QPolygon>
#include <algorithm>
#include <new>
#include <vector>

namespace render::qt {

QColor ToQColor(TColor color) { return QColor(RedOf(color), GreenOf(color), BlueOf(color)); }

TColor FromQColor(const QColor& color) { return RGBColor(color.red(), color.green(), color.blue()); }

TColor ImagePixel(const QImage& image, std::int32_t x, std::int32_t y) {
  if (!image.valid(x, y)) return clInvalid;
  return FromQColor(QColor::fromRgb(image.pixel(x, y)));
}

QImage ToQImage(const TGraphic& graphic) {
  if (const auto* held = dynamic_cast<const ImageHolder*>(&graphic)) return held->Image();
  QImage image(graphic.GetWidth(), graphic.GetHeight(), QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const TColor c = graphic.PixelAt(x, y);
      image.setPixel(x, y, c == clInvalid ? qRgba(0, 0, 0, 0) : ToQColor(c).rgb());
    }
  return image;
}

namespace {
Qt::PenStyle penStyle(TPenStyle style) {
  switch (style) {
    case psDash: return Qt::DashLine;
    case psDot: return Qt::DotLine;
    case psDashDot: return Qt::DashDotLine;
    case psDashDotDot: return Qt::DashDotDotLine;
    case psClear: return Qt::NoPen;
    default: return Qt::SolidLine;
  }
}

Qt::BrushStyle brushStyle(TBrushStyle style) {
  switch (style) {
    case bsClear: return Qt::NoBrush;
    case bsHorizontal: return Qt::HorPattern;
    case bsVertical: return Qt::VerPattern;
    case bsFDiagonal: return Qt::FDiagPattern;
    case bsBDiagonal: return Qt::BDiagPattern;
    case bsCross: return Qt::CrossPattern;
    case bsDiagCross: return Qt::DiagCrossPattern;
    default: return Qt::SolidPattern;
  }
}

QPolygon toPolygon(const TDevicePoint* points, std::int32_t count) {
  QPolygon polygon(count);
  for (std::int32_t i = 0; i < count; ++i) polygon.setPoint(i, points[i].X, points[i].Y);
  return polygon;
}

QRect toRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}
}  // namespace

void QtCanvas::ApplyPen() {
  QPen pen(ToQColor(Pen().Color));
  const std::int32_t width = std::max(Pen().Width, thinnestLine_);
  pen.setWidth(width > 1 ? width : 0);
  pen.setStyle(penStyle(Pen().Style));
  painter_->setPen(pen);
  painter_->setRenderHint(QPainter::Antialiasing, false);
}

void QtCanvas::ApplyBrush() {
  painter_->setBrush(QBrush(ToQColor(Brush().Color), brushStyle(Brush().Style)));
  painter_->setBrushOrigin(BrushOrigin().X, BrushOrigin().Y);
}

QFont QtCanvas::CurrentFont() const {
  QFont font(QString::fromStdString(Font().Name));
  font.setPixelSize(std::max(1, std::abs(Font().Height)));
  font.setBold(Font().Style & fsBold);
  font.setItalic(Font().Style & fsItalic);
  font.setUnderline(Font().Style & fsUnderline);
  font.setStrikeOut(Font().Style & fsStrikeOut);
  return font;
}

TDeviceRect QtCanvas::ClipRect() const {
  const QPaintDevice* device = painter_->device();
  if (!device) return {};
  return {0, 0, device->width(), device->height()};
}

std::int32_t QtCanvas::LogPixelsX() const {
  const QPaintDevice* device = painter_->device();
  return device ? device->logicalDpiX() : 96;
}

std::int32_t QtCanvas::LogPixelsY() const {
  const QPaintDevice* device = painter_->device();
  return device ? device->logicalDpiY() : 96;
}

TColor QtCanvas::GetPixel(std::int32_t x, std::int32_t y) const {
  if (!image_ || !image_->valid(x, y)) return clInvalid;
  return FromQColor(QColor::fromRgb(image_->pixel(x, y)));
}

void QtCanvas::SetPixel(std::int32_t x, std::int32_t y, TColor color) {
  if (image_) {
    if (image_->valid(x, y)) image_->setPixel(x, y, ToQColor(color).rgb());
    return;
  }
  painter_->save();
  painter_->setPen(QPen(ToQColor(color), 0));
  painter_->drawPoint(x, y);
  painter_->restore();
}

void QtCanvas::LineTo(std::int32_t x, std::int32_t y) {
  ApplyPen();
  painter_->drawLine(penPos_.X, penPos_.Y, x, y);
  penPos_ = {x, y};
}

void QtCanvas::Polyline(const TDevicePoint* points, std::int32_t count) {
  if (count < 2) return;
  ApplyPen();
  painter_->drawPolyline(toPolygon(points, count));
}

void QtCanvas::Polygon(const TDevicePoint* points, std::int32_t count) {
  if (count < 2) return;
  ApplyPen();
  ApplyBrush();
  painter_->drawPolygon(toPolygon(points, count), Qt::OddEvenFill);
}

bool QtCanvas::PolyPolygon(const TDevicePoint* points, const std::int32_t* counts,
                           std::int32_t rings) {
  if (!points || !counts || rings <= 0) return false;
  QPainterPath path;
  path.setFillRule(Qt::OddEvenFill);
  const TDevicePoint* ring = points;
  for (std::int32_t r = 0; r < rings; ++r) {
    if (counts[r] < 0) return false;
    QPolygon polygon = toPolygon(ring, counts[r]);
    if (!polygon.isEmpty()) {
      polygon << polygon.first();
      path.addPolygon(polygon);
    }
    ring += counts[r];
  }
  ApplyPen();
  ApplyBrush();
  painter_->drawPath(path);
  return true;
}

void QtCanvas::Rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                         std::int32_t bottom) {
  ApplyPen();
  ApplyBrush();
  painter_->drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
}

void QtCanvas::FillRect(const TDeviceRect& rect) {
  if (rect.Right <= rect.Left || rect.Bottom <= rect.Top) return;
  painter_->fillRect(toRect(rect.Left, rect.Top, rect.Right, rect.Bottom), ToQColor(Brush().Color));
}

void QtCanvas::FrameRect(const TDeviceRect& rect) {
  if (rect.Right <= rect.Left || rect.Bottom <= rect.Top) return;
  painter_->save();
  painter_->setPen(QPen(ToQColor(Brush().Color), 0));
  painter_->setBrush(Qt::NoBrush);
  painter_->drawRect(QRect(rect.Left, rect.Top, rect.Right - rect.Left - 1, rect.Bottom - rect.Top - 1));
  painter_->restore();
}

void QtCanvas::TextOut(std::int32_t x, std::int32_t y, const std::string& text) {
  const QString string = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  const QFont font = CurrentFont();
  const QFontMetrics metrics(font);
  painter_->save();
  painter_->setFont(font);
  painter_->translate(x, y);
  // Escapement turns counter-clockwise on a y-down surface.
  if (Font().Escapement != 0) painter_->rotate(-Font().Escapement / 10.0);
  if (Brush().Style != bsClear)
    painter_->fillRect(QRect(0, 0, metrics.horizontalAdvance(string), metrics.height()),
                       ToQColor(Brush().Color));
  painter_->setPen(ToQColor(Font().Color));
  painter_->drawText(0, metrics.ascent(), string);
  painter_->restore();
}

std::int32_t QtCanvas::TextWidth(const std::string& text) {
  return QFontMetrics(CurrentFont()).horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

std::int32_t QtCanvas::TextHeight(const std::string& text) { return QFontMetrics(CurrentFont()).height(); }

void QtCanvas::Draw(std::int32_t x, std::int32_t y, const TGraphic& graphic) {
  painter_->drawImage(QPoint(x, y), ToQImage(graphic));
}

void QtCanvas::StretchDraw(const TDeviceRect& rect, const TGraphic& graphic) {
  if (rect.Right <= rect.Left || rect.Bottom <= rect.Top) return;
  painter_->drawImage(QRect(rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top),
                      ToQImage(graphic));
}

TBitmap* QtCanvas::NewCompatibleBitmap(std::int32_t width, std::int32_t height) const {
  auto bitmap = std::make_unique<ImageBitmap>(width, height);
  // Qt answers a null image where the memory runs out.
  if (bitmap->Image().isNull()) throw std::bad_alloc();
  bitmap->Canvas().SetThinnestLine(thinnestLine_);
  return bitmap.release();
}

ImageBitmap::ImageBitmap(std::int32_t width, std::int32_t height, TColor fill)
    : image_(std::max(1, width), std::max(1, height), QImage::Format_RGB32) {
  image_.fill(ToQColor(fill));
  painter_ = std::make_unique<QPainter>(&image_);
  canvas_ = std::make_unique<QtCanvas>(painter_.get(), &image_);
}

ImageBitmap::~ImageBitmap() { Finish(); }

void ImageBitmap::SetSize(std::int32_t width, std::int32_t height) {
  const TPen pen = canvas_->Pen();
  const TBrush brush = canvas_->Brush();
  const TFont font = canvas_->Font();
  const TDevicePoint origin = canvas_->BrushOrigin();
  const std::int32_t thinnest = canvas_->ThinnestLine();
  Finish();
  QImage next(std::max(1, width), std::max(1, height), QImage::Format_RGB32);
  next.fill(Qt::white);
  {
    QPainter copy(&next);
    copy.drawImage(0, 0, image_);
  }
  image_ = std::move(next);
  painter_ = std::make_unique<QPainter>(&image_);
  canvas_ = std::make_unique<QtCanvas>(painter_.get(), &image_);
  canvas_->Pen() = pen;
  canvas_->Brush() = brush;
  canvas_->Font() = font;
  canvas_->BrushOrigin() = origin;
  canvas_->SetThinnestLine(thinnest);
}

void ImageBitmap::Finish() {
  if (painter_ && painter_->isActive()) painter_->end();
}

}  // namespace render::qt
