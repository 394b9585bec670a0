#include "render/universal_script_creator.h"

#include <initializer_list>

#include "framework/class_registry.h"
#include "render/interpret_script.h"

ZELTO_IMPLEMENT_ELEMENT(TUniversalGelixScriptCreator, TTool, ZELTO_NO_PROPERTIES)

namespace {
TInterpret* newInterpret(const char* name) {
  const TElementClass* cls = FindZeltoClass(name);
  if (!cls || !cls->InheritsFrom(TInterpret::StaticClass())) return nullptr;
  return static_cast<TInterpret*>(cls->Create());
}

// Files a node for every registered class of the group, all sharing one
// interpret; the interpret is freed when no node took it.
void fileGroup(TInterpretScript& script, std::initializer_list<const char*> classes, const char* interpretName) {
  TInterpret* interpret = interpretName ? newInterpret(interpretName) : nullptr;
  bool taken = false;
  for (const char* className : classes) {
    const TElementClass* cls = FindZeltoClass(className);
    if (!cls) continue;
    auto* node = new TISClass;
    node->SetElementClass(cls);
    node->SetInterpret(interpret);
    script.AddClassNode(node);
    taken = true;
  }
  if (!taken) delete interpret;
}
}  // namespace

void TUniversalGelixScriptCreator::DoIt() {
  TTool::DoIt();
  auto* script = new TInterpretScript;
  fileGroup(*script, {"TRectEntity"}, nullptr);
  fileGroup(*script, {"TCross"}, "TInterpretKrizku");
  fileGroup(*script, {"TLines"}, "TLinesInterpret");
  fileGroup(*script, {"TTextElement", "TTextString"}, "TInterpretGlxTextu");
  fileGroup(*script, {"TPointElement", "TPointString"}, "TInterpretGlxBodu");
  fileGroup(*script, {"TAreaElement", "TAreaString"}, "TInterpretGlxPloch");
  fileGroup(*script, {"TPolyLineElement", "TPolyLineString"}, "TInterpretGlxLinii");
  fileGroup(*script, {"TDesktop"}, "TDesktopInterpret");
  fileGroup(*script, {"TSMO_5"}, "TSMO_Interpret");
  SetOutput(script);
}

void RegisterUniversalScriptCreatorClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterZeltoClass(TUniversalGelixScriptCreator::StaticClass());
}
