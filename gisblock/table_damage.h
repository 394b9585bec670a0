#pragma once
// The attribute tables a read string's objects keep their rows in. A table
// whose rows contradict its header hides rows it holds or lacks rows it
// counts: what is exported from the string would lose the attributes of
// those objects or take another object's, so such a table damages the read
// as damaged block files do. So does a row that names (by its CISLO) an
// element beyond the block file holding the elements of its kind: that file
// was cut short, even to nothing, and a read of it alone meets no sign of it.
#include <cstdint>
#include <functional>
#include <string>

#include "gisblock/block_damage.h"

class TEntity;

namespace gisblock {

// The elements the rows of a read's tables name: the tables' kind letter
// (B points, L lines, P areas, T texts) and the block file holding those
// elements, with the records it holds.
struct TableElements {
  char letter;
  std::string file;  // "TN.ARE"
  std::int32_t records;
};

// The tables of the block that the string's objects name by kind letter and
// Druh (none without a string), each checked once (see
// platform::DbfTable::rowDamage); one that cannot be opened is damaged too,
// a missing one is not. Besides, every table of the block of the elements'
// letter, of any Druh, whatever kinds the string holds: the first of its
// live rows whose CISLO names an element beyond the file, as "řádek 3 má
// CISLO 40 mimo soubor TN.ARE (0 záznamů)" (a row without a number, CISLO 0,
// or one the index leaves out as negative, names none). Each fault is
// posted through `warn` as "Čtení bloku: " and the table with the fault; a
// table that cannot be opened only where nothing told it before in the
// work under way (unopenedTableNotice).
BlockDamage TableDamage(const TEntity* string, const std::string& block, const TableElements& elements,
                        const std::function<void(const std::string&)>& warn);

}  // namespace gisblock
