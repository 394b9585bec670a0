#include "framework/service_classes.h"

#include "framework/dynamic_properties.h"
#include "framework/entity.h"
#include "framework/rect_entity.h"
#include "framework/system_register.h"
#include "framework/type_elements.h"

void RegisterFrameworkServiceClasses() {
  RegisterElementClasses();
  RegisterRectEntityClasses();
  RegisterTypeElementClasses();
  RegisterDynamicPropertiesClasses();
  RegisterModelClasses();
}
