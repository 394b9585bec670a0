#include "framework/world.h"

#include <filesystem>
#include <memory>

#include "framework/class_registry.h"
#include "framework/file_version.h"
#include "framework/message_dispatch.h"
#include "framework/system_register.h"
#include "framework/technology.h"
#include "framework/zelto_message.h"
#include "platform/user_interaction.h"

ZELTO_IMPLEMENT_ELEMENT(TObjectModel, TOwnerEntity, ZELTO_NO_PROPERTIES)

ZELTO_IMPLEMENT_ELEMENT(TWorld, TEntity, [](auto& p) {
  using E = TWorld;
  // No application or main-form object exists without the desktop toolkit.
  p.Object("Application", TElement::StaticClass(), [](E&) -> TElement* { return nullptr; });
  p.String("ApplicExeName", &E::GetApplicExeName);
  p.String("ApplicDir", &E::GetApplicDir);
  p.String("ApplicHelpFile", &E::ApplicHelpFile, &E::ApplicHelpFile);
  p.String("ApplicHint", &E::ApplicHint, &E::ApplicHint);
  p.Boolean("ApplicShowHint", &E::ApplicShowHint, &E::ApplicShowHint);
  p.Integer("ApplicHintColor", &E::ApplicHintColor, &E::ApplicHintColor);
  p.Integer("ApplicHintPause", &E::ApplicHintPause, &E::ApplicHintPause);
  p.Object("ApplicMainForm", TElement::StaticClass(), [](E&) -> TElement* { return nullptr; });
  p.String("ApplicTitle", &E::ApplicTitle, &E::ApplicTitle);
  p.Object("TestElement", TOwnerElement::StaticClass(), nullptr, &E::SetTestElement);
  p.Object("MainTool", TTechnology::StaticClass(), &E::GetMainTool, &E::SetMainTool);
  p.Object("SystemRegister", TSystemRegister::StaticClass(), &E::GetSystemRegister, &E::SetSystemRegister);
  p.Object("ObjectClasses", TOwnerEntity::StaticClass(), &E::GetObjectClasses);
  p.Object("ObjectModel", TObjectModel::StaticClass(), &E::GetObjectModel, &E::SetObjectModel);
})

namespace {

TWorld*& worldCell() {
  static TWorld* world = nullptr;
  return world;
}

// The element kept for debugging from scripts.
TElementRef& testElement() {
  static TElementRef ref;
  return ref;
}

}  // namespace

TWorld* GetWorld() { return worldCell(); }
void SetWorld(TWorld* world) { worldCell() = world; }

TWorld::TWorld() {
  objectClasses_ = &ZeltoClasses();
  objectClasses_->SetName("ObjectClasses");
  Add(objectClasses_);
}

TWorld::~TWorld() {
  // The registry outlives every world.
  if (objectClasses_) Remove(objectClasses_);
  if (GetWorld() == this) SetWorld(nullptr);
}

TTechnology* TWorld::GetMainTool() {
  if (!mainTool_) CreateMainTool();
  return mainTool_;
}

void TWorld::SetMainTool(TTechnology* tool) { ReplaceChild(mainTool_, tool); }

TSystemRegister* TWorld::GetSystemRegister() {
  if (!systemRegister_) {
    auto reg = std::make_unique<TSystemRegister>();
    reg->SetName("System register");
    ReplaceChild(systemRegister_, reg.release());
  }
  return systemRegister_;
}

void TWorld::SetSystemRegister(TSystemRegister* reg) { ReplaceChild(systemRegister_, reg); }

TObjectModel* TWorld::GetObjectModel() {
  if (!objectModel_) {
    auto model = std::make_unique<TObjectModel>();
    model->SetName("Object model");
    ReplaceChild(objectModel_, model.release());
  }
  return objectModel_;
}

void TWorld::SetObjectModel(TObjectModel* model) { ReplaceChild(objectModel_, model); }

void TWorld::DispatchAppMessage(TZeltoMessage* message, bool& handled) {
  if (!message) return;
  if (!message->Receiver() && !message->ReceiverDied()) {
    if (TTechnology* tool = GetMainTool()) message->SetReceiver(tool);
  }
  zelto::DeliverMessage(message);
  handled = true;
}

void TWorld::ReportError(TElement*, const std::exception& error) {
  platform::showError(std::string("World Level Error :") + error.what());
}

void TWorld::InstallMessageHook() {
  TElementRef self(this);
  zelto::SetMainToolResolver([self]() -> TElement* {
    auto* world = static_cast<TWorld*>(self.Get());
    return world ? world->GetMainTool() : nullptr;
  });
}

std::string TWorld::GetApplicExeName() const { return framework::ProgramFile(); }

std::string TWorld::GetApplicDir() const {
  // The directory with its trailing separator, the native one here.
  std::string dir = std::filesystem::path(GetApplicExeName()).parent_path().string();
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

void TWorld::SetTestElement(TElement* element) { testElement().Set(element); }

void RegisterWorldClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterZeltoClass(TWorld::StaticClass());
  RegisterZeltoClass(TObjectModel::StaticClass());
}
