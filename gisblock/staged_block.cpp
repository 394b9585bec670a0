#include "gisblock/staged_block.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/system_cause.h"
#include "platform/path_resolver.h"

namespace gisblock {

namespace fs = std::filesystem;

namespace {

fs::path sibling(const fs::path& target, const char* suffix) {
  return target.parent_path() / ("." + target.filename().string() + suffix);
}

std::string causeOf(const std::error_code& ec) { return platform::systemCause(ec); }

// Left in a staging directory by a writer that joined it and failed.
constexpr const char* kFailureNote = ".failed";

}  // namespace

fs::path StagedBlock::stagingFor(const fs::path& target) { return sibling(target, ".new"); }

fs::path StagedBlock::backupFor(const fs::path& target) { return sibling(target, ".old"); }

std::unique_ptr<StagedBlock> StagedBlock::joining(const std::string& path) {
  std::string why;
  const fs::path staging = resolve(path, why);
  const std::string name = staging.filename().string();
  std::error_code ec;
  if (staging.empty() || name.size() < 6 || name.front() != '.' || !name.ends_with(".new") ||
      !fs::is_directory(staging, ec))
    return nullptr;
  std::unique_ptr<StagedBlock> block(new StagedBlock);
  block->staging_ = staging;
  block->target_ = staging.parent_path() / name.substr(1, name.size() - 5);
  block->shown_ = block->target_.string();
  block->ok_ = true;
  block->joined_ = true;
  return block;
}

fs::path StagedBlock::resolve(std::string_view shownPath, std::string& error) {
  std::string name(shownPath);
  while (!name.empty() && (name.back() == '\\' || name.back() == '/')) name.pop_back();
  if (name.empty()) {
    error = "Blok nelze zapsat: chybí jméno adresáře bloku";
    return {};
  }
  const fs::path mapped = platform::pathResolver().forWriting(name);
  if (mapped.empty() || !mapped.has_filename()) {
    error = "Blok " + std::string(shownPath) + " nelze zapsat: cesta nevede na žádný adresář";
    return {};
  }
  std::error_code ec;
  const fs::path absolute = fs::absolute(mapped, ec);
  fs::path target = (ec ? mapped : absolute).lexically_normal();
  if (!target.has_filename() || target == target.root_path()) {
    error = "Blok " + std::string(shownPath) + " nelze zapsat: cesta nevede na žádný adresář";
    return {};
  }
  return target;
}

StagedBlock::StagedBlock(std::string shownPath) : shown_(std::move(shownPath)) {
  std::string why;
  target_ = resolve(shown_, why);
  if (target_.empty()) {
    fail(why);
    return;
  }
  std::error_code ec;
  staging_ = stagingFor(target_);
  // What an interrupted earlier run left behind is of no use to anybody,
  // but an old block it had moved aside goes back where it was.
  fs::remove_all(staging_, ec);
  const fs::path backup = backupFor(target_);
  if (!fs::exists(fs::symlink_status(target_, ec)) && fs::is_directory(backup, ec)) fs::rename(backup, target_, ec);
  if (!fs::is_directory(target_.parent_path(), ec)) {
    std::string parent = shown_;
    while (!parent.empty() && (parent.back() == '\\' || parent.back() == '/')) parent.pop_back();
    parent.erase(std::min(parent.size(), parent.find_last_of("/\\")));
    fail("Blok " + shown_ + " nelze zapsat: adresář " + (parent.empty() ? target_.parent_path().string() : parent) +
         " neexistuje");
    return;
  }
  if (!fs::create_directory(staging_, ec) || ec) {
    fail("Blok " + shown_ + " nelze zapsat: " + causeOf(ec));
    return;
  }
  ok_ = true;
}

StagedBlock::~StagedBlock() {
  if (committed_ || joined_ || staging_.empty()) return;
  std::error_code ec;
  fs::remove_all(staging_, ec);
}

bool StagedBlock::fail(std::string text) {
  error_ = std::move(text);
  return false;
}

void StagedBlock::noteFailure(std::string_view file, std::string_view cause) {
  if (failed_) return;
  failed_ = true;
  error_ = "Blok " + shown_ + " nebyl zapsán, soubor " + shown(file) + ": " + shownText(cause) +
           ". Původní blok zůstává beze změny.";
  if (joined_) std::ofstream(staging_ / kFailureNote, std::ios::binary) << error_;
}

void StagedBlock::abandon(std::string_view reason) {
  if (failed_) return;
  failed_ = true;
  error_ = "Blok " + shown_ + " nebyl zapsán: " + std::string(reason) + ". Původní blok zůstává beze změny.";
  if (joined_) std::ofstream(staging_ / kFailureNote, std::ios::binary) << error_;
}

std::string joinShownPath(std::string_view directory, std::string_view name) {
  std::string joined(directory);
  while (!joined.empty() && (joined.back() == '\\' || joined.back() == '/')) joined.pop_back();
  const char separator = joined.find('\\') != std::string::npos ? '\\' : '/';
  std::string rest(name);
  for (char& c : rest)
    if (c == '/' || c == '\\') c = separator;
  return joined + separator + rest;
}

std::string StagedBlock::shownFile(std::string_view fileName) const { return joinShownPath(shown_, fileName); }

std::string StagedBlock::shown(std::string_view path) const {
  for (const fs::path& base : {staging_, target_}) {
    const std::string prefix = base.string();
    if (prefix.empty() || path.substr(0, prefix.size()) != prefix) continue;
    std::string_view rest = path.substr(prefix.size());
    if (rest.empty()) return shown_;
    if (rest.front() != '/' && rest.front() != '\\') continue;
    return shownFile(rest.substr(1));
  }
  // A bare file name is one of the block's own files.
  if (path.find_first_of("/\\") == std::string_view::npos) return shownFile(path);
  return std::string(path);
}

std::string StagedBlock::shownText(std::string_view text) const {
  std::string out(text);
  for (const fs::path& base : {staging_, target_}) {
    const std::string prefix = base.string();
    if (prefix.empty()) continue;
    std::string mapped;
    for (std::size_t at = 0;;) {
      const std::size_t hit = out.find(prefix, at);
      if (hit == std::string::npos) {
        mapped.append(out, at);
        break;
      }
      mapped.append(out, at, hit - at);
      std::size_t end = hit + prefix.size();
      if (end < out.size() && (out[end] == '/' || out[end] == '\\')) {
        // The file name that follows, up to a blank or a line end.
        const std::size_t stop = std::min(out.size(), out.find_first_of(" \r\n\"'", end));
        mapped += shown(std::string_view(out).substr(hit, stop - hit));
        end = stop;
      } else if (end == out.size() || !std::isalnum(static_cast<unsigned char>(out[end]))) {
        mapped += shown_;
      } else {
        mapped.append(out, hit, end - hit);  // another name that begins the same
      }
      at = end;
    }
    out = std::move(mapped);
  }
  return out;
}

bool StagedBlock::commit() {
  if (!ok_ || failed_ || joined_) return false;
  if (committed_) return true;
  std::error_code ec;
  if (fs::exists(staging_ / kFailureNote, ec)) {
    std::ifstream note(staging_ / kFailureNote, std::ios::binary);
    failed_ = true;
    return fail(shownText(std::string(std::istreambuf_iterator<char>(note), {})));
  }
  const fs::path backup = backupFor(target_);
  fs::remove_all(backup, ec);
  const bool hadOld = fs::exists(fs::symlink_status(target_, ec));
  if (hadOld) {
    fs::rename(target_, backup, ec);
    if (ec) return fail("Starý blok " + shown_ + " nelze nahradit: " + causeOf(ec));
  }
  fs::rename(staging_, target_, ec);
  if (ec) {
    const std::string cause = causeOf(ec);
    std::error_code back;
    if (hadOld) fs::rename(backup, target_, back);
    return fail("Nový blok " + shown_ + " nelze dát na místo starého: " + cause);
  }
  committed_ = true;
  if (hadOld) fs::remove_all(backup, ec);
  return true;
}

}  // namespace gisblock
