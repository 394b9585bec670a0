#include "render/universal_script_creator.h"

#include <gtest/gtest.h>

#include <memory>

#include "framework/rect_entity.h"
#include "geometry/area_element.h"
#include "geometry/geometry_classes.h"
#include "geometry/space_entity.h"
#include "render/interpret_script.h"
#include "render/render_classes.h"

namespace {
std::unique_ptr<TInterpretScript> build() {
  TUniversalGelixScriptCreator creator;
  creator.DoIt();
  return std::unique_ptr<TInterpretScript>(static_cast<TInterpretScript*>(creator.Output()));
}

TISClass* node(TISInstances* rules, const std::string& className) {
  for (TElement* e : rules->Items())
    if (e->Is<TISClass>() && static_cast<TISClass*>(e)->GetElementClassName() == className)
      return static_cast<TISClass*>(e);
  return nullptr;
}
}  // namespace

TEST(UniversalScriptCreator, FilesTheMapObjectsUnderTheRectEntityNodeInOnePass) {
  RegisterRectEntityClasses();
  RegisterGeometryClasses();
  RegisterRenderClasses();
  std::unique_ptr<TInterpretScript> script = build();
  ASSERT_TRUE(script);
  EXPECT_EQ(script->GetName(), "Interpret Script");
  ASSERT_EQ(script->GetPassesCount(), 1);
  EXPECT_EQ(script->GetItem(0)->GetName(), "Pass 0");
  TISClass* rect = node(script->GetRules(), "TRectEntity");
  ASSERT_TRUE(rect);
  EXPECT_EQ(rect->GetInterpret(), nullptr);
  for (const char* name : {"TTextElement", "TTextString", "TPointElement", "TPointString", "TAreaElement",
                           "TAreaString", "TPolyLineElement", "TPolyLineString"})
    EXPECT_TRUE(node(rect->GetRules(), name)) << name;

  // One renderer draws single areas and area strings alike; a plain space
  // entity is entered but not drawn.
  TAreaElement area;
  TAreaString areas;
  TSpaceEntity entity;
  ASSERT_NE(script->InterpretFor(&area), nullptr);
  EXPECT_EQ(script->InterpretFor(&area)->ClassName(), "TInterpretGlxPloch");
  EXPECT_EQ(script->InterpretFor(&area), script->InterpretFor(&areas));
  EXPECT_EQ(script->InterpretFor(&entity), nullptr);
  TISClass* desktop = node(rect->GetRules(), "TDesktop");
  ASSERT_TRUE(desktop);
  EXPECT_EQ(desktop->GetInterpret()->ClassName(), "TDesktopInterpret");
}
