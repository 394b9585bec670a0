#pragma once
// What a read found wrong with the files of a block: a record that refers
// to records its files do not hold, a file cut inside a record. A block
// read with damage still shows what it holds, but nothing exported from it
// may take the place of a block made from sound input, so the damage goes
// with the string read and is looked up before an export.
#include <cstdint>
#include <optional>
#include <string>

class TElement;
class TEntity;

namespace gisblock {

struct BlockDamage {
  std::string First;  // the first fault: file, record and what is wrong
  int Count = 0;
  // When the first fault was met, among the faults of every reader: a
  // reader's damage joins its companions' (the line file's, the vertex
  // file's), and the first is the one met first, whichever file it is of.
  std::uint64_t FirstAt = 0;

  // Of the faults counted, the tables that cannot be opened: whoever reads
  // their rows tells them with their cause in words of its own.
  int Unopened = 0;

  void Note(const std::string& fault);
  void NoteUnopened(const std::string& fault);
  void Add(const BlockDamage& other);
  bool Any() const { return Count > 0; }
  // The first fault, and how many there were when more.
  std::string Text() const;
};

// Marks a string read from the damaged block at `block`; nothing when the
// damage is none.
void MarkDamage(TEntity& string, const std::string& block, const BlockDamage& damage);

struct DamagedBlock {
  std::string Block;  // the block directory
  std::string Damage;
};
// The first marked string in what a read loaded (a string, a layer, a
// model of layers); with `beyondUnopened`, the first whose damage is more
// than tables that cannot be opened (BlockDamage::Unopened).
std::optional<DamagedBlock> FindDamagedBlock(TElement* loaded, bool beyondUnopened = false);

}  // namespace gisblock
