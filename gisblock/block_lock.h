#pragma once
// The right to replace a block: a hidden file beside the block that one
// writer at a time holds locked, and that readers share while they read the
// block, so that no writer puts a new block in its place meanwhile. The
// system drops the lock with the process that held it, so a block whose
// writer or reader was killed is free again; the file goes when the last
// holder gives the lock back.
#include <filesystem>
#include <system_error>

namespace gisblock {

class BlockLock {
 public:
  enum class Result { Taken, Busy, Reading, Failed };

  BlockLock() = default;
  ~BlockLock() { release(); }
  BlockLock(const BlockLock&) = delete;
  BlockLock& operator=(const BlockLock&) = delete;

  // Takes the lock of the block `target` for a writer, without waiting:
  // Busy while a live writer holds it, Reading while readers do; Failed,
  // with `error`, when the lock file cannot be made (a read-only directory).
  Result take(const std::filesystem::path& target, std::error_code& error);
  // The same for a reader: readers hold the lock together; Busy while a
  // writer holds it.
  Result share(const std::filesystem::path& target, std::error_code& error);
  void release();
  bool held() const { return fd_ >= 0; }

 private:
  Result acquire(const std::filesystem::path& target, bool shared, std::error_code& error);

  int fd_ = -1;
  bool shared_ = false;
  std::filesystem::path file_;
};

}  // namespace gisblock
