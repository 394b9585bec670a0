#include "framework/service_classes.h"

#include "framework/directory_element.h"
#include "framework/dynamic_properties.h"
#include "framework/memory_element.h"
#include "framework/timer_elements.h"
#include "framework/entity.h"
#include "framework/model_loader.h"
#include "framework/rect_entity.h"
#include "framework/recursor.h"
#include "framework/system_register.h"
#include "framework/technology.h"
#include "framework/type_elements.h"
#include "framework/world.h"

void RegisterFrameworkServiceClasses() {
  RegisterElementClasses();
  RegisterRectEntityClasses();
  RegisterTypeElementClasses();
  RegisterDynamicPropertiesClasses();
  RegisterModelClasses();
  RegisterToolClasses();
  RegisterRecursorClasses();
  RegisterWorldClasses();
  RegisterLoaderClasses();
  RegisterFileElementClasses();
  RegisterMemoryClasses();
  RegisterTimerClasses();
}
