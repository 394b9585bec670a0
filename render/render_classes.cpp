#include "render/render_classes.h"

#include "framework/class_registry.h"
#include "render/bitmap_device.h"
#include "render/border_buffer.h"
#include "render/device.h"
#include "render/interpret_layer.h"
#include "render/symbol_elements.h"
#include "render/text_file_device.h"
#include "render/tile_device.h"

void RegisterRenderClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  for (const TElementClass* cls : {&TCanvasDevice::StaticClass(), &TBorderBuffer::StaticClass(),
                                   &TBGIBaseElement::StaticClass(), &TRectBGIElement::StaticClass(),
                                   &TBGIText::StaticClass(), &TInterpret::StaticClass(),
                                   &TRectInterpret::StaticClass(), &TInterpretLayer::StaticClass(),
                                   &TInterpretContainer::StaticClass(), &TBitmapDevice::StaticClass(),
                                   &TImageCanvasDevice::StaticClass(), &TTileDevice::StaticClass(), &TTextFileDevice::StaticClass()})
    RegisterZeltoClass(*cls);
}
