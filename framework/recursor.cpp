#include "framework/recursor.h"

#include "framework/class_registry.h"

ZELTO_IMPLEMENT_ELEMENT(TRecursor, TTechnology, [](auto& p) {
  p.Boolean("NotInside", &TRecursor::NotInside, &TRecursor::NotInside);
  p.Integer("Level", &TRecursor::Level, &TRecursor::Level);
})

ZELTO_IMPLEMENT_ELEMENT(TRecursorWithTools, TRecursor, [](auto& p) {
  using E = TRecursorWithTools;
  p.Object("BeforeTool", TTool::StaticClass(), &E::BeforeTool, &E::BeforeTool);
  p.Object("AfterTool", TTool::StaticClass(), &E::AfterTool, &E::AfterTool);
  p.Object("QGoInsideTool", TTool::StaticClass(), &E::QGoInsideTool, &E::QGoInsideTool);
})

bool TRecursor::QGoInside(TElement* element) { return dynamic_cast<TEntity*>(element) != nullptr; }

void TRecursor::DoIt() {
  Level = 1;
  TElement* input = Input();
  if (!input) return;
  BeforeWalk();
  Visit(input);
}

void TRecursor::Visit(TElement* element) {
  if (QProcessBefore(element)) Process(element);
  if (QGoInside(element)) Recurse(element);
  if (QProcessAfter(element)) Process(element);
}

void TRecursor::Recurse(TElement* element) {
  auto* entity = dynamic_cast<TEntity*>(element);
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
  if (!dynamic_cast<TEntity*>(element) || !QGoInsideTool) return true;
  QGoInsideTool->SetInput(element);
  QGoInsideTool->DoIt();
  return QGoInsideTool->Output() != nullptr;
}

bool TRecursorWithTools::QProcessBefore(TElement* element) {
  if (BeforeTool) {
    BeforeTool->SetInput(element);
    BeforeTool->DoIt();
  }
  return false;
}

bool TRecursorWithTools::QProcessAfter(TElement* element) {
  if (AfterTool) {
    AfterTool->SetInput(element);
    AfterTool->DoIt();
  }
  return false;
}

void RegisterRecursorClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterZeltoClass(TRecursorWithTools::StaticClass());
}
