// The show and browse commands of the main tool: a viewer, a model browser
// or a property window on any element, each staying open as one of the main tool's
// tools until its window closes.
#include "app/main_tool.h"
#include "framework/tool.h"
#include "render/canvas.h"
#include "render/interpret_script.h"
#include "render/universal_script_creator.h"
#include "viewer/model_browser.h"
#include "viewer/property_editor.h"
#include "viewer/selectors.h"
#include "viewer/tool_manager.h"

namespace {
// The selectors a user picks objects with from the viewer's Tools menu;
// each shows the record of what it picked.
void AddSelectors(TFormToolManager& viewer) {
  const std::pair<TObjectSelector*, const char*> selectors[] = {
      {new TPointSelector, "Výběr bodu"}, {new TLineSelector, "Výběr linie"}, {new TAreaSelector, "Výběr plochy"}};
  for (auto [selector, name] : selectors) {
    selector->SetName(name);
    selector->ShowProperties = true;
    // Activating it from the menu hands it the viewer's device and input.
    viewer.AppendTool(selector);
  }
}
}  // namespace

void TMainTool::ShowData(TZeltoMessage* message) {
  auto* viewer = new TFormToolManager;
  {
    TUniversalGelixScriptCreator creator;
    creator.DoIt();
    TElement* script = creator.Output();
    creator.SetOutput(nullptr);
    viewer->SetInterpretScript(script);
    // The interpret did not take what is no script.
    if (script && script->IsOrphan()) delete script;
  }
  viewer->SetInput(message ? message->Data() : nullptr);
  viewer->SetPageColor(clWhite);
  AddSelectors(*viewer);
  AppendTool(viewer);
  viewer->DoIt();
}

void TMainTool::ShowProperties(TZeltoMessage* message) {
  TElement* element = message ? message->Data() : nullptr;
  if (!element) return;
  auto* editor = new TObjectPropertyEditor;
  AppendTool(editor);
  editor->SetInput(element);
  editor->DoIt();
}

void TMainTool::ExploreElement(TElement* element, bool owners) {
  // A browser without a root would stay an invisible tool for good.
  if (!element) return;
  auto* explorer = new TExplorer;
  AppendTool(explorer);
  explorer->SetInput(element);
  if (owners) {
    explorer->ShowOwners = true;
    explorer->SetName("Model vlastníků");
    explorer->SetCaption("Model vlastníků");
  }
  explorer->DoIt();
}

void TMainTool::ExploreTree(TZeltoMessage* message) { ExploreElement(message ? message->Data() : nullptr); }
void TMainTool::ExploreFromHere(TZeltoMessage* message) { ExploreElement(message ? message->Data() : nullptr); }
void TMainTool::ExploreOwners(TZeltoMessage* message) { ExploreElement(message ? message->Data() : nullptr, true); }
