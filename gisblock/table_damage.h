#pragma once
// The attribute tables a read string's objects keep their rows in. A table
// whose rows contradict its header hides rows it holds or lacks rows it
// counts: what is exported from the string would lose the attributes of
// those objects or take another object's, so such a table damages the read
// as damaged block files do.
#include <functional>
#include <string>

#include "gisblock/block_damage.h"

class TEntity;

namespace gisblock {

// The tables of the block that the string's objects name by kind letter and
// Druh, each checked once (see platform::DbfTable::rowDamage); one that
// cannot be opened is damaged too, a missing one is not. Each fault is
// posted through `warn` as "Čtení bloku: " and the table with the fault; a
// table that cannot be opened only where nothing told it before in the
// work under way (unopenedTableNotice).
BlockDamage TableDamage(const TEntity& string, const std::string& block,
                        const std::function<void(const std::string&)>& warn);

}  // namespace gisblock
