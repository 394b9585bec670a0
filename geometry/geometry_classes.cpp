#include "geometry/geometry_classes.h"

#include "framework/class_registry.h"
#include "geometry/area_element.h"
#include "geometry/line_end_cells.h"
#include "geometry/network_node.h"
#include "geometry/page_projection.h"
#include "geometry/qtree.h"
#include "geometry/register_object_selector.h"
#include "geometry/space_registers.h"

void RegisterGeometryClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  for (const TElementClass* cls : {
           &TSpaceEntity::StaticClass(), &TPointElement::StaticClass(),
           &TPointString::StaticClass(), &TTextElement::StaticClass(),
           &TTextString::StaticClass(), &TPolyElement::StaticClass(),
           &TPolyLineElement::StaticClass(), &TPolyLineString::StaticClass(),
           &TAreaElement::StaticClass(), &TAreaString::StaticClass(),
           &TPolyLineAreaElement::StaticClass(), &TSpaceLineBegEndCell::StaticClass(),
           &THolesEntity::StaticClass(), &TQTree::StaticClass(),
           &TSpaceEntityQTree::StaticClass(), &TNode::StaticClass(),
           &TNodeBranch::StaticClass(), &TBlockRegister::StaticClass(),
           &TRegister::StaticClass(), &T_Page::StaticClass(), &TPageProjection::StaticClass(),
           &TRegisterObjectSelector::StaticClass()})
    RegisterZeltoClass(*cls);
}
