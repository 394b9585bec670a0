#include "gisblock/staged_block.h"

#include <system_error>

#include "platform/path_resolver.h"

namespace gisblock {

namespace fs = std::filesystem;

namespace {

fs::path sibling(const fs::path& target, const char* suffix) {
  return target.parent_path() / ("." + target.filename().string() + suffix);
}

std::string causeOf(const std::error_code& ec) { return ec.message(); }

}  // namespace

fs::path StagedBlock::stagingFor(const fs::path& target) { return sibling(target, ".new"); }
fs::path StagedBlock::backupFor(const fs::path& target) { return sibling(target, ".old"); }

StagedBlock::StagedBlock(std::string shownPath) : shown_(std::move(shownPath)) {
  std::string name = shown_;
  while (!name.empty() && (name.back() == '\\' || name.back() == '/')) name.pop_back();
  if (name.empty()) {
    fail("Blok nelze zapsat: chybí jméno adresáře bloku");
    return;
  }
  fs::path mapped = platform::pathResolver().forWriting(name);
  if (mapped.empty() || !mapped.has_filename()) {
    fail("Blok " + shown_ + " nelze zapsat: cesta nevede na žádný adresář");
    return;
  }
  std::error_code ec;
  fs::path absolute = fs::absolute(mapped, ec);
  target_ = (ec ? mapped : absolute).lexically_normal();
  if (!target_.has_filename() || target_ == target_.root_path()) {
    fail("Blok " + shown_ + " nelze zapsat: cesta nevede na žádný adresář");
    return;
  }
  staging_ = stagingFor(target_);
  // What an interrupted earlier run left behind is of no use to anybody.
  fs::remove_all(staging_, ec);
  if (!fs::is_directory(target_.parent_path(), ec)) {
    fail("Blok " + shown_ + " nelze zapsat: adresář " + target_.parent_path().string() + " neexistuje");
    return;
  }
  if (!fs::create_directory(staging_, ec) || ec) {
    fail("Blok " + shown_ + " nelze zapsat: " + causeOf(ec));
    return;
  }
  ok_ = true;
}

StagedBlock::~StagedBlock() {
  if (committed_ || staging_.empty()) return;
  std::error_code ec;
  fs::remove_all(staging_, ec);
}

bool StagedBlock::fail(std::string text) {
  error_ = std::move(text);
  return false;
}

bool StagedBlock::commit() {
  if (!ok_) return false;
  if (committed_) return true;
  std::error_code ec;
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
