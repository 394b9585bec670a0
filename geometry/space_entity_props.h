#pragma once
// The attribute record a spatial entity carries in its Properties: it ties
// the entity to the registers (block, kind, number) and answers named
// attributes from its own properties or, in descendants, an external table.
#include <cstdint>
#include <string>

#include "framework/entity.h"

class TSpaceEntity;
class TObjectRegister;
class TBlockRegister;
class TObjectOwner;
struct TPropInfo;

class TSpaceEntityProps : public TOwnerEntity {
  ZELTO_ELEMENT(TSpaceEntityProps)
 public:
  bool HasProperty(const std::string& name) override;
  void GetPropertyText(const std::string& name, std::string& text) override;
  void SetPropertyText(const std::string& name, const std::string& text) override;

  virtual std::int32_t GetSpaceID() { return -1; }
  virtual TObjectRegister* GetObjectRegister() const;
  virtual TBlockRegister* GetBlockRegister() const;
  virtual TSpaceEntityProps* GetMasterProps() const;
  virtual std::int32_t GetOrigNo() const;
  virtual std::string GetBlockName() const;
  virtual std::string GetDBFName() const { return {}; }
  virtual bool HasExternalProperty(const std::string& name) { return false; }
  virtual void ReadExternalProperty(const std::string& name, std::string& text) { text.clear(); }
  virtual void WriteExternalProperty(const std::string& name, const std::string& text) {}
  virtual bool LocateExternalRecord() { return false; }
  // A new record of the same class with the record classes' writable
  // properties copied; objects the record owns are copied, not shared.
  virtual TSpaceEntityProps* Clone();

  bool IsDone = false;
  TSpaceEntity* SpaceEntity = nullptr;  // back link, not owned

 protected:
  // Whether the object held by this class-kind property belongs to the
  // record (freed with it): Clone then gives the clone its own copy.
  virtual bool OwnsObjectProperty(const TPropInfo& info) const { return false; }

 private:
  TObjectOwner* Owner() const;
};
