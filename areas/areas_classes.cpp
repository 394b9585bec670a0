#include "areas/areas_classes.h"

#include "areas/area_point_placer.h"
#include "areas/area_walkers.h"
#include "areas/export_classes.h"
#include "areas/forest_hierarchy.h"
#include "areas/leaf_walkers.h"
#include "areas/line_end_readers.h"
#include "areas/line_joining.h"
#include "areas/node_area_classes.h"
#include "areas/node_area_drivers.h"
#include "framework/class_registry.h"

void RegisterAreasClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  for (const TElementClass* cls :
       {&TProchazecObjektu::StaticClass(), &TProchazecLinii::StaticClass(), &TOznacLinie::StaticClass(),
        &TProchazecLiniiGauge::StaticClass(), &TProchazecLiniiDleTridy::StaticClass(),
        &THledacLinii::StaticClass(), &TNacitacLinii::StaticClass(), &TReadLinesIntoQTree::StaticClass(),
        &TReadLinesIntoQTreeDleTridy::StaticClass(), &TProchazecPloch::StaticClass(),
        &TOznacPlochy::StaticClass(), &TProchazecPlochGauge::StaticClass(), &THledacPloch::StaticClass(),
        &TProchazecListuQTree::StaticClass(), &TProchazecListuQTreeGauge::StaticClass()})
    RegisterZeltoClass(*cls);
  RegisterForestHierarchyClasses();
  RegisterAreaPointPlacerClasses();
  RegisterNodeAreaClasses();
  RegisterExportClasses();
  RegisterLineJoinClasses();
  RegisterNodeAreaDriverClasses();
}
