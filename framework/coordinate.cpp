#include "framework/coordinate.h"

#include <cstring>
#include <stdexcept>

#include "framework/value_stream.h"

ZELTO_IMPLEMENT_ELEMENT(TCoordinate, TElement, [](auto& p) {
  p.Integer("CS", &TCoordinate::CS, &TCoordinate::CS);
  p.Float("X", &TCoordinate::GetX, &TCoordinate::SetX);
  p.Float("Y", &TCoordinate::GetY, &TCoordinate::SetY);
  p.Float("Z", &TCoordinate::GetZ, &TCoordinate::SetZ);
})
ZELTO_IMPLEMENT_ELEMENT(T2DCoordinate, TCoordinate, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(T3DCoordinate, T2DCoordinate, ZELTO_NO_PROPERTIES)

TCoordinate* TCoordinate::Clone() const {
  auto* copy = static_cast<TCoordinate*>(ClassType().Create());
  if (!copy) return nullptr;
  copy->SetX(GetX());
  copy->SetY(GetY());
  copy->SetZ(GetZ());
  copy->CS = CS;
  return copy;
}

TBoundsRecord TCoordinate::GetRect() const { return {GetX(), GetY(), GetX(), GetY()}; }

void TCoordinate::ReadData(zelto::ValueReader& reader, TQuickEntity& loaded) {
  TElement::ReadData(reader, loaded);
  const std::int32_t cs = reader.ReadInteger();
  if (cs < 0 || cs > 255) throw std::range_error("CS mimo rozsah: " + std::to_string(cs));
  CS = static_cast<std::uint8_t>(cs);
}

void TCoordinate::WriteData(zelto::ValueWriter& writer) {
  TElement::WriteData(writer);
  writer.WriteInteger(CS);
}

TElement* TCoordinate::CreateEnvelope() {
  TElement* envelope = TElement::CreateEnvelope();
  if (auto* c = dynamic_cast<TCoordinate*>(envelope)) {
    c->SetX(GetX());
    c->SetY(GetY());
    c->SetZ(GetZ());
  }
  return envelope;
}

namespace {

// X and Y travel as 16 raw bytes: two little-endian IEEE doubles.
void putDouble(std::string& raw, double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  for (int i = 0; i < 8; ++i) raw += static_cast<char>((bits >> (8 * i)) & 0xFF);
}

double getDouble(const std::string& raw, std::size_t at) {
  std::uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | static_cast<unsigned char>(raw[at + i]);
  double value = 0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

}  // namespace

void T2DCoordinate::ReadData(zelto::ValueReader& reader, TQuickEntity& loaded) {
  TCoordinate::ReadData(reader, loaded);
  const std::string raw = reader.ReadRaw(16);
  X = getDouble(raw, 0);
  Y = getDouble(raw, 8);
}

void T2DCoordinate::WriteData(zelto::ValueWriter& writer) {
  TCoordinate::WriteData(writer);
  std::string raw;
  putDouble(raw, X);
  putDouble(raw, Y);
  writer.WriteRaw(raw);
}

void T3DCoordinate::ReadData(zelto::ValueReader& reader, TQuickEntity& loaded) {
  T2DCoordinate::ReadData(reader, loaded);
  Z = reader.ReadFloat();
}

void T3DCoordinate::WriteData(zelto::ValueWriter& writer) {
  T2DCoordinate::WriteData(writer);
  writer.WriteFloat(Z);
}
