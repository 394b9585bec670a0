#include "render/render_classes.h"

#include "framework/class_registry.h"
#include "render/bitmap_device.h"
#include "render/border_buffer.h"
#include "render/device.h"
#include "render/hatch_library.h"
#include "render/interpret_layer.h"
#include "render/symbol_elements.h"
#include "render/text_file_device.h"
#include "render/tile_device.h"
#include "render/model_by_script_creator.h"
#include "render/line_symbols.h"
#include "render/parallel_line.h"
#include "render/point_symbols.h"
#include "render/stroke_font.h"
#include "render/universal_interpret.h"
#include "render/universal_script_creator.h"
#include "render/text_block.h"
#include "render/desktop.h"
#include "render/map_frame.h"
#include "render/map_sheets.h"
#include "render/base_map_sheets.h"
#include "render/sheet_grids.h"
#include "render/desktop_interprets.h"
#include "render/gelix_line_area_interprets.h"
#include "render/gelix_point_text_interprets.h"

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
  RegisterUniversalInterpretClasses();
  RegisterUniversalScriptCreatorClasses();
  RegisterModelByScriptClasses();
  RegisterHatchClasses();
  RegisterStrokeFontClasses();
  RegisterPointSymbolClasses();
  RegisterLineSymbolClasses();
  RegisterZeltoClass(TParalel::StaticClass());
  RegisterPageItemClasses();
  RegisterDesktopClasses();
  RegisterMapFrameClasses();
  RegisterMapSheetClasses();
  RegisterBaseMapClasses();
  RegisterSheetGridClasses();
  for (const TElementClass* cls : {&TInterpretGlxObject::StaticClass(), &TInterpretGlxBodu::StaticClass(),
                                   &TInterpretGlxTextu::StaticClass(), &TInterpretGlxLinii::StaticClass(),
                                   &TInterpretGlxPloch::StaticClass()})
    RegisterZeltoClass(*cls);
  RegisterDesktopInterpretClasses();
}
