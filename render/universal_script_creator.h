#pragma once
// Builds the standard interpret script with which the viewer and the
// application draw every model: each kind of map object is filed under the
// renderer that draws it. DoIt leaves a new TInterpretScript as the output;
// the caller takes it.
//
// The renderers are found by class name in the registry, so that the script
// is as complete as the libraries linked in: a class that is not registered
// gets no node, a renderer that is not registered leaves its node without
// interpret (its objects are not drawn, their children are entered).
#include "framework/tool.h"

class TUniversalGelixScriptCreator : public TTool {
  ZELTO_ELEMENT(TUniversalGelixScriptCreator)
 public:
  void DoIt() override;
};

void RegisterUniversalScriptCreatorClasses();
