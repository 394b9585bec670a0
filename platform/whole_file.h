#pragma once
// Rewriting a file of the user's (a settings file, a saved listing, a
// printed PDF) so that it holds the new contents whole or keeps what it
// held.
#include <filesystem>
#include <string_view>
#include <system_error>

namespace platform {

// The text is written beside the file under a name of this process, made
// durable and renamed over it: a full disk, a file-size limit or a kill
// never leaves the file cut short, and a program reading it meets the old
// text or the new. The file keeps its permissions; a symbolic link stays
// and its file is replaced. A file the user may not write is refused as a
// plain write would refuse it: the rename would pass its permissions by.
// Where the directory takes no new file (a share where only the file may be
// written), and where the name is no plain file (a device), the file is
// written in place; a named pipe that nobody reads is refused rather than
// waited on. False, with `error` set, when the text is not in the file.
bool replaceFileWhole(const std::filesystem::path& file, std::string_view text, std::error_code& error);

// A file of the user's that a writer this program cannot check makes whole
// (a print into a PDF file): the writer writes path(), and commit() puts it
// in place of the file by the rules of replaceFileWhole. path() lies beside
// the file, or where that cannot be, in the system's temporary directory;
// what was not committed is removed with the object.
class StagedFile {
 public:
  explicit StagedFile(std::filesystem::path file);
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  // False, with error(), when the file cannot be written: the user may not
  // write it, or no place takes the staged one.
  bool ok() const { return !path_.empty(); }
  const std::error_code& error() const { return error_; }
  // Where the writer writes; the file as the user named it.
  const std::filesystem::path& path() const { return path_; }
  const std::filesystem::path& file() const { return file_; }

  // Puts path() in place of the file. False, with error() set, when the
  // file does not hold it whole; a file that was renamed over, or not yet
  // touched, then holds what it held.
  bool commit();

 private:
  std::filesystem::path file_;
  std::filesystem::path target_;  // the file itself, behind a link
  std::filesystem::path path_;
  bool beside_ = false;
  bool committed_ = false;
  std::error_code error_;
};

}  // namespace platform
