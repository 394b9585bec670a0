#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ext/stdio_filebuf.h>

#include "platform/system_cause.h"

namespace platform {

namespace fs = std::filesystem;

namespace {

// As large as a file stream's: a record read after a seek reads no more
// than it did.
constexpr std::size_t kBufferSize = 8192;

// The kind of what lies under the name, as its mode's type bits give it.
class FileKindCategory final : public std::error_category {
 public:
  const char* name() const noexcept override { return "file kind"; }
  std::string message(int kind) const override {
    switch (static_cast<mode_t>(kind)) {
      case S_IFIFO: return "není soubor, ale pojmenovaná roura";
      case S_IFCHR:
      case S_IFBLK: return "není soubor, ale zařízení";
      case S_IFSOCK: return "není soubor, ale soket";
      case S_IFDIR: return "není soubor, ale adresář";
      default: return "není obyčejný soubor";
    }
  }
};

const std::error_category& fileKindCategory() {
  static const FileKindCategory category;
  return category;
}

std::error_code refusalOf(mode_t mode) {
  const auto kind = static_cast<int>(mode & S_IFMT);
  return {kind != 0 ? kind : static_cast<int>(S_IFMT), fileKindCategory()};
}

std::error_code lastError() { return {errno ? errno : EIO, std::generic_category()}; }

}  // namespace

bool isNotRegularFile(const std::error_code& error) { return error.category() == fileKindCategory(); }

std::error_code notRegularFileAt(const fs::path& file) {
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return {};
  return refusalOf(st.st_mode);
}

std::string openFault(const std::error_code& error, std::string otherwise) {
  return isNotRegularFile(error) ? systemCause(error) : otherwise;
}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = other.release();
  }
  return *this;
}

bool FileDescriptor::close() {
  if (fd_ < 0) return true;
  return ::close(release()) == 0;
}

FileDescriptor openWithoutWaiting(const fs::path& file, int flags, std::error_code& error, mode_t mode) {
  error.clear();
  FileDescriptor fd(::open(file.c_str(), flags | O_NONBLOCK | O_CLOEXEC, mode));
  if (!fd) {
    error = lastError();
    // A pipe that nobody reads refuses a writer so, a directory any writer.
    const std::error_code kind = notRegularFileAt(file);
    if (kind && (error.value() == ENXIO || error.value() == EISDIR)) error = kind;
    return {};
  }
  const int status = ::fcntl(fd.get(), F_GETFL);
  if (status < 0 || ::fcntl(fd.get(), F_SETFL, status & ~O_NONBLOCK) != 0) {
    error = lastError();
    return {};
  }
  return fd;
}

FileDescriptor openRegularFile(const fs::path& file, int flags, std::error_code& error, mode_t mode) {
  error = notRegularFileAt(file);
  if (error) return {};
  FileDescriptor fd = openWithoutWaiting(file, flags, error, mode);
  if (!fd) return {};
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) {
    error = lastError();
    return {};
  }
  if (!S_ISREG(st.st_mode)) {
    error = refusalOf(st.st_mode);
    return {};
  }
  return fd;
}

bool readRegularFile(const fs::path& file, std::string& bytes, std::error_code& error) {
  bytes.clear();
  const FileDescriptor fd = openRegularFile(file, O_RDONLY, error);
  if (!fd) return false;
  // One byte beyond the size it has now, so that its end is found without
  // growing the bytes; a file that grows meanwhile is read to its end.
  struct stat st {};
  bytes.resize(::fstat(fd.get(), &st) == 0 && st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1
                                                                : kBufferSize);
  std::size_t size = 0;
  for (;;) {
    if (size == bytes.size()) bytes.resize(2 * size);
    const ssize_t n = ::read(fd.get(), bytes.data() + size, bytes.size() - size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = lastError();
      bytes.clear();
      return false;
    }
    if (n == 0) break;
    size += static_cast<std::size_t>(n);
  }
  bytes.resize(size);
  return true;
}

bool writeAll(int fd, std::string_view text, std::error_code& error) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = lastError();
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool appendToRegularFile(const fs::path& file, std::string_view text, std::error_code& error) {
  FileDescriptor fd = openRegularFile(file, O_WRONLY | O_CREAT | O_APPEND, error);
  if (!fd || !writeAll(fd.get(), text, error)) return false;
  if (!fd.close()) {
    error = lastError();
    return false;
  }
  return true;
}

RegularFileStream::RegularFileStream() : std::iostream(nullptr) {}

RegularFileStream::RegularFileStream(const fs::path& file, std::ios_base::openmode mode) : RegularFileStream() {
  open(file, mode);
}

// What waits is written by the buffer's own close; told only by close().
RegularFileStream::~RegularFileStream() = default;

bool RegularFileStream::is_open() const { return buf_ && buf_->is_open(); }

void RegularFileStream::open(const fs::path& file, std::ios_base::openmode mode) {
  if (is_open()) close();
  using std::ios_base;
  const bool in = (mode & ios_base::in) != 0, app = (mode & ios_base::app) != 0;
  const bool out = (mode & ios_base::out) != 0 || app, trunc = (mode & ios_base::trunc) != 0;
  int flags = 0;
  if (in && out)
    flags = O_RDWR | (trunc ? O_CREAT | O_TRUNC : 0) | (app ? O_CREAT | O_APPEND : 0);
  else if (out)
    flags = O_WRONLY | O_CREAT | (app ? O_APPEND : O_TRUNC);
  else if (in)
    flags = O_RDONLY;
  rdbuf(nullptr);
  buf_.reset();
  error_.clear();
  FileDescriptor fd;
  if (!in && !out) error_ = std::make_error_code(std::errc::invalid_argument);
  else fd = openRegularFile(file, flags, error_);
  if (fd) {
    // The buffer takes the descriptor over once it holds it; the file is
    // already as the flags made it, so the buffer's own mode truncates
    // nothing more.
    auto buf = std::make_unique<__gnu_cxx::stdio_filebuf<char>>(fd.get(), mode | ios_base::binary, kBufferSize);
    if (buf->is_open()) {
      fd.release();
      // A file stream opened to append and not to read stands at the end,
      // where fopen's "a" puts it: what it tells, and a seek from there,
      // count from the end. One that reads too starts at the beginning.
      const bool atEnd = (mode & ios_base::ate) || (app && !in);
      if (atEnd && buf->pubseekoff(0, ios_base::end) == std::streampos(-1)) {
        error_ = lastError();
        buf.reset();
      }
      buf_ = std::move(buf);
    } else {
      error_ = lastError();
    }
  }
  if (!buf_) {
    setstate(ios_base::failbit);
    return;
  }
  rdbuf(buf_.get());
  clear();
}

std::string RegularFileStream::failureCause() const {
  return error_ ? systemCause(error_) : systemCause(errno);
}

void RegularFileStream::close() {
  if (!buf_ || !buf_->close()) setstate(std::ios_base::failbit);
}

}  // namespace platform
