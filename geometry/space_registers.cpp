#include "geometry/space_registers.h"

#include <cctype>
#include <exception>
#include <memory>
#include <new>

#include "framework/class_registry.h"
#include "framework/zelto_message.h"
#include "geometry/area_element.h"
#include "platform/user_interaction.h"

ZELTO_IMPLEMENT_ELEMENT(TObjectOwner, TOwnerEntity, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TObjectRegister, TSpaceEntity, [](auto& p) {
  p.String("BlockName", &TObjectRegister::GetBlockName);
  p.Object("DBF", TElement::StaticClass(), &TObjectRegister::GetDBF);
})
ZELTO_IMPLEMENT_ELEMENT(TBlockRegister, TSpaceEntity, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TRegister, TSpaceEntity, ZELTO_NO_PROPERTIES)

void TObjectOwner::HandleMessage(TZeltoMessage*& message, bool& handled) {
  handled = false;
  TOwnerEntity::HandleMessage(message, handled);
  if (handled || !message || message->Message != zelto::msg::LineSplit) return;
  if (TElement* piece = message->Data()) Add(piece);
}

void TObjectOwner::GetPropertyText(const std::string& name, std::string& text) {
  TOwnerEntity::GetPropertyText(name, text);
  if (!text.empty() || GetCount() == 0) return;
  try {
    if (TElement* first = GetItem(0)) first->GetPropertyText(name, text);
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception&) {
    platform::ui().beep();
  }
}

TObjectRegister::~TObjectRegister() { delete dbf_; }

TObjectOwner* TObjectRegister::NewOwner() { return new TObjectOwner; }

void TObjectRegister::RegisterEntity(TElement* element) {
  if (!element) return;
  const std::int32_t n = element->Is<TSpaceEntity>()
                             ? static_cast<TSpaceEntity*>(element)->GetSpaceID()
                             : element->GetPropertyInt("SpaceID");
  if (n >= 1 && n <= kMaxNumber) AddAtNumber(n, element);
}

void TObjectRegister::AddAtNumber(std::int32_t number, TElement* element) {
  if (GetCount() > number) {
    static_cast<TEntity*>(GetItem(number))->Add(element);
  } else {
    TObjectOwner* owner = nullptr;
    for (std::int32_t pos = GetCount(); pos <= number; ++pos) {
      owner = Adopt(NewOwner());
      owner->Number = pos;
    }
    owner->Add(element);
  }
  ExtendBy(element);
}

TSpaceEntity* TObjectRegister::FindObject(std::int32_t number) const {
  if (number < 1 || number >= GetCount()) return nullptr;
  TElement* owner = GetItem(number);
  if (!owner || !owner->Is<TEntity>()) return nullptr;
  auto* entity = static_cast<TEntity*>(owner);
  if (entity->GetCount() == 0) return nullptr;
  TElement* first = entity->GetItem(0);
  return first && first->Is<TSpaceEntity>() ? static_cast<TSpaceEntity*>(first) : nullptr;
}

void TObjectRegister::FreeObject(std::int32_t number) {
  if (number < 0 || number >= GetCount()) return;
  TElement* owner = GetItem(number);
  if (owner && owner->Is<TObjectOwner>()) static_cast<TObjectOwner*>(owner)->FreeAll();
}

std::string TObjectRegister::GetBlockName() const {
  TElement* block = FindOwnerByClass(TBlockRegister::StaticClass());
  return block ? block->GetName() : std::string();
}

char TBlockRegister::KindLetter(const TElement* element) {
  if (!element) return 'X';
  if (element->Is<TAreaElement>()) return 'P';
  if (element->Is<TPolyLineElement>()) return 'L';
  if (element->Is<TTextElement>()) return 'T';
  if (element->Is<TPointElement>()) return 'B';
  return 'X';
}

void TBlockRegister::Register(TElement* element) {
  GetObjectRegister(KindLetter(element))->RegisterEntity(element);
  ExtendBy(element);
}

void TBlockRegister::RegisterSpaceEntity(TElement* element) {
  if (element && element->Is<TSpaceEntity>()) Register(element);
}

TObjectRegister* TBlockRegister::GetObjectRegister(char letter) {
  const std::string name(1, letter);
  for (TElement* e : Items())
    if (e->Is<TObjectRegister>() && e->GetName() == name) return static_cast<TObjectRegister*>(e);
  auto reg = std::make_unique<TObjectRegister>();
  reg->SetName(name);
  Add(reg.get());
  return reg.release();
}

TSpaceEntity* TBlockRegister::FindObject(char letter, std::int32_t number) {
  return GetObjectRegister(letter)->FindObject(number);
}

void TBlockRegister::FreeObject(char letter, std::int32_t number) {
  GetObjectRegister(letter)->FreeObject(number);
}

TBlockRegister* TRegister::FindBlock(const std::string& name) const {
  if (name.empty()) return nullptr;
  TElement* e = FindElementByName(name);
  return e && e->Is<TBlockRegister>() ? static_cast<TBlockRegister*>(e) : nullptr;
}

TBlockRegister* TRegister::GetBlock(const std::string& name, const std::string& className) {
  if (TBlockRegister* found = FindBlock(name)) return found;
  std::unique_ptr<TElement> created(CreateElementByClassName(className));
  if (!created || !created->Is<TBlockRegister>()) return nullptr;
  created->SetName(name);
  Add(created.get());
  return static_cast<TBlockRegister*>(created.release());
}

TSpaceEntity* SelectRegisteredObject(TEntity* objectModel, const std::string& blockName,
                                     const std::string& objectType, std::int32_t objectNo) {
  if (!objectModel || objectType.empty()) return nullptr;
  TElement* reg = objectModel->FindElementByClass(TRegister::StaticClass());
  if (!reg) return nullptr;
  TBlockRegister* block = static_cast<TRegister*>(reg)->FindBlock(blockName);
  if (!block) return nullptr;
  return block->FindObject(objectType[0], objectNo);
}
