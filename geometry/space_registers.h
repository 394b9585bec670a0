#pragma once
// Registers of spatial objects: TRegister > TBlockRegister (per block) >
// TObjectRegister (per kind letter) > TObjectOwner (per object number, at
// the position equal to the number) > the entities of that number.
#include <cstdint>
#include <string>

#include "geometry/space_entity.h"

class TObjectOwner : public TOwnerEntity {
  ZELTO_ELEMENT(TObjectOwner)
 public:
  void HandleMessage(TZeltoMessage*& message, bool& handled) override;
  void GetPropertyText(const std::string& name, std::string& text) override;
  // The position in its object register, kept here so that an object's
  // number is known without searching the register.
  std::int32_t Number = -1;
};

class TObjectRegister : public TSpaceEntity {
  ZELTO_ELEMENT(TObjectRegister)
 public:
  static constexpr std::int32_t kMaxNumber = 500000;
  ~TObjectRegister() override;

  void RegisterEntity(TElement* element);
  void AddAtNumber(std::int32_t number, TElement* element);
  TSpaceEntity* FindObject(std::int32_t number) const;
  // Empties the owner of that number; the owner keeps its position.
  void FreeObject(std::int32_t number);
  std::string GetBlockName() const;
  virtual TElement* GetDBF() const { return dbf_; }
  virtual TObjectOwner* NewOwner();

 protected:
  TElement* dbf_ = nullptr;  // owned
};

class TBlockRegister : public TSpaceEntity {
  ZELTO_ELEMENT(TBlockRegister)
 public:
  // 'B' point, 'T' text, 'L' line, 'P' area, 'X' anything else.
  static char KindLetter(const TElement* element);

  virtual void Register(TElement* element);
  virtual void RegisterSpaceEntity(TElement* element);
  virtual TObjectRegister* GetObjectRegister(char letter);
  virtual TSpaceEntity* FindObject(char letter, std::int32_t number);
  virtual void FreeObject(char letter, std::int32_t number);
};

class TRegister : public TSpaceEntity {
  ZELTO_ELEMENT(TRegister)
 public:
  virtual TBlockRegister* FindBlock(const std::string& name) const;
  // Creates the block register by class name when missing; nil when the
  // class is unknown or no block register.
  virtual TBlockRegister* GetBlock(const std::string& name, const std::string& className);
};

// What the object selector tool picks: the object of that kind letter (the
// first character of objectType) and number in the named block of the
// first TRegister child of the model; nil for an empty objectType or when
// anything is missing.
TSpaceEntity* SelectRegisteredObject(TEntity* objectModel, const std::string& blockName,
                                     const std::string& objectType, std::int32_t objectNo);
