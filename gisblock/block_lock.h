#pragma once
// The right to replace a block: a hidden file beside the block that one
// writer at a time holds locked. The system drops the lock with the process
// that held it, so a block whose writer was killed is free again; the file
// goes when the lock is given back.
#include <filesystem>
#include <system_error>

namespace gisblock {

class BlockLock {
 public:
  enum class Result { Taken, Busy, Failed };

  BlockLock() = default;
  ~BlockLock() { release(); }
  BlockLock(const BlockLock&) = delete;
  BlockLock& operator=(const BlockLock&) = delete;

  // Takes the lock of the block `target` without waiting: Busy while a
  // live writer holds it; Failed, with `error`, when the lock file cannot
  // be made (a read-only directory).
  Result take(const std::filesystem::path& target, std::error_code& error);
  void release();
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
  std::filesystem::path file_;
};

}  // namespace gisblock
