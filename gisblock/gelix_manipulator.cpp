#include "gisblock/gelix_manipulator.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <memory>

#include "framework/message_dispatch.h"
#include "framework/problem_report.h"
#include "framework/property_access.h"
#include "framework/string_list.h"
#include "framework/wcs.h"
#include "framework/world.h"
#include "platform/path_resolver.h"
#include "framework/zelto_message.h"
#include "gisblock/gelix_condition.h"

ZELTO_IMPLEMENT_ELEMENT(TFiltrDruhuObjektu, TOwnerElement, [](auto& p) {
  p.Boolean("Exclude", &TFiltrDruhuObjektu::Exclude, &TFiltrDruhuObjektu::Exclude);
  p.String("PropName", &TFiltrDruhuObjektu::PropName, &TFiltrDruhuObjektu::PropName);
})
ZELTO_IMPLEMENT_ELEMENT(TGelixManipulator, TTool, [](auto& p) {
  p.Float("MinSize", &TGelixManipulator::MinSize, &TGelixManipulator::MinSize);
  p.String("Condition", &TGelixManipulator::Condition, &TGelixManipulator::Condition);
  p.String("BlockName", &TGelixManipulator::BlockName, &TGelixManipulator::BlockName);
})

namespace {
int letterSlot(char letter) {
  switch (letter) {
    case 'B': return 0;
    case 'L': return 1;
    case 'P': return 2;
    case 'T': return 3;
    default: return -1;
  }
}
}  // namespace

TFiltrDruhuObjektu::~TFiltrDruhuObjektu() {
  for (TIntegerListElement* list : lists_) delete list;
}

void TFiltrDruhuObjektu::SetKindList(char letter, TIntegerListElement* list) {
  const int slot = letterSlot(letter);
  if (slot < 0) {
    delete list;
    return;
  }
  if (lists_[slot] != list) delete lists_[slot];
  lists_[slot] = list;
}

TIntegerListElement* TFiltrDruhuObjektu::GetKindList(char letter) const {
  const int slot = letterSlot(letter);
  return slot < 0 ? nullptr : lists_[slot];
}

bool TFiltrDruhuObjektu::Accepts(char letter, TElement* object) {
  if (!object) return Exclude;
  const std::string text = object->PropertyText(PropName);
  if (text.empty()) return Exclude;
  std::size_t used = 0;
  long value = 0;
  try {
    value = std::stol(text, &used);
  } catch (const std::exception&) {
    return Exclude;
  }
  while (used < text.size() && std::isspace(static_cast<unsigned char>(text[used]))) ++used;
  if (used != text.size()) return Exclude;
  TIntegerListElement* list = GetKindList(letter);
  if (!list) return true;
  return list->Contains(static_cast<std::int32_t>(value)) ? !Exclude : Exclude;
}

TFiltrDruhuObjektu* CreateKindFilter(const std::string& kindText, TStringListElement* list) {
  if (!list) return nullptr;
  for (int i = 0; i < list->GetCount(); ++i) {
    const std::string name = list->GetItemName(i);
    if (name.empty() || (name[0] != '!' && name[0] != '-')) continue;
    std::unique_ptr<TIntegerListElement> numbers(IntegerListFromText(name, list->GetItemValue(i)));
    if (!numbers) return nullptr;
    auto filter = std::make_unique<TFiltrDruhuObjektu>();
    const char letter = kindText == "ARE"   ? 'P'
                        : kindText == "PNT" ? 'B'
                        : kindText == "LIN" ? 'L'
                        : kindText == "TXT" ? 'T'
                                            : 'X';
    filter->SetKindList(letter, numbers.release());
    filter->PropName = name.substr(1);
    for (char& c : filter->PropName) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    filter->Exclude = name[0] == '-';
    return filter.release();
  }
  return nullptr;
}

TGelixManipulator::~TGelixManipulator() {
  delete kindFilter_;
  delete window_;
  if (ownsCoordSystem_) delete coordSystem_;
}

TWCS* TGelixManipulator::GetCoordSystem() {
  if (coordSystem_) return coordSystem_;
  if (TWorld* world = GetWorld(); world && world->Is<TWCSWorld>())
    if (TWCS* system = static_cast<TWCSWorld*>(world)->GetWCS(TJTSK::kTypeCode)) return system;
  SetCoordSystem(new TJTSK, true);
  return coordSystem_;
}

void TGelixManipulator::SetCoordSystem(TWCS* system, bool owned) {
  if (system == coordSystem_) {
    ownsCoordSystem_ = ownsCoordSystem_ || owned;
    return;
  }
  if (ownsCoordSystem_) delete coordSystem_;
  coordSystem_ = system;
  ownsCoordSystem_ = owned;
}

void TGelixManipulator::StoredToWorld(double sx, double sy, double& wx, double& wy) {
  double wz = 0;
  GetCoordSystem()->ToWorld(sx, sy, 0, wx, wy, wz);
}

void TGelixManipulator::WorldToStored(double wx, double wy, double& sx, double& sy) {
  double sz = 0;
  GetCoordSystem()->FromWorld(wx, wy, 0, sx, sy, sz);
}

gisblock::WorldRect TGelixManipulator::BoxToWorld(const gisblock::StoredBox& box) {
  double x1, y1, x2, y2;
  StoredToWorld(box.minX, box.minY, x1, y1);
  StoredToWorld(box.maxX, box.maxY, x2, y2);
  return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

gisblock::StoredBox TGelixManipulator::BoxFromWorld(const gisblock::WorldRect& rect) {
  double x1, y1, x2, y2;
  WorldToStored(rect.minX, rect.minY, x1, y1);
  WorldToStored(rect.maxX, rect.maxY, x2, y2);
  return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

void TGelixManipulator::SetKindFilter(TFiltrDruhuObjektu* filter) {
  if (filter == kindFilter_) return;
  delete kindFilter_;
  kindFilter_ = filter;
}

void TGelixManipulator::SetWindow(TRectEntity* window) {
  if (window == window_) return;
  delete window_;
  window_ = window;
}

void TGelixManipulator::SetPropertiesFromList(TStringListElement* list) {
  if (!list) return;
  for (int i = 0; i < list->GetCount(); ++i) {
    const std::string name = list->GetItemName(i);
    if (name.size() < 2 || name[0] != '@') continue;
    SetPropTextByName(this, name.substr(1), list->GetItemValue(i));
  }
}

bool TGelixManipulator::BoxMeetsWindow(const gisblock::StoredBox& box) {
  if (!window_) return true;
  const gisblock::WorldRect w = BoxToWorld(box);
  return window_->IntersectsRect(w.minX, w.minY, w.maxX, w.maxY);
}

bool TGelixManipulator::PassesKindFilter(char letter, TElement* object) {
  return !kindFilter_ || kindFilter_->Accepts(letter, object);
}

void TGelixManipulator::ResetCondition() {
  conditionCompiled_ = false;
  conditionReported_ = false;
  condition_ = nullptr;
}

void TGelixManipulator::reportCondition(const std::string& cause) {
  if (conditionReported_) return;
  conditionReported_ = true;
  zelto::ReportProblem("Condition processing Error\r\n" + Condition + (cause.empty() ? "" : "\r\n" + cause),
                       "Condition processing Error\r\n" + Condition);
}

bool TGelixManipulator::PassesCondition(TElement* object) {
  if (Condition.empty() || !object) return true;
  if (!conditionCompiled_) {
    conditionCompiled_ = true;
    try {
      condition_ = ConditionCompiler ? ConditionCompiler(Condition) : gisblock::compileCondition(Condition);
    } catch (const std::exception& e) {
      condition_ = nullptr;
      reportCondition(e.what());
    }
  }
  if (!condition_) {
    reportCondition({});
    return true;
  }
  try {
    return condition_(object);
  } catch (const std::exception& e) {
    reportCondition(e.what());
    return true;
  }
}

void TGelixManipulator::PostWarning(const std::string& text) {
  TElement* mainTool = zelto::ResolveMainTool();
  PostTextMessage(mainTool, zelto::msg::LogText, text, mainTool);
  zelto::ProcessPendingMessages();
}

std::string TGelixManipulator::ShownBlockName() const { return platform::pathResolver().userSpelling(BlockName); }
