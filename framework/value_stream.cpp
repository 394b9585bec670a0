#include "framework/value_stream.h"

#include "framework/errors.h"
#include "framework/extended_float.h"

namespace zelto {

void ValueWriter::WriteInteger(std::int32_t value) {
  auto put = [this](std::int64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) bytes_.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
  };
  if (value >= -128 && value <= 127) {
    bytes_.push_back(vaInt8);
    put(value, 1);
  } else if (value >= -32768 && value <= 32767) {
    bytes_.push_back(vaInt16);
    put(value, 2);
  } else {
    bytes_.push_back(vaInt32);
    put(value, 4);
  }
}

void ValueWriter::WriteString(std::string_view text) {
  std::string converted = toFile_ ? toFile_(text) : std::string(text);
  if (converted.size() <= 255) {
    bytes_.push_back(vaString);
    bytes_.push_back(static_cast<std::uint8_t>(converted.size()));
  } else {
    bytes_.push_back(vaLString);
    auto n = static_cast<std::uint32_t>(converted.size());
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<std::uint8_t>(n >> (8 * i)));
  }
  bytes_.insert(bytes_.end(), converted.begin(), converted.end());
}

void ValueWriter::WriteFloat(double value) {
  auto ext = framework::encodeExtended80(value);
  bytes_.push_back(vaExtended);
  bytes_.insert(bytes_.end(), ext.begin(), ext.end());
}

// ---------------------------------------------------------------------------

void ValueReader::Fail(const std::string& what) const {
  throw EZeltoError("Chyba dat streamu na pozici " + std::to_string(pos_) + ": " + what);
}

void ValueReader::Need(std::size_t count) const {
  if (size_ - pos_ < count || pos_ > size_) Fail("neočekávaný konec dat");
}

std::uint8_t ValueReader::Byte() {
  Need(1);
  return data_[pos_++];
}

ValueType ValueReader::NextValue() const {
  Need(1);
  return static_cast<ValueType>(data_[pos_]);
}

bool ValueReader::EndOfList() const { return NextValue() == vaNull; }

std::int32_t ValueReader::ReadInteger() {
  std::uint8_t type = Byte();
  int bytes = type == vaInt8 ? 1 : type == vaInt16 ? 2 : type == vaInt32 ? 4 : 0;
  if (bytes == 0) {
    --pos_;
    Fail("očekávám celé číslo");
  }
  Need(bytes);
  std::uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= static_cast<std::uint32_t>(data_[pos_ + i]) << (8 * i);
  pos_ += bytes;
  if (bytes == 1) return static_cast<std::int8_t>(v);
  if (bytes == 2) return static_cast<std::int16_t>(v);
  return static_cast<std::int32_t>(v);
}

std::string ValueReader::ReadString() {
  std::uint8_t type = Byte();
  std::size_t len = 0;
  if (type == vaString) {
    len = Byte();
  } else if (type == vaLString) {
    Need(4);
    for (int i = 0; i < 4; ++i) len |= static_cast<std::size_t>(data_[pos_ + i]) << (8 * i);
    pos_ += 4;
  } else {
    --pos_;
    Fail("očekávám řetězec");
  }
  std::string raw = ReadRaw(len);
  return fromFile_ ? fromFile_(raw) : raw;
}

char ValueReader::ReadChar() {
  if (NextValue() != vaString) Fail("očekávám znak");
  Need(2);
  if (data_[pos_ + 1] != 1) Fail("očekávám znak");
  pos_ += 2;
  return static_cast<char>(Byte());
}

double ValueReader::ReadFloat() {
  if (NextValue() == vaExtended) {
    ++pos_;
    Need(10);
    double v = framework::decodeExtended80(data_ + pos_);
    pos_ += 10;
    return v;
  }
  return ReadInteger();
}

void ValueReader::ReadListBegin() {
  if (Byte() != vaList) {
    --pos_;
    Fail("očekávám začátek seznamu");
  }
}

void ValueReader::ReadListEnd() {
  if (Byte() != vaNull) {
    --pos_;
    Fail("očekávám konec seznamu");
  }
}

std::string ValueReader::ReadRaw(std::size_t count) {
  Need(count);
  std::string raw(reinterpret_cast<const char*>(data_ + pos_), count);
  pos_ += count;
  return raw;
}

// ---------------------------------------------------------------------------

}  // namespace zelto
