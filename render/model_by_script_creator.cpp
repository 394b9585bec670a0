#include "render/model_by_script_creator.h"

#include <cctype>
#include <filesystem>
#include <memory>

#include "framework/class_registry.h"
#include "framework/property_access.h"
#include "framework/type_elements.h"
#include "gisblock/gelix_blok_reader.h"
#include "gisblock/staged_block.h"
#include "platform/path_resolver.h"
#include "render/interpret_layer.h"
#include "render/layer_script.h"

ZELTO_IMPLEMENT_ELEMENT(TModelByScriptCreator, TTool, [](auto& p) {
  using E = TModelByScriptCreator;
  p.Float("MinX", &E::MinX, &E::MinX);
  p.Float("MinY", &E::MinY, &E::MinY);
  p.Float("MaxX", &E::MaxX, &E::MaxX);
  p.Float("MaxY", &E::MaxY, &E::MaxY);
  p.Float("DeltaX", nullptr, &E::SetDeltaX);
  p.Float("DeltaY", nullptr, &E::SetDeltaY);
  p.Float("Width", nullptr, &E::SetWidth);
  p.Float("Height", nullptr, &E::SetHeight);
  p.Float("CenterX", &E::GetCenterX);
  p.Float("CenterY", &E::GetCenterY);
  p.Boolean("CutLayer", &E::CutLayer, &E::CutLayer);
  p.Method("OnNewObject", [](E& e) { return static_cast<bool>(e.OnNewObject); });
})

namespace {
std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// The '@' entries of the list as properties of the element, in list order.
void setAtProperties(TElement& element, TPropertyList* list) {
  if (!list) return;
  for (int i = 0; i < list->GetCount(); ++i) {
    const std::string name = list->GetItemName(i);
    if (name.size() > 1 && name[0] == '@') element.SetPropertyText(name.substr(1), list->GetItemValue(i));
  }
}

// The last component of a path in either spelling of separators.
std::string fileNamePart(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/:");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// What a layer loaded, taken by the result; it goes when it cannot be.
void addToResult(TRectEntity& result, std::unique_ptr<TElement> element) {
  if (!element) return;
  result.Add(element.get());
  result.ExtendBy(element.release());
}
}  // namespace

TRectEntity* TModelByScriptCreator::NewWindow() const {
  auto* window = new TRectEntity;
  window->SetMinX(MinX);
  window->SetMinY(MinY);
  window->SetMaxX(MaxX);
  window->SetMaxY(MaxY);
  return window;
}

void TModelByScriptCreator::DoIt() {
  TElement* input = Input();
  if (!input || !input->Is<TModelScript>()) return;
  TElement* output = Output();
  // A result made here goes with a failure; one given keeps what it took.
  std::unique_ptr<TRectEntity> made;
  TRectEntity* result = output && output->Is<TRectEntity>() ? static_cast<TRectEntity*>(output) : nullptr;
  if (!result) result = (made = std::make_unique<TRectEntity>()).get();
  for (TElement* child : std::vector<TElement*>(static_cast<TModelScript*>(input)->Items())) {
    if (!child || !child->Is<TLayerScript>()) continue;
    auto& layer = *static_cast<TLayerScript*>(child);
    if (upper(layer.GetName()) == "ELEMENT")
      addToResult(*result, std::unique_ptr<TElement>(CreateElement(layer.PlainDescription(), layer.GetPropertyList())));
    else
      addToResult(*result, std::unique_ptr<TElement>(LoadLayer(layer)));
  }
  SetOutput(result);
  made.release();
}

TElement* TModelByScriptCreator::LoadLayer(TLayerScript& script) {
  const std::string kind = script.GetName();
  std::unique_ptr<TInterpretLayer> layer;
  for (TElement* child : std::vector<TElement*>(script.Items())) {
    if (!child || !child->Is<TPathElement>()) continue;
    const std::string& path = static_cast<TPathElement*>(child)->Value;
    std::unique_ptr<TElement> loaded(LoadPath(kind, path, script.GetPropertyList()));
    if (!layer) layer = std::make_unique<TInterpretLayer>();
    addToResult(*layer, std::move(loaded));
  }
  if (!layer) return nullptr;
  layer->SetName(fileNamePart(script.PlainDescription()));
  layer->Path = script.Description;
  layer->LayerType = kind;
  setAtProperties(*layer, script.GetPropertyList());
  return layer.release();
}

TElement* TModelByScriptCreator::LoadPath(const std::string& kind, const std::string& path, TPropertyList* list) {
  if (path.empty()) return nullptr;
  if (!gisblock::blockLies(path)) return nullptr;
  if (upper(platform::pathResolver().existing(path).extension().string()) != ".BLK") return nullptr;
  return LoadBlock(kind, path, list);
}

TElement* TModelByScriptCreator::LoadBlock(const std::string& kind, const std::string& directory,
                                          TPropertyList* list) {
  const bool window = HasWindow();
  if (window) {
    std::unique_ptr<TRectEntity> rect(NewWindow());
    if (!BlockMeetsWindow(directory, rect.get())) return nullptr;
  }
  std::unique_ptr<TGeliXBlokReader> reader(TGeliXBlokReader::CreateForBlock(directory));
  reader->SetKindFilter(CreateKindFilter(kind, list));
  reader->SetPropertiesFromList(list);
  reader->OnNewObject = OnNewObject;
  if (ObjectModel) reader->SetObjectModel(ObjectModel);
  if (window && CutLayer) reader->SetWindow(NewWindow());
  std::unique_ptr<TElement> loaded;
  const std::string k = upper(kind);
  if (k == "LIN")
    loaded.reset(reader->ReadLines());
  else if (k == "PNT")
    loaded.reset(reader->ReadPoints());
  else if (k == "ARE")
    loaded.reset(reader->ReadAreas());
  else if (k == "TXT")
    loaded.reset(reader->ReadTexts());
  else if (k == "LINSYM")
    loaded.reset(reader->ReadLineSymbols());
  if (loaded) setAtProperties(*loaded, list);
  return loaded.release();
}

TElement* TModelByScriptCreator::CreateElement(const std::string& className, TPropertyList* list) {
  std::unique_ptr<TElement> element(CreateElementByClassName(className));
  if (!element || !list) return element.release();
  for (int i = 0; i < list->GetCount(); ++i) {
    std::string name = list->GetItemName(i);
    if (!name.empty() && name[0] == '@') name.erase(0, 1);
    if (!name.empty()) SetPropTextByName(element.get(), name, list->GetItemValue(i));
  }
  return element.release();
}

void RegisterModelByScriptClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterLayerScriptClasses();
  RegisterZeltoClass(TModelByScriptCreator::StaticClass());
}
