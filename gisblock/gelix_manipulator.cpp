#include "gisblock/gelix_manipulator.h"

#include <cctype>
#include <exception>

#include "framework/message_dispatch.h"
#include "framework/property_access.h"
#include "framework/string_list.h"
#include "framework/zelto_message.h"
#include "platform/user_interaction.h"

ZELTO_IMPLEMENT_ELEMENT(TFiltrDruhuObjektu, TOwnerElement, [](auto& p) {
  p.Boolean("Exclude", &TFiltrDruhuObjektu::Exclude, &TFiltrDruhuObjektu::Exclude);
  p.String("PropName", &TFiltrDruhuObjektu::PropName, &TFiltrDruhuObjektu::PropName);
})
ZELTO_IMPLEMENT_ELEMENT(TGelixManipulator, TOwnerEntity, [](auto& p) {
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
    TIntegerListElement* numbers = IntegerListFromText(name, list->GetItemValue(i));
    if (!numbers) return nullptr;
    auto* filter = new TFiltrDruhuObjektu;
    const char letter = kindText == "ARE"   ? 'P'
                        : kindText == "PNT" ? 'B'
                        : kindText == "LIN" ? 'L'
                        : kindText == "TXT" ? 'T'
                                            : 'X';
    filter->SetKindList(letter, numbers);
    filter->PropName = name.substr(1);
    for (char& c : filter->PropName) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    filter->Exclude = name[0] == '-';
    return filter;
  }
  return nullptr;
}

TGelixManipulator::~TGelixManipulator() {
  delete kindFilter_;
  delete window_;
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

bool TGelixManipulator::BoxMeetsWindow(const gisblock::StoredBox& box) const {
  if (!window_) return true;
  const gisblock::WorldRect w = box.toWorld();
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

void TGelixManipulator::reportCondition() {
  if (conditionReported_) return;
  conditionReported_ = true;
  platform::showError("Condition processing Error\r\n" + Condition);
}

bool TGelixManipulator::PassesCondition(TElement* object) {
  if (Condition.empty() || !object) return true;
  if (!conditionCompiled_) {
    conditionCompiled_ = true;
    try {
      if (ConditionCompiler) condition_ = ConditionCompiler(Condition);
    } catch (const std::exception&) {
      condition_ = nullptr;
    }
  }
  if (!condition_) {
    reportCondition();
    return true;
  }
  try {
    return condition_(object);
  } catch (const std::exception&) {
    reportCondition();
    return true;
  }
}

void TGelixManipulator::PostWarning(const std::string& text) {
  TElement* mainTool = zelto::ResolveMainTool();
  PostTextMessage(mainTool, zelto::msg::LogText, text, mainTool);
  zelto::ProcessPendingMessages();
}

void TGelixManipulator::BeginProgress(const std::string& name, std::int32_t max) {
  auto* m = new TProgressMessage(zelto::msg::ProgressBegin, nullptr, nullptr, this);
  m->ProcessName = name;
  m->MinProgress = 0;
  m->MaxProgress = max;
  TZeltoMessage::Post(m);
  zelto::ProcessPendingMessages();
}

void TGelixManipulator::StepProgress(std::int32_t position) {
  auto* m = new TProgressMessage(zelto::msg::ProgressStep, nullptr, nullptr, this);
  m->Progress = position;
  TZeltoMessage::Post(m);
  zelto::ProcessPendingMessages();
}

void TGelixManipulator::EndProgress() {
  TZeltoMessage::Post(new TProgressMessage(zelto::msg::ProgressEnd, nullptr, nullptr, this));
  zelto::ProcessPendingMessages();
}
