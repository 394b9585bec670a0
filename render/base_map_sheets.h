#pragma once
// The base map series: quadrilateral sheets at 1:200000, 1:100000, 1:50000,
// 1:25000 and 1:10000 whose corners do not follow the national grid. One
// element describes the whole series: it selects one sheet at every scale by
// its numbers and computes that sheet's corners by halving or fifthing its
// parent. Corners are held north-west, north-east, south-west, south-east.
#include <array>
#include <cstdint>
#include <string>

#include "framework/draw_items.h"
#include "geometry/page_projection.h"
#include "render/interpret.h"
#include "render/map_sheets.h"

namespace render {
struct Corner {
  double X = 0, Y = 0;
};
using Corners = std::array<Corner, 4>;
// Quarter 1..4 (north-west, north-east, south-west, south-east).
Corners Quarter(const Corners& sheet, int q);
// Cell 1..25, west to east along rows from north to south.
Corners Cell(const Corners& sheet, int n);
bool IsValidMap200(std::int32_t v);
}  // namespace render

class TMapsZM : public TRectEntity {
  ZELTO_ELEMENT(TMapsZM)
 public:
  enum Level { k200, k100, k50, k25, k10 };
  // The selected numbers with the corners of every scale.
  struct Selection {
    std::int32_t Map200 = 0, Map100 = 0, Map50 = 0, Map25 = 0, Map10 = 0;
    std::array<render::Corners, 5> Corners{};
  };

  TMapsZM();

  std::int32_t Color = 0;
  double PenWidth = 0;
  TPenStyle PenStyle = psSolid;
  std::int32_t Scale = 200000;

  std::int32_t GetMap200() const { return sel_.Map200; }
  std::int32_t GetMap100() const { return sel_.Map100; }
  std::int32_t GetMap50() const { return sel_.Map50; }
  std::int32_t GetMap25() const { return sel_.Map25; }
  std::int32_t GetMap10() const { return sel_.Map10; }
  // Each first clears its own number; an out-of-range value leaves it 0
  // and the corners of that scale as they were.
  void SetMap200(std::int32_t v);
  void SetMap100(std::int32_t v);
  void SetMap50(std::int32_t v);
  void SetMap25(std::int32_t v);
  void SetMap10(std::int32_t v);

  const render::Corners& CornersOf(Level level) const { return sel_.Corners[level]; }
  // The corner set that Scale chooses.
  const render::Corners& ScaleCorners() const;
  double GetZMCenterX() const;
  double GetZMCenterY() const;
  double GetAngle() const;
  std::string GetMapName() const;
  // Parses a 1:10000 name ("24-13-05"); a name that does not parse is
  // reported, and what was set before the failure stays.
  void SetMapName(const std::string& name);

  const Selection& GetSelection() const { return sel_; }
  void SetSelection(const Selection& selection) { sel_ = selection; }

 private:
  Selection sel_;
};

// A base-map sheet usable wherever a map sheet is: its scale and rotation
// come from its child "ZM".
class TZMSpace : public TMapSpace {
  ZELTO_ELEMENT(TZMSpace)
 public:
  // Found by name among the children, or created, named and added.
  TMapsZM* GetZM();
  double GetScale() const override;
  void SetScale(double value) override;
  double GetAngle();
  double GetRAngle() { return -GetAngle(); }
};

class TInterpretZM : public TInterpret {
  ZELTO_ELEMENT(TInterpretZM)
 public:
  bool IsItsClass(TElement* element) override { return element && element->Is<TMapsZM>(); }
  bool QProcessBefore(TElement* element) override;
  void DoIt() override;
  void Process(TElement* element) override;

 private:
  bool Visible(const render::Corners& c) const;
  void DrawSheet(const render::Corners& c);

  geometry::WorldRect visible_{};
};

void RegisterBaseMapClasses();
