#include "geometry/register_object_selector.h"

#include "framework/world.h"
#include "geometry/space_registers.h"

ZELTO_IMPLEMENT_ELEMENT(TRegisterObjectSelector, TTool, [](auto& p) {
  p.String("BlockName", &TRegisterObjectSelector::BlockName, &TRegisterObjectSelector::BlockName);
  p.Integer("ObjectNo", &TRegisterObjectSelector::ObjectNo, &TRegisterObjectSelector::ObjectNo);
  p.String("ObjectType", &TRegisterObjectSelector::ObjectType, &TRegisterObjectSelector::ObjectType);
})

void TRegisterObjectSelector::DoIt() {
  TWorld* world = GetWorld();
  TEntity* model = world ? world->GetObjectModel() : nullptr;
  SetOutput(model ? SelectRegisteredObject(model, BlockName, ObjectType, ObjectNo) : nullptr);
}
