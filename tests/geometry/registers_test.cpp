#include <gtest/gtest.h>

#include <memory>

#include "framework/class_registry.h"
#include "framework/zelto_message.h"
#include "geometry/area_element.h"
#include "geometry/space_entity_props.h"
#include "geometry/register_object_selector.h"
#include "geometry/space_registers.h"
#include "framework/world.h"

namespace {

// A record whose number is fixed at creation, as the block records answer theirs.
class NumberedProps : public TSpaceEntityProps {
  ZELTO_ELEMENT(NumberedProps)
 public:
  std::int32_t GetSpaceID() override { return Number; }
  std::int32_t Number = -1;
};
ZELTO_IMPLEMENT_ELEMENT(NumberedProps, TSpaceEntityProps, [](auto& p) {
  p.Integer("Number", &NumberedProps::Number, &NumberedProps::Number);
})

// A record owning a start point, freed with it.
class PointProps : public TSpaceEntityProps {
  ZELTO_ELEMENT(PointProps)
 public:
  ~PointProps() override { delete StartPoint; }
  T2DCoordinate* StartPoint = nullptr;

 protected:
  bool OwnsObjectProperty(const TPropInfo& info) const override { return info.Name == "StartPoint"; }
};
ZELTO_IMPLEMENT_ELEMENT(PointProps, TSpaceEntityProps, [](auto& p) {
  p.Object("StartPoint", T2DCoordinate::StaticClass(), &PointProps::StartPoint, &PointProps::StartPoint);
})

TSpaceEntity* numbered(TSpaceEntity* e, std::int32_t number) {
  auto* props = new NumberedProps;
  props->Number = number;
  e->SetProperties(props);
  return e;
}

struct Block {
  TRegister reg;
  TBlockRegister* block = new TBlockRegister;
  TPolyLineString keep;  // the entities' other owner
  Block() {
    block->SetName("Les");
    reg.Add(block);
  }
  TSpaceEntity* file(TSpaceEntity* e, std::int32_t number) {
    keep.Add(numbered(e, number));
    block->Register(e);
    return e;
  }
};

}  // namespace

TEST(Registers, PositionsEqualNumbers) {
  Block b;
  TSpaceEntity* seven = b.file(new TPolyLineElement, 7);
  TSpaceEntity* two = b.file(new TPolyLineElement, 2);
  TObjectRegister* lines = b.block->GetObjectRegister('L');
  EXPECT_EQ(lines->GetCount(), 8);
  auto* props = static_cast<TSpaceEntityProps*>(two->GetProperties());
  EXPECT_EQ(props->GetOrigNo(), 2);
  EXPECT_EQ(props->GetBlockName(), "Les");
  EXPECT_EQ(props->GetBlockRegister(), b.block);
  EXPECT_EQ(b.block->FindObject('L', 7), seven);
  EXPECT_EQ(b.block->FindObject('L', 0), nullptr);
  EXPECT_EQ(b.block->FindObject('P', 7), nullptr);
  EXPECT_EQ(b.reg.FindBlock("LES"), b.block);
  b.file(new TAreaElement, 500001);  // out of range: not filed
  EXPECT_EQ(b.block->GetObjectRegister('P')->GetCount(), 0);
}

TEST(Registers, SharedNumbersAndFreeObjectKeepsTheOwner) {
  Block b;
  TSpaceEntity* first = b.file(new TPointElement, 3);
  TSpaceEntity* second = b.file(new TPointElement, 3);
  EXPECT_EQ(b.block->FindObject('B', 3), first);
  auto* firstProps = static_cast<TSpaceEntityProps*>(first->GetProperties());
  auto* secondProps = static_cast<TSpaceEntityProps*>(second->GetProperties());
  EXPECT_EQ(secondProps->GetMasterProps(), firstProps);
  EXPECT_EQ(firstProps->GetMasterProps(), firstProps);
  TObjectRegister* points = b.block->GetObjectRegister('B');
  TElement* owner = points->GetItem(3);
  b.block->FreeObject('B', 3);
  EXPECT_EQ(points->GetItem(3), owner);
  EXPECT_EQ(b.block->FindObject('B', 3), nullptr);
  TSpaceEntity* again = b.file(new TPointElement, 3);
  EXPECT_EQ(points->GetItem(3), owner);
  EXPECT_EQ(b.block->FindObject('B', 3), again);

  // A split piece joins the owner and so carries the object's number.
  auto* piece = new TPointElement;
  b.keep.Add(piece);
  TZeltoMessage message(zelto::msg::LineSplit, piece, owner, again);
  TZeltoMessage* msg = &message;
  bool handled = false;
  owner->HandleMessage(msg, handled);
  EXPECT_EQ(static_cast<TEntity*>(owner)->GetItem(1), piece);
}

TEST(Registers, SelectorsPickFromTheWorldsObjectModelAndNeedAKindLetter) {
  TWorld world;
  TWorld* previous = GetWorld();
  SetWorld(&world);
  auto* reg = new TRegister;
  world.GetObjectModel()->Add(reg);
  auto* block = new TBlockRegister;
  block->SetName("B1");
  reg->Add(block);
  TPolyLineString keep;
  auto* line = new TPolyLineElement;
  keep.Add(numbered(line, 7));
  block->Register(line);
  auto* model = world.GetObjectModel();
  EXPECT_EQ(SelectRegisteredObject(model, "b1", "L", 7), line);
  EXPECT_EQ(SelectRegisteredObject(model, "b1", "", 7), nullptr);
  EXPECT_EQ(SelectRegisteredObject(model, "b2", "L", 7), nullptr);

  TRegisterObjectSelector selector;
  selector.SetPropertyText("BlockName", "B1");
  selector.SetPropertyText("ObjectType", "Line");
  selector.SetPropertyText("ObjectNo", "7");
  selector.DoIt();
  EXPECT_EQ(selector.Output(), line);
  selector.SetPropertyText("ObjectNo", "8");
  selector.DoIt();
  EXPECT_EQ(selector.Output(), nullptr);
  SetWorld(previous);
}

TEST(Registers, GetBlockCreatesByClassNameKeepingTheCase) {
  RegisterZeltoClass(TBlockRegister::StaticClass());
  RegisterZeltoClass(TPointElement::StaticClass());
  TRegister reg;
  TBlockRegister* block = reg.GetBlock("MyBlock", "TBlockRegister");
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block->GetName(), "MyBlock");
  EXPECT_EQ(reg.GetBlock("MYBLOCK", "TBlockRegister"), block);
  EXPECT_EQ(reg.GetBlock("Other", "TPointElement"), nullptr);
  EXPECT_EQ(reg.GetCount(), 1);
}

TEST(AttributeRecord, UnfiledRecordAndCloneOwnsItsObjects) {
  TSpaceEntityProps bare;
  EXPECT_EQ(bare.GetOrigNo(), -1);
  EXPECT_EQ(bare.GetObjectRegister(), nullptr);
  EXPECT_EQ(bare.GetBlockName(), "");
  EXPECT_TRUE(bare.HasProperty("IsDone"));
  EXPECT_FALSE(bare.HasProperty("Druh"));
  bare.IsDone = true;
  std::unique_ptr<TSpaceEntityProps> copy(bare.Clone());
  EXPECT_TRUE(copy->IsDone);

  TPointElement source;
  auto* props = new PointProps;
  props->StartPoint = new T2DCoordinate(3, 4);
  source.SetProperties(props);
  TPointElement target;
  target.AssignSpace(source);
  auto* cloned = static_cast<PointProps*>(target.GetProperties());
  ASSERT_NE(cloned, nullptr);
  EXPECT_EQ(cloned->SpaceEntity, &target);
  ASSERT_NE(cloned->StartPoint, props->StartPoint);  // freed once each
  EXPECT_EQ(cloned->StartPoint->X, 3);
  EXPECT_EQ(cloned->StartPoint->Y, 4);
}
