#pragma once
// The entity with a bounding rectangle: base of every spatial object, of the
// quad-tree cells, nodes, registers and the drawable page items. Besides the
// rectangle it carries a free index and a reference point given relative to
// the rectangle (RelRefX/RelRefY: 0 the lower or left edge, 0.5 the centre,
// 1 the upper or right edge), so that an item is positioned by its anchor.
#include <cstdint>
#include <memory>
#include <string>

#include "framework/entity.h"
#include "framework/rectangle.h"

// 1 + 3 * column + row of the 3 x 3 anchor grid; 0 for any other point.
using TRefPosition = std::uint8_t;

class TRectEntity : public TOwnerEntity {
  ZELTO_ELEMENT(TRectEntity)
 public:
  TRectEntity();
  ~TRectEntity() override;

  std::int32_t Index = 0;

  // The rectangle, created empty on first use.
  TRectangle* GetRectangle();
  const TRectangle& Rect() const;
  // Frees the current rectangle and keeps the given one (nullptr allowed).
  void SetRectangle(TRectangle* rectangle);
  // Sets the anchor alone; the rectangle stays where it is.
  void SetRelRef(double x, double y) {
    relRefX_ = x;
    relRefY_ = y;
  }

  double GetMinX() const { return Rect().MinX(); }
  double GetMinY() const { return Rect().MinY(); }
  double GetMaxX() const { return Rect().MaxX(); }
  double GetMaxY() const { return Rect().MaxY(); }
  void SetMinX(double v) { GetRectangle()->SetMinX(v); }
  void SetMinY(double v) { GetRectangle()->SetMinY(v); }
  void SetMaxX(double v) { GetRectangle()->SetMaxX(v); }
  void SetMaxY(double v) { GetRectangle()->SetMaxY(v); }
  double GetWidth() const { return Rect().GetWidth(); }
  double GetHeight() const { return Rect().GetHeight(); }
  // Resize from the min corner, keeping the anchor's absolute place.
  void SetWidth(double value);
  void SetHeight(double value);
  double GetCenterX() const;
  double GetCenterY() const;
  bool GetIsValid() const { return Rect().IsValid(); }

  double GetRelRefX() const { return relRefX_; }
  double GetRelRefY() const { return relRefY_; }
  // Change the anchor, keeping it in place: the rectangle moves under it.
  void SetRelRefX(double value);
  void SetRelRefY(double value);
  void SetRelRefPoint(double x, double y);
  double GetDeltaRefX() const { return GetWidth() * GetRelRefX(); }
  double GetDeltaRefY() const { return GetHeight() * GetRelRefY(); }
  void SetDeltaRefX(double value);
  void SetDeltaRefY(double value);
  double GetAbsRefX() const { return GetMinX() + GetDeltaRefX(); }
  double GetAbsRefY() const { return GetMinY() + GetDeltaRefY(); }
  // Move only the anchor; the rectangle stays.
  void SetAbsRefX(double value);
  void SetAbsRefY(double value);
  // Move the item so that its anchor lands on the value (an invalid
  // rectangle becomes degenerate at the value on that axis).
  void SetX(double value);
  void SetY(double value);

  std::string GetHorizAllign() const;
  std::string GetVertAllign() const;
  void SetHorizAllign(const std::string& text);
  void SetVertAllign(const std::string& text);
  TRefPosition GetRefPosition() const;
  virtual void SetRefPosition(TRefPosition position);

  // A coordinate extends to its point, a rectangle entity by its (valid)
  // rectangle; anything else changes nothing.
  void ExtendBy(TElement* element);
  void AddAndExtend(TElement* element);
  virtual void ExtendByChildren();
  virtual void RecalcEnvelope();
  void MoveBy(double dx, double dy) { GetRectangle()->MoveBy(dx, dy); }
  double GetLongerSide() const;
  void SetUpdateNoReset(bool extend);

  bool IsInsideRect(double minX, double minY, double maxX, double maxY) const;
  bool ContainsRect(double minX, double minY, double maxX, double maxY) const;
  bool IntersectsRect(double minX, double minY, double maxX, double maxY) const;
  bool ContainsPoint(double x, double y) const;
  // The overlap; all zeros when it has no area.
  TBoundsRecord IntersectionWith(const TBoundsRecord& other) const;

  // Copies Index and a clone of the other's rectangle.
  void Assign(const TElement* source);
  int GetSize() const override;
  void ReadData(zelto::ValueReader& reader, TQuickEntity& loaded) override;
  void WriteData(zelto::ValueWriter& writer) override;
  TElement* CreateEnvelope() override;

 private:
  std::unique_ptr<TRectangle> rectangle_;
  double relRefX_ = 0;
  double relRefY_ = 0;
};

// Registers the coordinates, rectangles and rectangle entities.
void RegisterRectEntityClasses();
