#pragma once
// A block directory written beside the one it replaces. Writers write into
// the staging directory; only when every file and table was written and
// closed without error does `commit` put it in place of the old block. Until
// then, and whenever anything fails, the old block stays as it was, byte for
// byte. A staging directory that was not committed goes with the object.
//
//   gisblock::StagedBlock staged("D:\\GIS\\4107\\01\\01_16PSK.BLK");
//   if (!staged.ok()) { report(staged.error()); return; }
//   writeEverythingInto(staged.stagingPath());
//   if (!allWritten || !staged.commit()) report(staged.error());
#include <filesystem>
#include <string>

namespace gisblock {

class StagedBlock {
 public:
  // `shownPath`: the block as the user named it; messages use this form.
  explicit StagedBlock(std::string shownPath);
  ~StagedBlock();
  StagedBlock(const StagedBlock&) = delete;
  StagedBlock& operator=(const StagedBlock&) = delete;

  // False when the path resolves to nothing or the staging directory cannot
  // be made; error() says why.
  bool ok() const { return ok_; }
  const std::string& error() const { return error_; }

  const std::string& shownPath() const { return shown_; }
  const std::filesystem::path& target() const { return target_; }
  const std::filesystem::path& staging() const { return staging_; }
  std::string stagingPath() const { return staging_.string(); }

  // Puts the staging directory in place of the target (which may be missing).
  // On failure the old block is back where it was and error() names the cause.
  bool commit();
  bool committed() const { return committed_; }

  // The hidden siblings used while a block is replaced.
  static std::filesystem::path stagingFor(const std::filesystem::path& target);
  static std::filesystem::path backupFor(const std::filesystem::path& target);

 private:
  bool fail(std::string text);

  std::string shown_;
  std::filesystem::path target_;
  std::filesystem::path staging_;
  bool ok_ = false;
  bool committed_ = false;
  std::string error_;
};

}  // namespace gisblock
