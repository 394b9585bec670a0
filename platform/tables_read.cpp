#include "platform/tables_read.h"

#include <map>
#include <utility>
#include <vector>

#include "platform/path_resolver.h"
#include "platform/progress_form.h"

namespace platform {
namespace fs = std::filesystem;

namespace {

struct JobReads {
  std::uint64_t job = 0;
  std::map<fs::path, std::optional<DbfFileStamp>> first;  // by the file's absolute path
  std::vector<std::string> absent;                         // as the user spells them
  std::optional<fs::path> changed;
};

// The running job's record; a record of an earlier job is dropped.
JobReads* reads() {
  static JobReads state;
  const std::uint64_t job = BreakableJob::current();
  if (job == 0) return nullptr;
  if (state.job != job) state = JobReads{.job = job, .first = {}, .absent = {}, .changed = {}};
  return &state;
}

fs::path keyOf(const fs::path& file) {
  std::error_code ec;
  fs::path absolute = fs::absolute(file, ec);
  return (ec ? file : absolute).lexically_normal();
}

// Both paths as keyOf gives them.
bool isUnder(const fs::path& file, const fs::path& directory) {
  std::string under = directory.string();
  if (!under.ends_with('/')) under += '/';
  return file.string().starts_with(under);
}

struct ReadAction {
  fs::path file;
  std::function<void()> action;
};

ReadAction& readAction() {
  static ReadAction at;
  return at;
}

}  // namespace

void atTableRead(const fs::path& file, std::function<void()> action) {
  readAction() = {keyOf(file), std::move(action)};
}

void noteTableRead(const fs::path& file, const DbfFileStamp& stamp) { holdTableAsFound(file, stamp); }

void holdTableAsFound(const fs::path& file, const std::optional<DbfFileStamp>& stamp) {
  if (JobReads* job = reads()) job->first.emplace(keyOf(file), stamp);
  ReadAction& at = readAction();
  if (at.action && keyOf(file) == at.file) std::exchange(at.action, {})();
}

void holdTableAbsent(const std::string& spelled) {
  if (JobReads* job = reads()) job->absent.push_back(spelled);
}

// Both follow a write that is done: they must not fail it. Where the record
// cannot be kept up (no memory for a path), the job checks nothing more
// rather than take its own write for another's.
void noteOwnTableWrite(const fs::path& file, const DbfFileStamp& before, const DbfFileStamp& after) noexcept {
  JobReads* job = reads();
  if (!job || job->first.empty()) return;
  try {
    const auto found = job->first.find(keyOf(file));
    if (found != job->first.end() && found->second == before) found->second = after;
  } catch (const std::exception&) {
    job->first.clear();
  }
}

void forgetTablesUnder(const fs::path& directory) noexcept {
  JobReads* job = reads();
  if (!job || job->first.empty() || directory.empty()) return;
  try {
    const fs::path under = keyOf(directory);
    std::erase_if(job->first, [&](const auto& read) { return isUnder(read.first, under); });
  } catch (const std::exception&) {
    job->first.clear();
  }
}

std::optional<fs::path> tableChangedDuringJob() {
  JobReads* job = reads();
  if (!job) return std::nullopt;
  if (job->changed) return job->changed;
  for (const auto& [file, stamp] : job->first) {
    if (DbfTable::stampOf(file) == stamp) continue;
    job->changed = file;
    return job->changed;
  }
  for (const std::string& spelled : job->absent) {
    if (!pathResolver().exists(spelled)) continue;
    job->changed = pathResolver().existing(spelled);
    break;
  }
  return job->changed;
}

std::optional<fs::path> tableFoundChangedInJob() {
  const JobReads* job = reads();
  return job ? job->changed : std::nullopt;
}

std::string changedDuringJobText(const fs::path& table, bool sentence) {
  return (sentence ? "Tabulka " : "tabulka ") + pathResolver().userSpelling(table) + " byla během práce změněna jiným programem";
}

}  // namespace platform
