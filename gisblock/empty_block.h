#pragma once
// The files of a block that holds no object: each record file carries only
// its dummy record 0, and TN.TTX the banner line for it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gisblock {

struct BlockFile {
  std::string name;  // upper case, as the block keeps it
  std::vector<std::uint8_t> bytes;
};

// The dummy records: zero bytes but the deleted flag of each kind.
std::vector<std::uint8_t> dummyRecord(std::string_view fileName);

// TN.TTX of a new block: the banner line naming the directory, CR LF.
std::string emptyTextFile(std::string_view blockDirectory);

// The six TN files in the order they are written.
std::vector<BlockFile> emptyBlockFiles(std::string_view blockDirectory);

}  // namespace gisblock
