#pragma once
// The value encoding of element stream data and model files: every value
// starts with a value-type byte; integers take the smallest of 1, 2 or 4
// little-endian bytes, lists are bracketed by a start and an end byte.
// Texts are handed through as bytes; the code that opens a file installs a
// converter when the file's code page is not UTF-8.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zelto {

enum ValueType : std::uint8_t {
  vaNull = 0,  // end of list
  vaList = 1,
  vaInt8 = 2,
  vaInt16 = 3,
  vaInt32 = 4,
  vaExtended = 5,
  vaString = 6,
  vaLString = 12,
};

using TextConverter = std::function<std::string(std::string_view)>;

class ValueWriter {
 public:
  void WriteInteger(std::int32_t value);
  void WriteString(std::string_view text);
  void WriteFloat(double value);  // 10-byte extended precision
  void WriteListBegin() { bytes_.push_back(vaList); }
  void WriteListEnd() { bytes_.push_back(vaNull); }
  void WriteRaw(std::string_view raw) { bytes_.insert(bytes_.end(), raw.begin(), raw.end()); }

  void SetTextConverter(TextConverter toFile) { toFile_ = std::move(toFile); }
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
  TextConverter toFile_;
};

// Reads from a byte buffer it does not own. Malformed or truncated data
// raises EZeltoError naming the offset.
class ValueReader {
 public:
  ValueReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  explicit ValueReader(const std::vector<std::uint8_t>& bytes) : ValueReader(bytes.data(), bytes.size()) {}

  std::int32_t ReadInteger();
  std::string ReadString();
  char ReadChar();
  double ReadFloat();  // extended or integer
  void ReadListBegin();
  void ReadListEnd();
  // Whether the next value is the end of a list, without consuming it.
  bool EndOfList() const;
  ValueType NextValue() const;
  std::string ReadRaw(std::size_t count);

  std::size_t Position() const { return pos_; }
  std::size_t Size() const { return size_; }
  bool AtEnd() const { return pos_ >= size_; }
  void SetTextConverter(TextConverter fromFile) { fromFile_ = std::move(fromFile); }

 private:
  std::uint8_t Byte();
  void Need(std::size_t count) const;
  [[noreturn]] void Fail(const std::string& what) const;

  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
  TextConverter fromFile_;
};

}  // namespace zelto
