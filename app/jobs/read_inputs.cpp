#include "app/jobs/read_inputs.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "gisblock/staged_block.h"
#include "platform/path_resolver.h"
#include "platform/regular_file.h"

namespace jobs {

namespace {

// The files a block's readers read; its tables and their index files are
// looked up row by row as they are at each job.
constexpr const char* kBlockFiles[] = {"TN.CRD", "TN.LIN", "TN.ARE", "TN.PNT", "TN.TBX", "TN.TTX"};

std::optional<platform::DbfFileStamp> StampOf(const std::filesystem::path& file) {
  return file.empty() ? std::nullopt : platform::fileStampOf(file);
}

// A hash of the file's bytes; none where it cannot be read whole. Read in
// chunks of at most a megabyte, as large as the file where it is smaller,
// and not cleared first: the same bytes give the same hash.
std::optional<std::uint64_t> ContentOf(const std::filesystem::path& file, std::uint64_t size) {
  platform::RegularFileStream in(file, std::ios::in);
  if (!in) return std::nullopt;
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  const std::size_t length = static_cast<std::size_t>(std::clamp<std::uint64_t>(size, 1, std::uint64_t{1} << 20));
  const std::unique_ptr<char[]> chunk = std::make_unique_for_overwrite<char[]>(length);
  while (in) {
    in.read(chunk.get(), static_cast<std::streamsize>(length));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (got == 0) break;
    hash = (hash ^ std::hash<std::string_view>{}(std::string_view(chunk.get(), got))) * 0x100000001b3ULL;
  }
  if (in.bad()) return std::nullopt;
  return hash;
}

}  // namespace

void NoteBlockFiles(ReadInputs& inputs, const std::string& block) {
  inputs.Blocks.push_back(block);
  for (const char* name : kBlockFiles) {
    ReadInputs::File& file = inputs.Files.emplace_back();
    file.Path = gisblock::joinShownPath(block, name);
    const std::filesystem::path found = platform::pathResolver().existing(file.Path);
    // The stamp first: a save while the bytes are hashed leaves a stamp
    // that differs, and the bytes are then compared.
    file.Stamp = StampOf(found);
    if (file.Stamp) file.Content = ContentOf(found, file.Stamp->size);
  }
}

std::optional<std::string> ChangeSinceRead(ReadInputs& inputs, bool hierarchy) {
  for (ReadInputs::File& file : inputs.Files) {
    const std::filesystem::path found = platform::pathResolver().existing(file.Path);
    const std::optional<platform::DbfFileStamp> now = StampOf(found);
    if (now == file.Stamp) continue;
    const std::string shown = "soubor " + platform::pathResolver().userSpelling(file.Path);
    if (!file.Stamp) return shown + " přibyl";
    if (!now) return shown + " chybí";
    // Saved again with what it held (a copy put back, say): the same block.
    const std::optional<std::uint64_t> content = ContentOf(found, now->size);
    if (!content || content != file.Content) return shown + " byl změněn";
    file.Stamp = now;
  }
  if (inputs.BlocksNow) {
    for (const std::string& block : inputs.BlocksNow())
      if (std::find(inputs.Blocks.begin(), inputs.Blocks.end(), block) == inputs.Blocks.end())
        return "blok " + platform::pathResolver().userSpelling(block) + " přibyl";
  }
  if (!hierarchy || !inputs.Keys) return std::nullopt;
  std::optional<std::string> change = inputs.Keys->FirstChange();
  if (!change) inputs.Keys->HoldInJob();
  return change;
}

std::string NotWrittenSinceReadText(const ReadInputs& inputs, const std::string& change, const std::string& block) {
  return inputs.ChangedText + ": " + change + "; blok " + block + " nebyl zapsán, " + inputs.ReadAgainText;
}

}  // namespace jobs
