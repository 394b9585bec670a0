#include "platform/dbase_structure.h"

#include "platform/codepage.h"

#include <algorithm>
#include <cstring>

namespace platform::dbf {
namespace {

void put16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

void put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint16_t get16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

std::uint32_t get32(const std::uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::string quoted(const std::string& name) { return "\"" + name + "\""; }

// Visual FoxPro follows the descriptors of its tables with the path of
// their database container; some libraries that mark a table so leave the
// path out, and the GIS reads their tables all the same.
bool mayHaveBacklink(std::uint8_t version) { return version == 0x30 || version == 0x31 || version == 0x32; }

DbfError damagedHeader(const std::string& what) { return DbfError("Poškozená hlavička tabulky: " + what); }

// A field without a name, or with the name of one before it, cannot be read
// by name; one of width 0 says nothing of where the fields after it start.
void checkDescriptor(const DbfField& field, const std::vector<DbfField>& before) {
  if (field.name.find_first_not_of(' ') == std::string::npos)
    throw damagedHeader(std::to_string(before.size() + 1) + ". položka nemá jméno");
  for (const DbfField& other : before)
    if (equalsIgnoringAsciiCase(other.name, field.name))
      throw damagedHeader("položka " + quoted(field.name) + " je v ní dvakrát");
  if (field.width == 0) throw damagedHeader("šířka položky " + quoted(field.name) + " je 0");
}

}  // namespace

CodePage codePageOf(std::uint8_t languageDriver) {
  return languageDriver == kLanguageLatin2 ? CodePage::Latin2 : CodePage::Windows1250;
}

void encodeHeader(const DbfHeader& h, std::uint8_t* out) {
  std::memset(out, 0, kHeaderSize);
  out[0] = h.version;
  out[1] = h.year;
  out[2] = h.month;
  out[3] = h.day;
  put32(out + 4, h.recordCount);
  put16(out + 8, h.headerLength);
  put16(out + 10, h.recordLength);
  out[29] = h.languageDriver;
}

DbfHeader decodeHeader(const std::uint8_t* in) {
  DbfHeader h;
  h.version = in[0];
  h.year = in[1];
  h.month = in[2];
  h.day = in[3];
  h.recordCount = get32(in + 4);
  h.headerLength = get16(in + 8);
  h.recordLength = get16(in + 10);
  h.languageDriver = in[29];
  return h;
}

void encodeFieldDescriptor(const DbfField& field, std::uint8_t* out, CodePage codePage) {
  std::memset(out, 0, kDescriptorSize);
  const std::string name = fromUtf8(field.name, codePage);
  std::memcpy(out, name.data(), std::min(name.size(), kMaxNameLength));
  out[11] = static_cast<std::uint8_t>(field.type);
  out[16] = static_cast<std::uint8_t>(field.width);
  out[17] = static_cast<std::uint8_t>(field.decimals);
}

DbfField decodeFieldDescriptor(const std::uint8_t* in, CodePage codePage) {
  DbfField field;
  const auto* nameEnd = std::find(in, in + 11, 0);
  field.name = toUtf8(std::string(in, nameEnd), codePage);
  field.type = static_cast<char>(in[11]);
  field.width = in[16];
  field.decimals = in[17];
  return field;
}

std::vector<DbfField> decodeFieldDescriptors(std::span<const std::uint8_t> bytes, std::uint16_t recordLength,
                                             CodePage codePage) {
  // Every field is read at the offset the widths before it give, and every
  // row where the header length says: a header that disagrees with itself
  // would hand each field the bytes of its neighbour, so it is refused.
  std::vector<DbfField> fields;
  std::uint32_t offset = 0;
  std::size_t at = kHeaderSize;
  for (; at + kDescriptorSize <= bytes.size() && bytes[at] != kDescriptorEnd; at += kDescriptorSize) {
    DbfField field = decodeFieldDescriptor(bytes.data() + at, codePage);
    checkDescriptor(field, fields);
    field.offset = offset;
    offset += field.width;
    fields.push_back(std::move(field));
  }
  if (at >= bytes.size() || bytes[at] != kDescriptorEnd) throw damagedHeader("popis položek nekončí v délce hlavičky");
  if (fields.empty()) throw damagedHeader("nepopisuje žádnou položku");
  if (offset + 1 != recordLength)
    throw damagedHeader("položky se značkou řádku zabírají " + std::to_string(offset + 1) +
                        " bajtů, hlavička uvádí délku věty " + std::to_string(recordLength));
  // Early dBase III wrote a NUL after the end mark and counted it in the
  // header length. Rows are read where the header length puts them, so a
  // header of either length that fits its descriptors reads the same rows.
  const std::size_t plain = at + 1;
  const bool backlink = mayHaveBacklink(bytes[0]);
  auto fits = [&](std::size_t length) {
    return bytes.size() == length || (bytes.size() == length + 1 && bytes[length] == 0);
  };
  if (!fits(plain) && !(backlink && fits(plain + kBacklinkSize)))
    throw damagedHeader("délka hlavičky " + std::to_string(bytes.size()) + " neodpovídá počtu položek (" +
                        std::to_string(fields.size()) + "), má být " + std::to_string(plain) +
                        (backlink ? " nebo " + std::to_string(plain + kBacklinkSize) : std::string()));
  return fields;
}

std::vector<DbfField> checkedNewFields(std::vector<DbfField> fields) {
  if (fields.empty()) throw DbfError("Tabulka musí mít aspoň jednu položku");
  std::uint32_t offset = 0;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    DbfField& f = fields[i];
    f.name = upperUtf8(f.name);
    f.type = static_cast<char>(f.type >= 'a' && f.type <= 'z' ? f.type - 32 : f.type);
    const std::string name = fromUtf8(f.name, CodePage::Windows1250);
    if (name.empty() || name.find_first_of(" \x0D") != std::string::npos)
      throw DbfError("Neplatné jméno položky " + quoted(f.name));
    if (name.size() > kMaxNameLength)
      throw DbfError("Jméno položky " + quoted(f.name) + " je delší než 10 znaků");
    for (std::size_t j = 0; j < i; ++j)
      if (fields[j].name == f.name) throw DbfError("Položka " + quoted(f.name) + " je v tabulce dvakrát");
    switch (f.type) {
      case 'C':
        if (f.width < 1 || f.width > 254)
          throw DbfError("Šířka znakové položky " + quoted(f.name) + " musí být 1 až 254");
        f.decimals = 0;
        break;
      case 'N':
        if (f.width < 1 || f.width > 20 || f.decimals > 15 || (f.decimals > 0 && f.decimals + 2 > f.width))
          throw DbfError("Nepřípustná šířka nebo počet desetinných míst číselné položky " + quoted(f.name));
        break;
      case 'D':
        f.width = 8;
        f.decimals = 0;
        break;
      case 'L':
        f.width = 1;
        f.decimals = 0;
        break;
      default:
        throw DbfError("Nepodporovaný typ položky " + quoted(f.name));
    }
    f.offset = offset;
    offset += f.width;
  }
  if (offset + 1 > 4000) throw DbfError("Věta tabulky je delší než 4000 bajtů");
  return fields;
}

std::vector<std::uint8_t> encodeEmptyTable(const std::vector<DbfField>& fields, const DbfHeader& marked) {
  DbfHeader header = marked;
  header.version = kVersion3;
  header.recordCount = 0;
  header.headerLength = static_cast<std::uint16_t>(kHeaderSize + kDescriptorSize * fields.size() + 1);
  header.recordLength = 1;
  for (const DbfField& f : fields) header.recordLength = static_cast<std::uint16_t>(header.recordLength + f.width);

  std::vector<std::uint8_t> bytes(header.headerLength + 1, 0);
  encodeHeader(header, bytes.data());
  for (std::size_t i = 0; i < fields.size(); ++i)
    encodeFieldDescriptor(fields[i], bytes.data() + kHeaderSize + kDescriptorSize * i,
                          codePageOf(header.languageDriver));
  bytes[header.headerLength - 1] = kDescriptorEnd;
  bytes[header.headerLength] = kFileEnd;
  return bytes;
}

}  // namespace platform::dbf
