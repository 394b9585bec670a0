#pragma once
// What a read loaded from, kept for the later jobs that work on what it
// loaded: the files of the blocks it read, each as it was before the read,
// and what the forest hierarchy filed the stands by. A job holds these
// against the files as they are when it starts; where they changed, what
// was loaded is of another state of the district than its files, and the
// job writes nothing from it.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "areas/hierarchy_keys.h"
#include "platform/dbase_table.h"

namespace jobs {

struct ReadInputs {
  // The read as its messages name it: "Revír D:\GIS\4107\01 byl od načtení
  // změněn", and what the user does about it: "revír načtěte znovu".
  std::string ChangedText;
  std::string ReadAgainText;
  // A block file by the path it was read by: its stamp (none where there
  // was no such file) and what it held, so that a copy of the same bytes
  // laid over it is no change.
  struct File {
    std::string Path;
    std::optional<platform::DbfFileStamp> Stamp;
    std::optional<std::uint64_t> Content;
  };
  std::vector<File> Files;
  // The blocks read, and the blocks a read would take now where the read
  // looked for more than it found (the LHC's districts and their line
  // blocks; unset: the read looked for no more): one that lies there now
  // and was not read is missing from what was loaded.
  std::vector<std::string> Blocks;
  std::function<std::vector<std::string>()> BlocksNow;
  std::shared_ptr<HierarchyKeys> Keys;  // none: no hierarchy was built
};

// Notes the block and its files (TN.*) as they are now: before it is read.
void NoteBlockFiles(ReadInputs& inputs, const std::string& block);

// The first file of the read that is no longer as it was, in words; with
// `hierarchy`, also the first row that no longer gives the keys it was
// filed by. None when nothing the check covers changed: then no table is
// read, and the running job holds the hierarchy's tables as the check found
// them until it puts its block in place (platform::tableChangedDuringJob,
// asked again just before the swap): a save from the read up to then keeps
// the old block; one in the instant of the swap is the next job's to find.
std::optional<std::string> ChangeSinceRead(ReadInputs& inputs, bool hierarchy);

// "<read> byl od načtení změněn: <change>; blok <block> nebyl zapsán,
// <read again>"
std::string NotWrittenSinceReadText(const ReadInputs& inputs, const std::string& change, const std::string& block);

}  // namespace jobs
