#include "framework/directory_element.h"

#include "framework/class_registry.h"
#include "framework/file_model.h"
#include "framework/name_compare.h"

ZELTO_IMPLEMENT_ELEMENT(TDirectoryElement, TFileElement,
                        [](auto& p) { p.Boolean("DirOnly", &TDirectoryElement::DirOnly, &TDirectoryElement::DirOnly); })

ZELTO_IMPLEMENT_ELEMENT(TLogicalDriveElement, TDirectoryElement, [](auto& p) {
  using E = TLogicalDriveElement;
  p.Boolean("Active", &E::GetActive, &E::SetActive);
  p.Char("RootName", &E::RootName, &E::RootName);
  p.Enumeration("DriveType", {"Unknown", "DontExists", "Floppy", "HardDisk", "Network", "CDROM", "RAM"},
                [](E& e) { return static_cast<std::int64_t>(e.GetDriveType()); });
  p.String("DriveTypeString", &E::GetDriveTypeString);
})

ZELTO_IMPLEMENT_ELEMENT(TLocalComputerElement, TOwnerEntity, ZELTO_NO_PROPERTIES)

void TDirectoryElement::SetFileName(const std::string& name) {
  for (int i = 0; i < GetOwnersCount(); ++i)
    if (TElement* owner = GetOwner(i); owner && owner->Is<TDirectoryElement>()) return;
  if (zelto::UpperAZ(name) == zelto::UpperAZ(fileName_)) return;
  fileName_ = name;
  FreeAll();
  List();
}

void TDirectoryElement::List() {
  const auto entries = framework::ListDirectory(framework::ResolvePath(fileName_), DirOnly);
  for (const framework::SearchRecord& entry : entries) {
    if (entry.Attr & framework::faVolumeID) continue;
    TFileElement* element = nullptr;
    if (entry.Attr & framework::faDirectory) {
      auto* dir = new TDirectoryElement();
      dir->DirOnly = DirOnly;
      element = dir;
    } else if (DirOnly) {
      continue;
    } else {
      element = new TFileElement();
    }
    element->SetRecord(entry);
    element->SetFileName(framework::JoinFileName(fileName_, entry.Name));
    // Source units answer for their description block.
    if (!element->Is<TDirectoryElement>() && element->GetFileExt() == "PAS") {
      auto* unit = new TPascalUnitElement();
      unit->SetRecord(entry);
      unit->SetFileName(element->GetFileName());
      delete element;
      element = unit;
    }
    Add(element);
  }
}

void TLogicalDriveElement::SetActive(bool active) {
  if (active) {
    SetFileName(std::string(1, RootName) + ":\\");
  } else {
    FreeAll();
    // Activating again lists the drive anew.
    fileName_.clear();
  }
  active_ = active;
}

framework::TDriveType TLogicalDriveElement::GetDriveType() const {
  return framework::DriveTypeOf(std::string(1, RootName) + ":\\");
}

std::string TLogicalDriveElement::GetDriveTypeString() const {
  static const char* const names[] = {"UnKnown", "not found ", "FD", "HD", "REMOTE disk", "CDROM", "RAM Disk"};
  const auto type = static_cast<unsigned>(GetDriveType());
  return type < 7 ? names[type] : names[0];
}

TLocalComputerElement::TLocalComputerElement() {
  const std::uint32_t mask = framework::LogicalDriveMask();
  for (int bit = 0; bit < 32; ++bit) {
    if ((mask & (std::uint32_t{1} << bit)) == 0) continue;
    auto* drive = new TLogicalDriveElement();
    drive->RootName = static_cast<char>('A' + bit);
    drive->SetName(std::string(1, drive->RootName) + ": " + drive->GetDriveTypeString());
    Add(drive);
  }
}

void RegisterFileElementClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterZeltoClass(TFileElement::StaticClass());
  RegisterZeltoClass(TDirectoryElement::StaticClass());
  RegisterZeltoClass(TLogicalDriveElement::StaticClass());
  RegisterZeltoClass(TLocalComputerElement::StaticClass());
  RegisterZeltoClass(TTextFileElement::StaticClass());
  RegisterZeltoClass(TFileModel::StaticClass());
  RegisterZeltoClass(TFilePathModel::StaticClass());
  RegisterZeltoClass(TFileBasedEntity::StaticClass());
  RegisterZeltoClass(TPascalUnitElement::StaticClass());
  RegisterZeltoClass(TPascalUnits::StaticClass());
}
