#include "framework/rect_entity.h"

#include <gtest/gtest.h>

#include <memory>

#include "framework/draw_items.h"
#include "framework/property_access.h"

namespace {

std::unique_ptr<TRectEntity> entityAt(double minX, double minY, double maxX, double maxY) {
  auto e = std::make_unique<TRectEntity>();
  e->SetMinX(minX);
  e->SetMinY(minY);
  e->SetMaxX(maxX);
  e->SetMaxY(maxY);
  return e;
}

void expectBounds(TRectEntity& e, double minX, double minY, double maxX, double maxY) {
  EXPECT_DOUBLE_EQ(e.GetMinX(), minX);
  EXPECT_DOUBLE_EQ(e.GetMinY(), minY);
  EXPECT_DOUBLE_EQ(e.GetMaxX(), maxX);
  EXPECT_DOUBLE_EQ(e.GetMaxY(), maxY);
}

}  // namespace

TEST(RectEntity, ANewEntityIsAnchoredLowerLeftAndPlacedByItsFirstPoint) {
  TRectEntity e;
  EXPECT_FALSE(e.GetIsValid());
  EXPECT_EQ(e.GetRefPosition(), 1);
  EXPECT_EQ(e.GetHorizAllign(), "LEFT");
  EXPECT_EQ(e.GetVertAllign(), "DOWN");
  SetPropTextByName(&e, "X", "5");
  SetPropTextByName(&e, "Y", "7");
  expectBounds(e, 5, 7, 5, 7);
  EXPECT_TRUE(e.GetIsValid());
}

TEST(RectEntity, ChangingTheAnchorKeepsItInPlace) {
  auto e = entityAt(0, 0, 10, 4);
  e->SetRefPosition(5);
  expectBounds(*e, -5, -2, 5, 2);
  EXPECT_EQ(e->GetAbsRefX(), 0);
  SetPropTextByName(e.get(), "X", "100");
  expectBounds(*e, 95, -2, 105, 2);

  auto f = entityAt(0, 0, 10, 4);
  SetPropTextByName(f.get(), "RefPosition", "9");
  expectBounds(*f, -10, -4, 0, 0);
  EXPECT_EQ(f->GetRefPosition(), 9);

  auto g = entityAt(0, 0, 10, 4);
  g->SetRefPosition(0);
  g->SetRefPosition(10);
  expectBounds(*g, 0, 0, 10, 4);
}

TEST(RectEntity, AlignmentTextsAndOddAnchors) {
  auto e = entityAt(0, 0, 10, 4);
  e->SetHorizAllign("center");
  EXPECT_EQ(e->GetRelRefX(), 0.5);
  expectBounds(*e, -5, 0, 5, 4);
  e->SetHorizAllign("MIDDLE");
  EXPECT_EQ(e->GetRelRefX(), 0.5);
  e->SetVertAllign("TOP");
  EXPECT_EQ(e->GetVertAllign(), "TOP");
  e->SetRelRefX(0.25);
  EXPECT_EQ(e->GetHorizAllign(), "OTHER");
  EXPECT_EQ(e->GetRefPosition(), 0);
}

TEST(RectEntity, ResizingKeepsTheAnchorAndMovingOnlyTheAnchorKeepsTheRectangle) {
  auto e = entityAt(0, 0, 10, 4);
  e->SetRelRef(0.5, e->GetRelRefY());
  e->SetWidth(20);
  EXPECT_EQ(e->GetMaxX(), 20);
  EXPECT_EQ(e->GetAbsRefX(), 5);
  EXPECT_EQ(e->GetRelRefX(), 0.25);

  auto thin = entityAt(3, 0, 3, 4);
  thin->SetAbsRefX(10);
  EXPECT_EQ(thin->GetRelRefX(), 0);
  expectBounds(*thin, 3, 0, 3, 4);

  auto d = entityAt(0, 0, 10, 4);
  SetPropTextByName(d.get(), "DeltaRefX", "5");
  expectBounds(*d, -5, 0, 5, 4);
  SetPropTextByName(d.get(), "DeltaX", "1");
  expectBounds(*d, -4, 0, 6, 4);
}

TEST(RectEntity, ExtendsByChildrenAndTestsRectangles) {
  TRectEntity parent;
  parent.Add(new T2DCoordinate(3, 3));
  parent.Add(new TRectEntity());
  parent.ExtendByChildren();
  expectBounds(parent, 3, 3, 3, 3);
  parent.AddAndExtend(entityAt(0, 0, 1, 1).release());
  expectBounds(parent, 0, 0, 3, 3);

  TRectEntity lonely;
  lonely.RecalcEnvelope();
  EXPECT_FALSE(lonely.GetIsValid());

  auto e = entityAt(0, 0, 10, 10);
  const TBoundsRecord none = e->IntersectionWith({10, 0, 20, 10});
  EXPECT_EQ(none.MinX, 0);
  EXPECT_EQ(none.MaxX, 0);
  const TBoundsRecord part = e->IntersectionWith({5, 5, 20, 20});
  EXPECT_EQ(part.MinX, 5);
  EXPECT_EQ(part.MaxY, 10);
  EXPECT_TRUE(e->IntersectsRect(10, 10, 11, 11));
  EXPECT_TRUE(e->ContainsPoint(10, 0));
  EXPECT_TRUE(e->ContainsRect(0, 0, 10, 10));
  EXPECT_TRUE(e->IsInsideRect(0, 0, 10, 10));
  EXPECT_EQ(e->GetLongerSide(), 10);
}

TEST(RectEntity, SelectionsTextsAndEnvelopes) {
  TSelectedElement sel;
  EXPECT_EQ(sel.GetSelectName(), "");
  {
    TOwnerEntity target;
    target.SetName("LES");
    sel.SetSelectedElement(&target);
    EXPECT_EQ(sel.GetSelectName(), "LES");
  }
  EXPECT_EQ(sel.GetSelectName(), "");

  TText text;
  text.SetText("Hájek");
  text.SetMinX(0);
  text.SetMinY(0);
  text.SetMaxX(10);
  text.SetMaxY(2);
  std::unique_ptr<TElement> env(text.CreateEnvelope());
  auto* t = dynamic_cast<TText*>(env.get());
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->GetText(), "Hájek");
  EXPECT_EQ(t->GetHeight(), 2);
  EXPECT_EQ(t->GetMaxX(), 10);
}
