#pragma once
// Coordinate systems: conversion of coordinate triples between a stored or
// shown system and the one world system of the model, and the names of the
// three axes. S-JTSK (type code 1) is the only concrete system: its world form
// is the stored values with every sign changed, so that world x grows to the
// east and world y to the north.
#include <cstdint>
#include <string>

#include "framework/coordinate.h"
#include "framework/entity.h"
#include "framework/string_utils.h"
#include "framework/world.h"

class TWCS : public TElement {
  ZELTO_ELEMENT(TWCS)
 public:
  virtual std::uint8_t GetFlag() const { return flag_; }
  virtual void SetFlag(std::uint8_t flag) { flag_ = flag; }
  virtual std::string GetAxisName1() const { return PStrToStr(axis1_); }
  virtual std::string GetAxisName2() const { return PStrToStr(axis2_); }
  virtual std::string GetAxisName3() const { return PStrToStr(axis3_); }
  virtual void SetAxisName1(const std::string& name) { AssignPStr(axis1_, name); }
  virtual void SetAxisName2(const std::string& name) { AssignPStr(axis2_, name); }
  virtual void SetAxisName3(const std::string& name) { AssignPStr(axis3_, name); }
  // World values from system values, and back.
  virtual void ToWorld(double x, double y, double z, double& wx, double& wy, double& wz) const = 0;
  virtual void FromWorld(double wx, double wy, double wz, double& x, double& y, double& z) const = 0;
  // In place through the coordinate's accessors; returns the coordinate.
  virtual TCoordinate* CoordToWorld(TCoordinate* coordinate) const = 0;
  virtual TCoordinate* CoordFromWorld(TCoordinate* coordinate) const = 0;

 private:
  std::uint8_t flag_ = 0;
  PString axis1_;
  PString axis2_;
  PString axis3_;
};

class TGeographic_WCS : public TWCS {
  ZELTO_ELEMENT(TGeographic_WCS)
 public:
  virtual void GeoTransform1(double x, double y, double z, double& ox, double& oy, double& oz) const = 0;
  virtual void GeoTransform2(double x, double y, double z, double& ox, double& oy, double& oz) const = 0;
};

// The national grid S-JTSK: axes "Y" (west), "X" (south) and "Vyska".
class TJTSK : public TGeographic_WCS {
  ZELTO_ELEMENT(TJTSK)
 public:
  static constexpr std::uint8_t kTypeCode = 1;

  std::uint8_t GetFlag() const override { return kTypeCode; }
  std::string GetAxisName1() const override { return "Y"; }
  std::string GetAxisName2() const override { return "X"; }
  std::string GetAxisName3() const override { return "Vyska"; }
  void ToWorld(double x, double y, double z, double& wx, double& wy, double& wz) const override;
  void FromWorld(double wx, double wy, double wz, double& x, double& y, double& z) const override;
  TCoordinate* CoordToWorld(TCoordinate* coordinate) const override;
  TCoordinate* CoordFromWorld(TCoordinate* coordinate) const override;
  // No geographic transform exists for the grid: the outputs stay as they are.
  void GeoTransform1(double, double, double, double&, double&, double&) const override {}
  void GeoTransform2(double, double, double, double&, double&, double&) const override {}
};

// The coordinate systems of the world.
class TWCSLibrary : public TOwnerEntity {
  ZELTO_ELEMENT(TWCSLibrary)
 public:
  // The first system of that type code; S-JTSK is created on first request,
  // any other code gives nullptr.
  TWCS* GetWCS(std::int8_t typeCode);
};

// The world the program creates: the world plus its coordinate systems.
class TWCSWorld : public TWorld {
  ZELTO_ELEMENT(TWCSWorld)
 public:
  // Created and added as a child on first use.
  TWCSLibrary* GetWCSLibrary();
  TWCS* GetWCS(std::int8_t typeCode) { return GetWCSLibrary()->GetWCS(typeCode); }

 private:
  TWCSLibrary* library_ = nullptr;
};
