#include "areas/node_area_classes.h"

#include "areas/area_builders.h"
#include "areas/area_line_relations.h"
#include "areas/leaf_walkers.h"
#include "areas/node_builders.h"
#include "areas/node_connectors.h"
#include "areas/sub_area_maker.h"
#include "framework/class_registry.h"

void RegisterNodeAreaClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  for (const TElementClass* cls :
       {&TProchazecListuQTree::StaticClass(), &TPutLinesIntoNodes::StaticClass(), &TPutNodesIntoQTree::StaticClass(),
        &TNodesConector::StaticClass(), &TDeleteDirectRelationsToLinesInQTree::StaticClass(),
        &TCreateAreaForBranch::StaticClass(), &TCreateAreasForQTree::StaticClass(),
        &TSubAreaMakerInQTree::StaticClass()})
    if (!FindZeltoClass(cls->ClassName())) RegisterZeltoClass(*cls);
}
