// The read commands of the main tool: a district's DET block, or the lines
// of an LHC's blocks, loaded through a model script, and the forest
// hierarchy built over a district.
#include <filesystem>

#include "app/main_form.h"
#include "app/main_tool.h"
#include "areas/forest_space_unit.h"
#include "framework/settings.h"
#include "framework/type_elements.h"
#include "framework/world.h"
#include "geometry/space_entity.h"
#include "platform/path_resolver.h"
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

TLayerScript* layerScript(const std::string& kind, const std::string& block) {
  auto* layer = new TLayerScript;
  layer->SetName(kind);
  layer->Description = block;
  layer->Add(TStringElement::CreateNamed(TPathElement::StaticClass(), "PATH", block));
  return layer;
}

// A line layer of the block when it exists, reading the kinds of that key.
void addLineLayer(TModelScript& script, const std::string& block, const char* kindsKey, const char* kindsDefault) {
  if (!std::filesystem::is_directory(platform::pathResolver().existing(block))) return;
  TLayerScript* layer = layerScript("LIN", block);
  layer->AddToPropertyList(TStringElement::CreateNamed("!DRUH", ReadIniString("EXPORT", kindsKey, kindsDefault)));
  script.Add(layer);
}

constexpr const char* kCesKinds = "350,352,353,354,10245,10280,10281,10325,10340,10341,10380,10381";
constexpr const char* kDetKinds = "21, 22, 25, 26, 35, 433";
constexpr const char* kSluKinds = "21, 22, 25, 26, 35, 433";

std::string parentDirectory(std::string path) {
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  const auto cut = path.find_last_of('\\');
  if (cut == std::string::npos) return path;
  std::string parent = path.substr(0, cut);
  if (parent.size() == 2 && parent[1] == ':') parent += '\\';
  return parent;
}
}  // namespace

void TMainTool::ReadLhcLines() {
  TMainForm* form = MainForm();
  if (!form) return;
  ReplaceObjectModel();
  enableLineExports(*form, false);
  enableAreaExports(*form, false);
  std::string lhc = parentDirectory(form->Directory());
  if (lhc.size() > 3 && lhc.back() == '\\') lhc.pop_back();
  dataDirectory_ = lhc;

  auto* script = new TModelScript;
  TObjectModel* model = GetWorld()->GetObjectModel();
  model->Add(script);
  std::error_code ec;
  std::filesystem::directory_iterator listing(platform::pathResolver().existing(lhc), ec);
  if (ec || listing == std::filesystem::directory_iterator()) return;
  const std::string prefix = lhc.ends_with('\\') ? lhc : lhc + "\\";
  addLineLayer(*script, prefix + "CES.BLK", "VYBLINCES", kCesKinds);
  for (; listing != std::filesystem::directory_iterator(); listing.increment(ec)) {
    if (ec) break;
    const std::string entry = prefix + listing->path().filename().string();
    addLineLayer(*script, entry + "\\DET.BLK", "VYBLINDET", kDetKinds);
    addLineLayer(*script, entry + "\\SLU.BLK", "VYBLINSLU", kSluKinds);
    addLineLayer(*script, entry + "\\CES.BLK", "VYBLINCES", kCesKinds);
  }
  {
    TModelByScriptCreator creator;
    creator.SetInput(script);
    creator.DoIt();
    subject_.Set(creator.Output());
  }
  if (TElement* subject = SubjectOfInterest()) {
    model->Add(subject);
    enableLineExports(*form, true);
  }
}

void TMainTool::LoadLineBlock(const std::string& block) {
  if (!std::filesystem::is_directory(platform::pathResolver().existing(block))) return;
  auto* script = new TModelScript;
  script->Add(layerScript("LIN", block));
  TObjectModel* model = GetWorld()->GetObjectModel();
  model->Add(script);
  TModelByScriptCreator creator;
  creator.SetInput(script);
  creator.DoIt();
  if (!SubjectOfInterest()) {
    auto* subject = new TSpaceEntity;
    subject_.Set(subject);
    model->Add(subject);
  }
  if (auto* subject = dynamic_cast<TRectEntity*>(SubjectOfInterest()); subject && creator.Output())
    subject->AddAndExtend(creator.Output());
  model->Delete(script);
}

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
  TLayerScript* layer = layerScript("ARE", block);
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
