#include "gisblock/gelix_classes.h"

#include "framework/class_registry.h"
#include "framework/entity.h"
#include "geometry/geometry_classes.h"
#include "gisblock/gelix_props.h"
#include "gisblock/gisblock_classes.h"
#include "gisblock/gelix_registers.h"
#include "gisblock/import_source.h"

void RegisterGelixClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterElementClasses();
  RegisterGeometryClasses();
  RegisterGisblockClasses();
  for (const TElementClass* cls :
       {&TGelixProps::StaticClass(), &TGelixPointProps::StaticClass(), &TGelixTextProps::StaticClass(),
        &TGelixAreaProps::StaticClass(), &TGelixLineProps::StaticClass(),
        &TGelixObjectOwner::StaticClass(), &TGelixObjectRegister::StaticClass(),
        &TGelixBlockRegister::StaticClass(), &TImportSourceNode::StaticClass(),
        &TImportSource::StaticClass(), &TGeliXImportBlocks::StaticClass(),
        &TGeliXImportLibraries::StaticClass(), &TGeliXImportRasters::StaticClass(),
        &TGeliXImportSource::StaticClass()})
    RegisterZeltoClass(*cls);
}
