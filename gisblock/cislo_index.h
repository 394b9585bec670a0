#pragma once
// The .IND file of an attribute table: no header, then one 32-bit
// little-endian entry per CISLO (at byte 4 * CISLO) holding the physical
// record number of the row with that CISLO, or -1 where none is.
#include "platform/dbase_table.h"

#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace gisblock {

class CisloIndex {
 public:
  // Object numbers run from 1 to this; the index keeps no row beyond it, so
  // that a stray value cannot blow the file up.
  static constexpr std::int32_t kMaxCislo = 500000;
  static constexpr std::int32_t kGap = -1;

  struct Built;
  // Walks the live rows of an open table in physical order; a later row of
  // the same CISLO wins, and the CISLO is noted among the duplicates. Rows
  // whose CISLO is negative or beyond kMaxCislo are left out and reported.
  // Throws platform::DbfError when a row cannot be read or the table has no
  // CISLO field; the text of the latter leaves the table for the caller to name.
  static Built build(platform::DbfTable& table);

  // The entries of an .IND file's bytes; a partial entry at the end, and
  // entries beyond kMaxCislo, are left out.
  static CisloIndex decode(const std::vector<std::uint8_t>& bytes);

  // Records `recNo` for `cislo` (0 to kMaxCislo), filling gaps up to it.
  void set(std::int32_t cislo, std::int32_t recNo);
  std::int32_t entry(std::int32_t cislo) const;
  std::vector<std::uint8_t> encode() const;

 private:
  std::vector<std::int32_t> entries_;
};

struct CisloIndex::Built {
  // A CISLO of more than one live row (0, the number of a row without one,
  // is none): its first and its last row, the one the index names.
  struct Duplicate {
    std::int32_t cislo;
    std::uint32_t first, last;
    std::uint32_t rows;
  };
  CisloIndex index;
  std::vector<std::string> warnings;
  std::vector<Duplicate> duplicates;  // in the order their second rows come
};

// The CISLO of a table row as its text converts to an integer; 0 when it
// does not.
std::int32_t cisloFromText(const std::string& text);
// The same of a row's CISLO field bytes, without making a text where the
// bytes are blanks and then at most nine digits, as the tables hold it:
// a look at every row of a table reads it so.
std::int32_t cisloFromField(const platform::DbfField& field, std::string_view bytes, platform::CodePage codePage);

// The entry for `cislo` in an open .IND file; -1 beyond its end or for a
// CISLO that has no place in it.
std::int32_t readIndexEntry(std::istream& file, std::int32_t cislo);

}  // namespace gisblock
