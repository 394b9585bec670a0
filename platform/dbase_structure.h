#pragma once
// The fixed part of a dBase III table file: the 32-byte header, one 32-byte
// descriptor per field and the 0x0D that ends them. Encoded and decoded field
// by field, little-endian.
#include "platform/codepage.h"

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A failure of the table layer; the text is the one the user is shown.
class DbfError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct DbfField {
  std::string name;  // UTF-8
  char type = 'C';   // C, N, D, L (others are read as text)
  std::uint16_t width = 0;  // a byte in the file; wider only in definitions still to be checked
  std::uint16_t decimals = 0;
  std::uint32_t offset = 0;  // of the field's first byte in a record, after the deleted flag
};

struct DbfHeader {
  std::uint8_t version = 0x03;
  std::uint8_t year = 0;  // since 1900
  std::uint8_t month = 1;
  std::uint8_t day = 1;
  std::uint32_t recordCount = 0;
  std::uint16_t headerLength = 0;
  std::uint16_t recordLength = 0;
  std::uint8_t languageDriver = 0;
};

namespace dbf {

constexpr std::size_t kHeaderSize = 32;
constexpr std::size_t kDescriptorSize = 32;
constexpr std::uint8_t kDescriptorEnd = 0x0D;
constexpr std::uint8_t kFileEnd = 0x1A;
constexpr std::uint8_t kVersion3 = 0x03;
// The language-driver byte names the code page of the table's text.
constexpr std::uint8_t kLanguageLatin2 = 0x64;  // DOS, code page 852
constexpr std::uint8_t kLanguageCp1250 = 0xC8;  // Windows
constexpr std::size_t kMaxNameLength = 10;
constexpr std::size_t kBacklinkSize = 263;

// The code page of text in a table whose header holds this language
// driver: DOS Latin 2 where it says so, Windows-1250, the code page of the
// tables this program writes, for every other byte.
CodePage codePageOf(std::uint8_t languageDriver);

void encodeHeader(const DbfHeader& header, std::uint8_t* out32);
DbfHeader decodeHeader(const std::uint8_t* in32);

// Field names in the table's code page.
void encodeFieldDescriptor(const DbfField& field, std::uint8_t* out32, CodePage codePage = CodePage::Windows1250);
DbfField decodeFieldDescriptor(const std::uint8_t* in32, CodePage codePage = CodePage::Windows1250);

// The descriptors that follow the header, up to the 0x0D, with their
// record offsets. Throws DbfError, saying what is wrong, when the header
// contradicts itself: a field without a name, of width 0 or named twice,
// widths that with the row mark do not make the record length, or a header
// length that is not that of the descriptors and their end mark, with the
// Visual FoxPro backlink or without it where the version byte marks such a
// table (early dBase III's NUL after the end mark counted or not).
std::vector<DbfField> decodeFieldDescriptors(std::span<const std::uint8_t> headerBytes, std::uint16_t recordLength,
                                             CodePage codePage = CodePage::Windows1250);

// Checks the definitions of a new table against the limits of dBase III,
// fixes the widths of D and L fields, upper-cases the names and sets the
// offsets. Throws DbfError naming the first field that breaks a limit.
std::vector<DbfField> checkedNewFields(std::vector<DbfField> fields);

// The bytes of an empty table with these fields (from checkedNewFields),
// dated and marked with the language driver as `header` gives them.
std::vector<std::uint8_t> encodeEmptyTable(const std::vector<DbfField>& fields, const DbfHeader& header);

}  // namespace dbf
}  // namespace platform
