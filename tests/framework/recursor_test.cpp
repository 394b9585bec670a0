#include "framework/recursor.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Notes each visit with the level it happened at.
class TTracer : public TRecursor {
  ZELTO_ELEMENT(TTracer)
 public:
  std::string trace;
  bool QProcessBefore(TElement*) override { return true; }
  bool QProcessAfter(TElement*) override { return true; }
  void Process(TElement* e) override { trace += e->GetName() + std::to_string(Level) + " "; }
};

// Leaves an output only for entities whose name does not start with 'x'.
class TGate : public TTool {
  ZELTO_ELEMENT(TGate)
 public:
  void DoIt() override { SetOutput(Input() && Input()->GetName()[0] != 'x' ? Input() : nullptr); }
};

class TNameCollector : public TTool {
  ZELTO_ELEMENT(TNameCollector)
 public:
  std::string names;
  void DoIt() override { names += Input()->GetName() + " "; }
};

TOwnerEntity* named(const std::string& name) {
  auto* e = new TOwnerEntity();
  e->SetName(name);
  return e;
}

}  // namespace

ZELTO_IMPLEMENT_ELEMENT(TTracer, TRecursor, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TGate, TTool, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TNameCollector, TTool, ZELTO_NO_PROPERTIES)

TEST(Recursor, WalksDepthFirstWithLevels) {
  TOwnerEntity root;
  root.SetName("r");
  TOwnerEntity* a = named("a");
  a->Add(named("b"));
  root.Add(a);
  TTracer walk;
  walk.SetInput(&root);
  walk.DoIt();
  EXPECT_EQ(walk.trace, "r1 a2 b3 b3 a2 r1 ");
  EXPECT_EQ(walk.Level, 1);

  TTracer flat;
  flat.NotInside = true;
  flat.SetInput(&root);
  flat.DoIt();
  EXPECT_EQ(flat.trace, "r1 r1 ");

  TNameElement leaf;
  leaf.SetName("leaf");
  TTracer single;
  single.SetInput(&leaf);
  single.DoIt();
  EXPECT_EQ(single.trace, "leaf1 leaf1 ");
}

TEST(Recursor, ToolsDecideWhereToGoAndDoTheWork) {
  TOwnerEntity root;
  root.SetName("r");
  TOwnerEntity* open = named("open");
  open->Add(named("inner"));
  TOwnerEntity* closed = named("xclosed");
  closed->Add(named("hidden"));
  root.Add(open);
  root.Add(closed);

  TRecursorWithTools walk;
  TGate gate;
  TNameCollector before;
  walk.SetQGoInsideTool(&gate);
  walk.SetBeforeTool(&before);
  walk.SetInput(&root);
  walk.DoIt();
  EXPECT_EQ(before.names, "r open inner xclosed ");

  walk.SetQGoInsideTool(nullptr);
  before.names.clear();
  walk.DoIt();
  EXPECT_EQ(before.names, "r open inner xclosed hidden ");
}
