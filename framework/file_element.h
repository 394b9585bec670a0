#pragma once
// Files and directories of the machine as elements, so that the path
// language, expressions and the model explorer reach them by name. Full file
// names are kept as given (Windows form with a drive letter, or native) and
// resolved through the drive map whenever the disk is touched.
#include <cstdint>
#include <string>

#include "framework/directory_listing.h"
#include "framework/entity.h"

class TFileElement : public TOwnerEntity {
  ZELTO_ELEMENT(TFileElement)
 public:
  // The name part of the full file name.
  std::string GetName() const override;
  // Renames the file on disk; nothing changes when that fails.
  void SetName(const std::string& name) override;
  const std::string& GetFileName() const { return fileName_; }
  // Stores the full name; nothing on disk.
  virtual void SetFileName(const std::string& name);

  bool GetExists() const;
  // The directory part with its trailing separator.
  std::string GetFilePath() const;
  // Without the point; empty for "name." or no extension.
  std::string GetFileExt() const;
  // The full name with another extension (nothing on disk).
  void SetFileExt(const std::string& ext);
  std::int32_t GetFileSize() const;
  // Days since 30 December 1899, local time.
  double GetFileTime() const;
  void SetFileTime(double dateTime);
  // "d.m.yyyy h:nn:ss"; text that is not a date-time is ignored.
  std::string GetFileTimeString() const;
  void SetFileTimeString(const std::string& text);
  std::uint8_t GetAttributes() const { return record_.Attr; }
  void SetAttributes(std::uint8_t attr);
  bool AttrBit(std::uint8_t bit) const { return (record_.Attr & bit) != 0; }
  void SetAttrFlag(std::uint8_t bit, bool on);
  // True fills the search record from the disk for the current name.
  void SetReadInfo(bool read);

  const framework::SearchRecord& Record() const { return record_; }
  void SetRecord(const framework::SearchRecord& record) { record_ = record; }

 protected:
  std::string fileName_;
  framework::SearchRecord record_;
};

class TTextFileElement : public TFileElement {
  ZELTO_ELEMENT(TTextFileElement)
};

// A Pascal source unit: its description block is a settings section
// "Unit_Description" inside the file.
class TPascalUnitElement : public TFileElement {
  ZELTO_ELEMENT(TPascalUnitElement)
 public:
  std::string ReadDescription(const std::string& key) const;
};

class TPascalUnits : public TOwnerEntity {
  ZELTO_ELEMENT(TPascalUnits)
 public:
  TOwnerEntity* Group(const std::string& name);
};

// Joins a directory and an entry name with the separator the directory uses.
namespace framework {
std::string JoinFileName(const std::string& directory, const std::string& name);
// The separator that ends the directory part of a full name, and its position.
std::size_t LastSeparator(const std::string& fullName);
}  // namespace framework
