#include "framework/wcs.h"

ZELTO_IMPLEMENT_ELEMENT(TWCS, TElement, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TGeographic_WCS, TWCS, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TJTSK, TGeographic_WCS, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TWCSLibrary, TOwnerEntity, ZELTO_NO_PROPERTIES)

void TJTSK::ToWorld(double x, double y, double z, double& wx, double& wy, double& wz) const {
  wx = -x;
  wy = -y;
  wz = -z;
}

void TJTSK::FromWorld(double wx, double wy, double wz, double& x, double& y, double& z) const {
  x = -wx;
  y = -wy;
  z = -wz;
}

TCoordinate* TJTSK::CoordToWorld(TCoordinate* coordinate) const {
  if (!coordinate) return nullptr;
  coordinate->SetX(-coordinate->GetX());
  coordinate->SetY(-coordinate->GetY());
  coordinate->SetZ(-coordinate->GetZ());
  return coordinate;
}

TCoordinate* TJTSK::CoordFromWorld(TCoordinate* coordinate) const { return CoordToWorld(coordinate); }

TWCS* TWCSLibrary::GetWCS(std::int8_t typeCode) {
  for (TElement* child : Items())
    if (auto* wcs = dynamic_cast<TWCS*>(child); wcs && wcs->GetFlag() == static_cast<std::uint8_t>(typeCode))
      return wcs;
  if (typeCode != TJTSK::kTypeCode) return nullptr;
  auto* jtsk = new TJTSK();
  Add(jtsk);
  return jtsk;
}

ZELTO_IMPLEMENT_ELEMENT(TWCSWorld, TWorld, ZELTO_NO_PROPERTIES)

TWCSLibrary* TWCSWorld::GetWCSLibrary() {
  if (!library_) {
    library_ = new TWCSLibrary();
    Add(library_);
  }
  return library_;
}
