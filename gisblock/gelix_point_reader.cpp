#include "gisblock/gelix_point_reader.h"

#include <memory>
#include <vector>

#include "gisblock/gelix_props.h"
#include "gisblock/gelix_registers.h"

ZELTO_IMPLEMENT_ELEMENT(TGelixPointReader, TGeliXObjectReader, ZELTO_NO_PROPERTIES)

TPointElement* TGelixPointReader::ReadPoint() {
  std::vector<std::uint8_t> bytes;
  if (!ReadRecord(bytes)) return nullptr;
  const auto record = gisblock::PntRecord::decode(bytes.data());
  const std::int32_t number = LastRecord();
  if (record.deleted() || number == 0) return nullptr;
  if (!record.inRange()) {
    PostWarning("Bod.c." + std::to_string(number) + " je mimo rozsah");
    return nullptr;
  }
  TGelixBlockRegister* reg = GetRegister();
  if (TSpaceEntity* known = reg ? reg->FindObject('B', number) : nullptr) {
    if (known->Is<TPointElement>() && PassesKindFilter('B', known) && PassesCondition(known))
      return static_cast<TPointElement*>(known);
    return nullptr;
  }
  auto point = std::make_unique<TPointElement>();
  point->SetX(Negated(record.x));
  point->SetY(Negated(record.y));
  point->Angle = record.angle;
  auto props = std::make_unique<TGelixPointProps>();
  props->Cislo = number;
  props->Druh = record.druh;
  props->Barva = BarvaOf(record.barva);
  props->Znacka = ZnackaOf(record.znacka);
  props->Presnost = record.presnost;
  point->SetProperties(props.release());
  if (reg) reg->RegisterSpaceEntity(point.get());
  if (!PassesKindFilter('B', point.get()) || !PassesCondition(point.get())) return nullptr;
  TElement* object = point.get();
  FireNewObject(object);
  return point.release();
}
