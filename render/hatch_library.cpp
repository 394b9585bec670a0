#include "render/hatch_library.h"

#include <memory>

#include "framework/class_registry.h"
#include "render/area_symbol.h"
#include "render/device.h"
#include "render/hatch_reader.h"

ZELTO_IMPLEMENT_ELEMENT(TPlosneZnacky, TNameEntity, ZELTO_NO_PROPERTIES)

TPlosnaZnacka* TPlosneZnacky::FindSymbol(std::int32_t code) {
  for (TElement* e : Items())
    if (e->Is<TPlosnaZnacka>() && static_cast<TPlosnaZnacka*>(e)->Kod == code)
      return static_cast<TPlosnaZnacka*>(e);
  return LoadSymbol(code);
}

TPlosnaZnacka* TPlosneZnacky::LoadSymbol(std::int32_t code) {
  if (!device_ || missing_.count(code)) return nullptr;
  bool ok = false;
  TCteniPlosnychZnacek reader(GetName(), *device_, ok);
  if (!ok) return nullptr;
  TPlosnaZnacka* symbol = reader.ReadSymbol(code);
  if (!symbol) {
    missing_.insert(code);
    return nullptr;
  }
  Add(symbol);
  return symbol;
}

void RegisterHatchClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  for (const TElementClass* cls :
       {&TPlosnaZnacka::StaticClass(), &TSrafa::StaticClass(), &TPlosneZnacky::StaticClass()})
    RegisterZeltoClass(*cls);
}
