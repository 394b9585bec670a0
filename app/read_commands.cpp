// The read commands of the main tool: a district's DET block loaded through
// a model script, and the forest hierarchy built over it.
#include "app/main_form.h"
#include "app/main_tool.h"
#include "areas/forest_space_unit.h"
#include "framework/type_elements.h"
#include "framework/world.h"
#include "geometry/space_entity.h"
#include "platform/user_interaction.h"
#include "render/interpret_layer.h"
#include "render/layer_script.h"
#include "render/model_by_script_creator.h"

namespace {
void enableAreaExports(TMainForm& form, bool on) {
  for (QPushButton* b : {form.btExpPlochPSk, form.btExpDil, form.btExpZRO, form.btExpOdd, form.btExpRev,
                         form.btExpBezLes, form.btExpOstatni, form.btExpJP, form.btVse})
    b->setEnabled(on);
}
void enableLineExports(TMainForm& form, bool on) {
  for (QPushButton* b : {form.btExportCest, form.btExportPruseku, form.btExportVod}) b->setEnabled(on);
}
}  // namespace

void TMainTool::ReplaceObjectModel() {
  // The hierarchy and the subject die with the model; forgetting them here
  // keeps a later export from reaching into an ended hierarchy.
  subject_.Set(nullptr);
  forestRoot_.Set(nullptr);
  GetWorld()->SetObjectModel(nullptr);
}

void TMainTool::ReadDistrict() {
  TMainForm* form = MainForm();
  if (!form) return;
  ReplaceObjectModel();
  enableLineExports(*form, false);
  enableAreaExports(*form, false);
  if (!form->DET->isChecked()) return;

  const std::string directory = form->Directory();
  const std::string block = directory + "\\DET.BLK";
  auto* script = new TModelScript;
  auto* layer = new TLayerScript;
  layer->SetName("ARE");
  layer->Description = block;
  layer->Add(TStringElement::CreateNamed(TPathElement::StaticClass(), "PATH", block));
  layer->AddToPropertyList(TStringElement::CreateNamed("@USECOLOR", "TRUE"));
  layer->AddToPropertyList(TStringElement::CreateNamed("@COLOR", "$FFFF"));
  script->Add(layer);
  TObjectModel* model = GetWorld()->GetObjectModel();
  model->Add(script);
  dataDirectory_ = directory;

  {
    TModelByScriptCreator creator;
    creator.SetInput(script);
    creator.DoIt();
    subject_.Set(creator.Output());
  }
  if (TElement* subject = SubjectOfInterest()) {
    model->Add(subject);
    enableAreaExports(*form, true);
  }
  BuildForestHierarchy();
  platform::ui().beep();
}

void TMainTool::BuildForestHierarchy() {
  auto* subject = dynamic_cast<TEntity*>(SubjectOfInterest());
  TElement* block = nullptr;
  if (subject) {
    block = subject->FindElementByClass<TSpaceEntity>();
    if (!block) block = subject->FindElementByClass<TInterpretLayer>();
  }
  if (!block) {
    platform::ui().showMessage("Není nalezen blok", platform::MessageKind::Information);
    return;
  }
  TTool* hierarchy = FindToolByName("Vytvoř lesnickou hierarchii");
  if (!hierarchy) return;
  hierarchy->SetInput(block);
  hierarchy->DoIt();
  forestRoot_.Set(dynamic_cast<TForestSpaceUnit*>(hierarchy->Output()));
  SelectLinesIntoHierarchy();
}

void TMainTool::SelectLinesIntoHierarchy() {
  TTool* select = FindToolByName("Výběr linií do hierarchie");
  if (!select || !ForestRoot()) return;
  select->SetInput(ForestRoot());
  select->DoIt();
}

void TMainTool::ExploreSubjectOfInterest() {
  if (!SubjectOfInterest()) {
    ShowError("Není načten předmět zájmu");
    return;
  }
  NotAvailable("ExploreSubjectOfInterest");
}
