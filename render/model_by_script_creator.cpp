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

void addToResult(TRectEntity& result, TElement* element) {
  if (!element) return;
  result.Add(element);
  result.ExtendBy(element);
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
  TRectEntity* result = output && output->Is<TRectEntity>() ? static_cast<TRectEntity*>(output) : new TRectEntity;
  for (TElement* child : std::vector<TElement*>(static_cast<TModelScript*>(input)->Items())) {
    if (!child || !child->Is<TLayerScript>()) continue;
    auto& layer = *static_cast<TLayerScript*>(child);
    if (upper(layer.GetName()) == "ELEMENT")
      addToResult(*result, CreateElement(layer.PlainDescription(), layer.GetPropertyList()));
    else
      addToResult(*result, LoadLayer(layer));
  }
  SetOutput(result);
}

TElement* TModelByScriptCreator::LoadLayer(TLayerScript& script) {
  const std::string kind = script.GetName();
  TInterpretLayer* layer = nullptr;
  for (TElement* child : std::vector<TElement*>(script.Items())) {
    if (!child || !child->Is<TPathElement>()) continue;
    TElement* loaded = LoadPath(kind, static_cast<TPathElement*>(child)->Value, script.GetPropertyList());
    if (!layer) layer = new TInterpretLayer;
    addToResult(*layer, loaded);
  }
  if (!layer) return nullptr;
  layer->SetName(fileNamePart(script.PlainDescription()));
  layer->Path = script.Description;
  layer->LayerType = kind;
  setAtProperties(*layer, script.GetPropertyList());
  return layer;
}

TElement* TModelByScriptCreator::LoadPath(const std::string& kind, const std::string& path, TPropertyList* list) {
  if (path.empty()) return nullptr;
  gisblock::restoreBlockLeftAside(path);
  const std::filesystem::path found = platform::pathResolver().existing(path);
  std::error_code error;
  if (!std::filesystem::is_directory(found, error)) return nullptr;
  if (upper(found.extension().string()) != ".BLK") return nullptr;
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
  TElement* loaded = nullptr;
  const std::string k = upper(kind);
  if (k == "LIN")
    loaded = reader->ReadLines();
  else if (k == "PNT")
    loaded = reader->ReadPoints();
  else if (k == "ARE")
    loaded = reader->ReadAreas();
  else if (k == "TXT")
    loaded = reader->ReadTexts();
  else if (k == "LINSYM")
    loaded = reader->ReadLineSymbols();
  if (loaded) setAtProperties(*loaded, list);
  return loaded;
}

TElement* TModelByScriptCreator::CreateElement(const std::string& className, TPropertyList* list) {
  TElement* element = CreateElementByClassName(className);
  if (!element || !list) return element;
  for (int i = 0; i < list->GetCount(); ++i) {
    std::string name = list->GetItemName(i);
    if (!name.empty() && name[0] == '@') name.erase(0, 1);
    if (!name.empty()) SetPropTextByName(element, name, list->GetItemValue(i));
  }
  return element;
}

void RegisterModelByScriptClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterLayerScriptClasses();
  RegisterZeltoClass(TModelByScriptCreator::StaticClass());
}
