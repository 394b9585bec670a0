#pragma once
// Opening a file of the user's that must be a plain file: a table or its
// index, a block file, a settings, script, model, symbol, font or picture
// file. Whatever else may lie under its name (a named pipe, a device, a
// socket, a directory) is refused without being waited on: opening a pipe
// that nobody writes waits for ever, and whoever put it there is not
// there to end the wait.
#include <sys/types.h>

#include <filesystem>
#include <fstream>
#include <istream>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

namespace platform {

// Whether a file was refused as no regular file; the error's message, as
// systemCause gives it, says what lies there instead ("není soubor, ale
// pojmenovaná roura").
bool isNotRegularFile(const std::error_code& error);
// The refusal of what lies under the name where that is no regular file;
// none where a regular file, or nothing, lies there.
std::error_code notRegularFileAt(const std::filesystem::path& file);
// What is told of a file that could not be opened: the refusal of one that
// is no regular file, else `otherwise`, where a message tells no cause of
// its own.
std::string openFault(const std::error_code& error, std::string otherwise);

// A descriptor that is closed with the object.
class FileDescriptor {
 public:
  FileDescriptor() = default;
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.release()) {}
  FileDescriptor& operator=(FileDescriptor&& other) noexcept;
  ~FileDescriptor() { close(); }

  explicit operator bool() const { return fd_ >= 0; }
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }
  // False, with errno set, where the system reports a failure (a write
  // that a share refuses late).
  bool close();

 private:
  int fd_ = -1;
};

// Opens the file with `flags` (those of open(2); O_CREAT makes it with
// `mode`), closed on exec, without waiting on it: a named pipe that nobody
// reads refuses a writer, as what it is. The descriptor then reads and
// writes as usual. Invalid, with `error` set, where it cannot be opened.
// For a name that may stand for a device; a file of the user's opens by
// openRegularFile.
FileDescriptor openWithoutWaiting(const std::filesystem::path& file, int flags, std::error_code& error,
                                  mode_t mode = 0666);
// Opens the file as openWithoutWaiting does, where it is a regular file.
// What lies under the name is looked at first, so that nothing else is
// opened at all, and the opened file again, so that one put there
// meanwhile is refused too. Invalid, with `error` set, where the file
// cannot be opened or is no regular file.
FileDescriptor openRegularFile(const std::filesystem::path& file, int flags, std::error_code& error,
                               mode_t mode = 0666);

// The whole file's bytes, opened as openRegularFile opens it; false, with
// `error` set and no bytes, where it cannot be opened or read.
bool readRegularFile(const std::filesystem::path& file, std::string& bytes, std::error_code& error);

// Every byte of the text written to the descriptor; false, with `error`
// set, at the first write that fails.
bool writeAll(int fd, std::string_view text, std::error_code& error);
// The text appended to the file, opened as openRegularFile opens it (made
// where it is missing) and closed again, so that nothing else put under
// its name meanwhile is written to or waited on. False, with `error` set,
// where it cannot be opened, written or closed.
bool appendToRegularFile(const std::filesystem::path& file, std::string_view text, std::error_code& error);

// std::ifstream, std::ofstream and std::fstream in one, with their modes,
// over a file opened by openRegularFile: the standard library's file buffer
// on the descriptor, so that reads, writes and seeks behave as a file
// stream's do. A read that fails throws std::ios_base::failure out of the
// buffer: the stream's own reads (read(), get(), getline(), >>) turn it
// into badbit, but an istreambuf_iterator lets it through, and `<< rdbuf()`
// sets it on the stream written to, as if the file had ended.
class RegularFileStream : public std::iostream {
 public:
  RegularFileStream();
  RegularFileStream(const std::filesystem::path& file, std::ios_base::openmode mode);
  ~RegularFileStream() override;

  void open(const std::filesystem::path& file, std::ios_base::openmode mode);
  bool is_open() const;
  // Sets failbit where what waited, or the close itself, fails.
  void close();
  // Why the last open failed.
  const std::error_code& error() const { return error_; }
  // Why the stream failed, in words (systemCause): the open's cause, else
  // errno of the read or write that failed.
  std::string failureCause() const;

 private:
  std::unique_ptr<std::filebuf> buf_;
  std::error_code error_;
};

}  // namespace platform
