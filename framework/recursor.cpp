#include "framework/recursor.h"

#include "framework/class_registry.h"

ZELTO_IMPLEMENT_ELEMENT(TRecursor, TTechnology, [](auto& p) {
  p.Boolean("NotInside", &TRecursor::NotInside, &TRecursor::NotInside);
  p.Integer("Level", &TRecursor::Level, &TRecursor::Level);
})

ZELTO_IMPLEMENT_ELEMENT(TRecursorWithTools, TRecursor, [](auto& p) {
  using E = TRecursorWithTools;
  p.Object("BeforeTool", TTool::StaticClass(), &E::BeforeTool, &E::SetBeforeTool);
  p.Object("AfterTool", TTool::StaticClass(), &E::AfterTool, &E::SetAfterTool);
  p.Object("QGoInsideTool", TTool::StaticClass(), &E::QGoInsideTool, &E::SetQGoInsideTool);
})

bool TRecursor::QGoInside(TElement* element) { return dynamic_cast<TEntity*>(element) != nullptr; }

void TRecursor::DoIt() { Walk(Input()); }

void TRecursor::Walk(TElement* root) {
  Level = 1;
  if (!root) return;
  BeforeWalk();
  Visit(root);
}

void TRecursor::Visit(TElement* element) {
  if (QProcessBefore(element)) Process(element);
  if (QGoInside(element)) Recurse(element);
  if (QProcessAfter(element)) Process(element);
}

void TRecursor::Recurse(TElement* element) {
  // The class chain answers for every element of a walk, and faster than a
  // dynamic_cast.
  auto* entity = element && element->Is<TEntity>() ? static_cast<TEntity*>(element) : nullptr;
  if (NotInside || !entity) return;
  ++Level;
  const int count = entity->GetCount();
  for (int i = 0; i < count; ++i) {
    TElement* child = entity->GetItem(i);
    if (child) Visit(child);
  }
  --Level;
}

bool TRecursorWithTools::QGoInside(TElement* element) {
  TTool* tool = QGoInsideTool();
  if (!dynamic_cast<TEntity*>(element) || !tool) return true;
  tool->SetInput(element);
  tool->DoIt();
  return tool->Output() != nullptr;
}

bool TRecursorWithTools::QProcessBefore(TElement* element) {
  if (TTool* tool = BeforeTool()) {
    tool->SetInput(element);
    tool->DoIt();
  }
  return false;
}

bool TRecursorWithTools::QProcessAfter(TElement* element) {
  if (TTool* tool = AfterTool()) {
    tool->SetInput(element);
    tool->DoIt();
  }
  return false;
}

void RegisterRecursorClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterZeltoClass(TRecursorWithTools::StaticClass());
}
