#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/system_cause.h"

namespace platform {

namespace fs = std::filesystem;

namespace {

// As large as a file stream's: a record read after a seek reads no more
// than it did; reads and writes larger than this bypass it.
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

// Up to `size` bytes from `offset`; 0 at the end of the file.
std::size_t readAt(int fd, char* data, std::size_t size, std::uint64_t offset) {
  for (;;) {
    const ssize_t n = ::pread(fd, data, size, static_cast<off_t>(offset));
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno != EINTR) throw std::ios_base::failure("soubor nelze číst", lastError());
  }
}

// Every byte, or false with errno set.
bool writeAt(int fd, const char* data, std::size_t size, std::uint64_t offset) {
  while (size > 0) {
    const ssize_t n = ::pwrite(fd, data, size, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
    offset += static_cast<std::uint64_t>(n);
  }
  return true;
}

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

RegularFileBuf::~RegularFileBuf() {
  // Told only by close(); a stream that goes without it cannot.
  if (fd_) settle();
}

bool RegularFileBuf::open(const fs::path& file, std::ios_base::openmode mode, std::error_code& error) {
  close();
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
  else {
    error = std::make_error_code(std::errc::invalid_argument);
    return false;
  }
  // Made before the file is opened, as a file stream makes it: memory that
  // runs out then fails the open, not a write that would be taken for the
  // disk's.
  buffer_.resize(kBufferSize);
  fd_ = openRegularFile(file, flags, error);
  if (!fd_) return false;
  reads_ = in;
  writes_ = out;
  at_ = 0;
  if (mode & ios_base::ate) {
    const off_t end = ::lseek(fd_.get(), 0, SEEK_END);
    at_ = end > 0 ? static_cast<std::uint64_t>(end) : 0;
  }
  return true;
}

bool RegularFileBuf::close() {
  if (!fd_) return false;
  const bool written = settle();
  const int cause = errno;
  const bool closed = fd_.close();
  if (!written) errno = cause;
  reads_ = writes_ = false;
  return written && closed;
}

std::uint64_t RegularFileBuf::position() const {
  if (gptr()) return at_ + static_cast<std::uint64_t>(gptr() - eback());
  if (pptr()) return at_ + static_cast<std::uint64_t>(pptr() - pbase());
  return at_;
}

bool RegularFileBuf::settle() {
  const std::uint64_t here = position();
  const bool written = !pptr() || pptr() == pbase() ||
                       writeAt(fd_.get(), pbase(), static_cast<std::size_t>(pptr() - pbase()), at_);
  setg(nullptr, nullptr, nullptr);
  setp(nullptr, nullptr);
  at_ = here;
  return written;
}

char* RegularFileBuf::buffer() { return buffer_.data(); }

RegularFileBuf::int_type RegularFileBuf::underflow() {
  if (gptr() && gptr() < egptr()) return traits_type::to_int_type(*gptr());
  if (!reads_ || !settle()) return traits_type::eof();
  const std::size_t n = readAt(fd_.get(), buffer(), kBufferSize, at_);
  if (n == 0) return traits_type::eof();
  setg(buffer(), buffer(), buffer() + n);
  return traits_type::to_int_type(*gptr());
}

RegularFileBuf::int_type RegularFileBuf::overflow(int_type c) {
  if (!writes_) return traits_type::eof();
  if (!pptr() || pptr() == epptr()) {
    if (!settle()) return traits_type::eof();
    setp(buffer(), buffer() + kBufferSize);
  }
  if (!traits_type::eq_int_type(c, traits_type::eof())) {
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
  }
  return traits_type::not_eof(c);
}

std::streamsize RegularFileBuf::xsgetn(char* s, std::streamsize n) {
  std::streamsize got = 0;
  if (gptr() && gptr() < egptr()) {
    got = std::min<std::streamsize>(n, egptr() - gptr());
    std::memcpy(s, gptr(), static_cast<std::size_t>(got));
    setg(eback(), gptr() + got, egptr());
  }
  if (got == n || !reads_) return got;
  // Small reads go through the buffer; a large one straight to its place.
  if (n - got < static_cast<std::streamsize>(kBufferSize)) return got + std::streambuf::xsgetn(s + got, n - got);
  if (!settle()) return got;
  while (got < n) {
    const std::size_t read = readAt(fd_.get(), s + got, static_cast<std::size_t>(n - got), at_);
    if (read == 0) break;
    at_ += read;
    got += static_cast<std::streamsize>(read);
  }
  return got;
}

std::streamsize RegularFileBuf::xsputn(const char* s, std::streamsize n) {
  if (!writes_) return 0;
  if (n < static_cast<std::streamsize>(kBufferSize)) return std::streambuf::xsputn(s, n);
  if (!settle() || !writeAt(fd_.get(), s, static_cast<std::size_t>(n), at_)) return 0;
  at_ += static_cast<std::uint64_t>(n);
  return n;
}

RegularFileBuf::pos_type RegularFileBuf::seekoff(off_type offset, std::ios_base::seekdir dir,
                                                 std::ios_base::openmode) {
  const pos_type failed(off_type(-1));
  if (!fd_) return failed;
  // Telling where the stream stands keeps the buffer.
  if (dir == std::ios_base::cur && offset == 0) return pos_type(static_cast<off_type>(position()));
  if (!settle()) return failed;
  off_type base = 0;
  if (dir == std::ios_base::cur) {
    base = static_cast<off_type>(at_);
  } else if (dir == std::ios_base::end) {
    struct stat st {};
    if (::fstat(fd_.get(), &st) != 0) return failed;
    base = static_cast<off_type>(st.st_size);
  }
  const off_type target = base + offset;
  if (target < 0) return failed;
  at_ = static_cast<std::uint64_t>(target);
  return pos_type(target);
}

RegularFileBuf::pos_type RegularFileBuf::seekpos(pos_type position, std::ios_base::openmode which) {
  return seekoff(off_type(position), std::ios_base::beg, which);
}

int RegularFileBuf::sync() { return !fd_ || settle() ? 0 : -1; }

void RegularFileStream::open(const fs::path& file, std::ios_base::openmode mode) {
  if (buf_.open(file, mode, error_))
    clear();
  else
    setstate(std::ios_base::failbit);
}

std::string RegularFileStream::failureCause() const {
  return error_ ? systemCause(error_) : systemCause(errno);
}

void RegularFileStream::close() {
  if (!buf_.close()) setstate(std::ios_base::failbit);
}

}  // namespace platform
