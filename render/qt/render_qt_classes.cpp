#include "render/qt/render_qt_classes.h"

#include "framework/class_registry.h"
#include "render/qt/memo_form_device.h"
#include "render/qt/print_device.h"
#include "render/render_classes.h"

void RegisterRenderQtClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterRenderClasses();
  RegisterZeltoClass(TPrintDevice::StaticClass());
  RegisterZeltoClass(TMemoFormDevice::StaticClass());
}
