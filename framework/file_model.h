#pragma once
// Elements that stand for a file name: a plain file model, one with a second
// path, and the base of entities that keep their content in a file and report
// through Error (11 empty name, 12 missing file, 13 loading failed).
#include <cstdint>
#include <string>

#include "framework/entity.h"

class TFileModel : public TOwnerEntity {
  ZELTO_ELEMENT(TFileModel)
 public:
  virtual std::string GetFileName() const { return fileName_; }
  // The directory part of the file name.
  virtual std::string GetPath() const;
  virtual void SetFileName(const std::string& name) { fileName_ = name; }
  // The file name becomes the new path (with a separator) and the old name part.
  virtual void SetPath(const std::string& path);

 private:
  std::string fileName_;
};

class TFilePathModel : public TFileModel {
  ZELTO_ELEMENT(TFilePathModel)
 public:
  std::string Path1;
};

class TFileBasedEntity : public TOwnerEntity {
  ZELTO_ELEMENT(TFileBasedEntity)
 public:
  std::int32_t Error = 0;

  virtual std::string GetFileName() const { return fileName_; }
  virtual void SetFileName(const std::string& name);
  virtual void LoadFromFile(const std::string&) {}
  virtual void SaveToFile(const std::string&) {}

 private:
  std::string fileName_;
};
