#pragma once
// A directory element lists its entries as children (sub-directories list
// their own in turn) when its full name is set; drives list their root when
// activated; the computer shows one drive element per mapped drive letter.
// Symbolic links to directories are listed as files and never descended.
#include <string>

#include "framework/drive_map.h"
#include "framework/file_element.h"

class TDirectoryElement : public TFileElement {
  ZELTO_ELEMENT(TDirectoryElement)
 public:
  bool DirOnly = false;
  // Lists the directory, unless an owning directory lists it already or the
  // name is the current one (letters compared in capitals).
  void SetFileName(const std::string& name) override;

 protected:
  void List();
};

class TLogicalDriveElement : public TDirectoryElement {
  ZELTO_ELEMENT(TLogicalDriveElement)
 public:
  char RootName = 'C';
  std::string GetName() const override { return TOwnerEntity::GetName(); }
  void SetName(const std::string& name) override { TOwnerEntity::SetName(name); }
  bool GetActive() const { return active_; }
  void SetActive(bool active);
  framework::TDriveType GetDriveType() const;
  std::string GetDriveTypeString() const;

 private:
  bool active_ = false;
};

class TLocalComputerElement : public TOwnerEntity {
  ZELTO_ELEMENT(TLocalComputerElement)
 public:
  // One drive element per mapped letter, not yet listed.
  TLocalComputerElement();
};

void RegisterFileElementClasses();
