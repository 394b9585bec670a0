#include "platform/dbase_table.h"

#include "platform/codepage.h"
#include "platform/dbase_value.h"
#include "platform/path_resolver.h"
#include "platform/system_cause.h"
#include "platform/tables_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <memory>
#include <system_error>

namespace platform {
namespace fs = std::filesystem;

namespace {

DbfHeader today() {
  DbfHeader header;
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  header.year = static_cast<std::uint8_t>(local.tm_year % 256);
  header.month = static_cast<std::uint8_t>(local.tm_mon + 1);
  header.day = static_cast<std::uint8_t>(local.tm_mday);
  return header;
}

// As the user chose the file: under a drive "D:\\GIS\\...".
std::string fileText(const fs::path& file) { return pathResolver().userSpelling(file); }

// The cause of the stream operation that just failed; errno was cleared
// before it.
std::string failureCause() { return ": " + systemCause(errno); }

// Rows of appends that wait for one write: a few hundred rows of a table.
constexpr std::size_t kWaitingBytes = std::size_t{1} << 18;
// Rows of a read-only table read one by one before the table is read whole,
// and the most a table read whole may hold: a table opened for a row or two
// reads only those, one that serves many rows is read once.
constexpr std::uint32_t kRowsBeforeLoading = 64;
constexpr std::uint64_t kMostLoaded = std::uint64_t{64} << 20;
// The rows a look at every row asks for at once.
constexpr std::size_t kScanBytes = std::size_t{1} << 18;

// The stamp of the file but for its row count; false where it is no
// regular file that can be looked at.
bool statusStamp(const fs::path& file, DbfFileStamp& stamp) {
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  stamp.device = static_cast<std::uint64_t>(st.st_dev);
  stamp.inode = static_cast<std::uint64_t>(st.st_ino);
  stamp.size = static_cast<std::uint64_t>(st.st_size);
  stamp.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
  stamp.changed = static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec;
  return true;
}

std::uint32_t headerRowCount(const std::uint8_t* count) {
  return count[0] | count[1] << 8 | count[2] << 16 | static_cast<std::uint32_t>(count[3]) << 24;
}

}  // namespace

std::optional<DbfFileStamp> fileStampOf(const fs::path& file) {
  DbfFileStamp stamp;
  if (!statusStamp(file, stamp)) return std::nullopt;
  return stamp;
}

std::optional<DbfFileStamp> DbfTable::stampOf(const fs::path& file) {
  DbfFileStamp stamp;
  if (!statusStamp(file, stamp)) return std::nullopt;
  std::error_code error;
  const FileDescriptor fd = openRegularFile(file, O_RDONLY, error);
  if (!fd) return std::nullopt;
  std::uint8_t count[4] = {};
  const ssize_t read = ::pread(fd.get(), count, sizeof count, 4);
  if (read != static_cast<ssize_t>(sizeof count)) return std::nullopt;
  stamp.rows = headerRowCount(count);
  return stamp;
}

DbfTable::~DbfTable() { close(); }

void DbfTable::create(const fs::path& file, std::vector<DbfField> fields, std::uint8_t languageDriver) {
  const std::vector<DbfField> checked = dbf::checkedNewFields(std::move(fields));
  DbfHeader header = today();
  header.languageDriver = languageDriver;
  const std::vector<std::uint8_t> bytes = dbf::encodeEmptyTable(checked, header);
  const std::optional<DbfFileStamp> before = stampOf(file);
  errno = 0;
  RegularFileStream out(file, std::ios::out | std::ios::trunc);
  if (out) out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (out) out.close();
  if (!out) {
    const std::string cause = ": " + out.failureCause();
    // A table cut short is no table: nothing is left that reads as one.
    // What could not be opened (a table the user may not write, what lies
    // there that is no file) was not touched, and stays.
    std::error_code ec;
    if (!out.error()) fs::remove(file, ec);
    throw DbfError("Soubor " + fileText(file) + " nelze zapsat" + cause);
  }
  // A table the job read and now makes anew is its own output from here.
  if (const std::optional<DbfFileStamp> after = stampOf(file); before && after)
    noteOwnTableWrite(file, *before, *after);
}

void DbfTable::open(const fs::path& file, bool readOnly) {
  close();
  // Before the header is read: a write that comes between leaves a stamp
  // that differs from the file's, never one that hides the write.
  DbfFileStamp stamp;
  statusStamp(file, stamp);
  std::ios::openmode mode = std::ios::binary | std::ios::in;
  if (!readOnly) mode |= std::ios::out;
  file_.open(file, mode);
  if (!file_) {
    const std::string cause = systemCause(file_.error());
    if (isNotRegularFile(file_.error())) throw DbfOpenError(fileText(file) + " " + cause, cause, false);
    throw DbfOpenError("Tabulku " + fileText(file) + " nelze otevřít: " + cause, "tabulku nelze otevřít: " + cause,
                       false);
  }
  std::vector<std::uint8_t> head(dbf::kHeaderSize);
  file_.read(reinterpret_cast<char*>(head.data()), dbf::kHeaderSize);
  if (!file_) {
    file_.close();
    throw DbfOpenError(fileText(file) + " není tabulka dBase", "není tabulka dBase", false);
  }
  header_ = dbf::decodeHeader(head.data());
  codePage_ = dbf::codePageOf(header_.languageDriver);
  head.resize(std::max<std::size_t>(header_.headerLength, dbf::kHeaderSize));
  file_.read(reinterpret_cast<char*>(head.data() + dbf::kHeaderSize),
             static_cast<std::streamsize>(head.size() - dbf::kHeaderSize));
  try {
    if (!file_ || header_.recordLength == 0) throw DbfError("Poškozená hlavička tabulky");
    fields_ = dbf::decodeFieldDescriptors(head, header_.recordLength, codePage_);
  } catch (const DbfError& e) {
    file_.close();
    throw DbfOpenError(fileText(file) + ": " + e.what(), e.what(), true);
  }
  // A file cut short holds fewer rows than its header claims; only whole
  // rows are offered.
  std::error_code ec;
  const std::uint64_t size = fs::file_size(file, ec);
  const std::uint64_t held = size > header_.headerLength ? (size - header_.headerLength) / header_.recordLength : 0;
  recordCount_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(header_.recordCount, held));
  fileCount_ = recordCount_;
  stamp.rows = header_.recordCount;
  stamp_ = stamp;
  // What a job reads is held against the file before its output is put
  // in place; a table it writes is its output.
  if (readOnly) noteTableRead(file, stamp);
  static std::uint64_t openings = 0;
  opening_ = ++openings;
  path_ = file;
  readOnly_ = readOnly;
  state_ = State::Browse;
  first();
}

std::string DbfTable::rowDamage(const RowCheck& live) { return scanRows(live, true); }

std::string DbfTable::liveRowFault(const RowCheck& live) { return scanRows(live, false); }

std::string DbfTable::scanRows(const RowCheck& live, bool marks) {
  if (state_ == State::Closed) return {};
  if (marks && recordCount_ < header_.recordCount)
    return "soubor končí po " + std::to_string(recordCount_) + ". z " + std::to_string(header_.recordCount) +
           " řádků, které uvádí hlavička";
  // The file this opening took, whatever lies under its name since; each
  // read of a row seeks its own place.
  std::iostream& in = file_;
  in.clear();
  in.seekg(static_cast<std::streamoff>(recordPosition(1)));
  const std::size_t length = header_.recordLength;
  // As many rows at once as the table holds, up to kScanBytes: a small
  // table takes a small buffer, left as the read fills it.
  const std::uint64_t perRead =
      std::clamp<std::uint64_t>(recordCount_, 1, std::max<std::uint64_t>(1, kScanBytes / length));
  const std::unique_ptr<char[]> rows(new char[static_cast<std::size_t>(perRead * length)]);
  auto isRow = [](std::string_view row) { return row[0] == ' ' || row[0] == '*'; };
  std::string found;
  // The counted rows, then (for the marks) whole rows after them, before
  // the end-of-file mark: rows the header lost count of, which a reader
  // that trusts the count never sees. Bytes after the mark, or padding,
  // start no row.
  std::uint64_t r = 0, last = recordCount_;
  for (bool counted = true; counted || marks;) {
    const std::uint64_t want = counted ? std::min<std::uint64_t>(perRead, recordCount_ - r) : perRead;
    if (want == 0) {
      counted = false;
      continue;
    }
    in.read(rows.get(), static_cast<std::streamsize>(want * length));
    const std::uint64_t got = static_cast<std::uint64_t>(in.gcount()) / length;
    for (std::uint64_t i = 0; i < got; ++i) {
      const std::string_view row(rows.get() + i * length, length);
      ++r;
      if (!counted) {
        if (!isRow(row)) break;
        last = r;
        continue;
      }
      if (marks && !isRow(row)) return "řádek " + std::to_string(r) + " nezačíná značkou řádku";
      if (live && found.empty() && row[0] != '*') {
        found = live(static_cast<std::uint32_t>(r), row);
        if (!marks && !found.empty()) return found;
      }
    }
    if (!counted && last < r) break;  // a row that starts none
    if (got < want) {
      if (counted && marks) return "řádek " + std::to_string(r + 1) + " nelze přečíst";
      break;
    }
  }
  if (last == recordCount_) return found;
  const std::string first = std::to_string(std::uint64_t{recordCount_} + 1) + ".";
  if (last == std::uint64_t{recordCount_} + 1) return "soubor drží i " + first + " řádek, který hlavička neuvádí";
  return "soubor drží i řádky " + first + " až " + std::to_string(last) + "., které hlavička neuvádí";
}

void DbfTable::close() {
  try {
    flush();
  } catch (const DbfError&) {
    // Told by flush() to whoever asks; a table being closed cannot.
  }
  if (file_.is_open()) file_.close();
  state_ = State::Closed;
  fields_.clear();
  waiting_.clear();
  rows_.clear();
  rows_.shrink_to_fit();
  fileReads_ = 0;
  recordCount_ = fileCount_ = 0;
  opening_ = 0;
  stamp_ = {};
  recNo_ = 0;
  record_.clear();
}

int DbfTable::fieldIndex(std::string_view name) const {
  for (std::size_t i = 0; i < fields_.size(); ++i)
    if (equalsIgnoringAsciiCase(fields_[i].name, name)) return static_cast<int>(i);
  return -1;
}

int DbfTable::requireField(std::string_view name) const {
  const int i = fieldIndex(name);
  if (i < 0) throw DbfError("Položka " + std::string(name) + " v tabulce " + fileText(path_) + " není");
  return i;
}

void DbfTable::requireRow() const {
  if (state_ == State::Closed) throw DbfError("Tabulka není otevřena");
  if (recNo_ == 0 && state_ != State::Append) throw DbfError("Tabulka " + fileText(path_) + " nestojí na žádné větě");
}

std::uint64_t DbfTable::recordPosition(std::uint32_t recNo) const {
  return header_.headerLength + static_cast<std::uint64_t>(recNo - 1) * header_.recordLength;
}

void DbfTable::readRecord(std::uint32_t recNo) {
  if (recNo > fileCount_ && recNo <= recordCount_) {
    record_.assign(waiting_, static_cast<std::size_t>(recNo - fileCount_ - 1) * header_.recordLength,
                   header_.recordLength);
    recNo_ = recNo;
    return;
  }
  if (rows_.empty() && readOnly_ && ++fileReads_ > kRowsBeforeLoading) loadRows();
  if (!rows_.empty() && recNo >= 1 && recNo <= fileCount_) {
    record_.assign(rows_, static_cast<std::size_t>(recNo - 1) * header_.recordLength, header_.recordLength);
    recNo_ = recNo;
    return;
  }
  record_.assign(header_.recordLength, ' ');
  file_.clear();
  file_.seekg(static_cast<std::streamoff>(recordPosition(recNo)));
  file_.read(record_.data(), static_cast<std::streamsize>(record_.size()));
  if (!file_) {
    recNo_ = 0;
    throw DbfError("Větu " + std::to_string(recNo) + " tabulky " + fileText(path_) + " nelze přečíst");
  }
  recNo_ = recNo;
}

void DbfTable::loadRows() {
  fileReads_ = 0;
  const std::uint64_t size = static_cast<std::uint64_t>(fileCount_) * header_.recordLength;
  if (size == 0 || size > kMostLoaded) return;
  std::string rows(static_cast<std::size_t>(size), ' ');
  file_.clear();
  file_.seekg(static_cast<std::streamoff>(recordPosition(1)));
  file_.read(rows.data(), static_cast<std::streamsize>(size));
  // Rows that cannot be read whole are read one by one, as before.
  if (file_) rows_ = std::move(rows);
  file_.clear();
}

void DbfTable::moveTo(std::uint32_t recNo) {
  if (state_ == State::Closed) throw DbfError("Tabulka není otevřena");
  cancel();
  if (recNo < 1 || recNo > recordCount_)
    throw DbfError("Tabulka " + fileText(path_) + " nemá větu " + std::to_string(recNo));
  readRecord(recNo);
}

bool DbfTable::first() {
  recNo_ = 0;
  if (state_ == State::Closed) return false;
  cancel();
  for (std::uint32_t r = 1; r <= recordCount_; ++r) {
    readRecord(r);
    if (!isDeleted()) return true;
  }
  recNo_ = 0;
  return false;
}

bool DbfTable::next() {
  if (state_ == State::Closed || recNo_ == 0) return false;
  cancel();
  for (std::uint32_t r = recNo_ + 1; r <= recordCount_; ++r) {
    readRecord(r);
    if (!isDeleted()) return true;
  }
  recNo_ = 0;
  return false;
}

bool DbfTable::isDeleted() const { return recNo_ != 0 && !record_.empty() && record_[0] == '*'; }

std::string DbfTable::text(int field) const {
  requireRow();
  if (field < 0 || field >= static_cast<int>(fields_.size())) throw DbfError("Neplatné číslo položky");
  const DbfField& f = fields_[field];
  return dbf::fieldText(f, std::string_view(record_).substr(1 + f.offset, f.width), codePage_);
}

std::string DbfTable::text(std::string_view name) const { return text(requireField(name)); }

void DbfTable::edit() {
  if (readOnly_) throw DbfError("Tabulka " + fileText(path_) + " je otevřena jen pro čtení");
  requireRow();
  if (state_ == State::Browse) state_ = State::Edit;
}

void DbfTable::append() {
  if (state_ == State::Closed) throw DbfError("Tabulka není otevřena");
  if (readOnly_) throw DbfError("Tabulka " + fileText(path_) + " je otevřena jen pro čtení");
  cancel();
  record_.assign(header_.recordLength, ' ');
  state_ = State::Append;
}

void DbfTable::setText(int field, std::string_view text) {
  if (state_ != State::Edit && state_ != State::Append)
    throw DbfError("Tabulka " + fileText(path_) + " není ve stavu úprav");
  if (field < 0 || field >= static_cast<int>(fields_.size())) throw DbfError("Neplatné číslo položky");
  const DbfField& f = fields_[field];
  record_.replace(1 + f.offset, f.width, dbf::fieldBytes(f, text, codePage_));
}

void DbfTable::setText(std::string_view name, std::string_view text) { setText(requireField(name), text); }

bool DbfTable::setNumber(int field, double value) {
  if ((state_ != State::Edit && state_ != State::Append) || field < 0 || field >= static_cast<int>(fields_.size()))
    return false;
  const DbfField& f = fields_[field];
  const std::optional<std::string> bytes = dbf::numberFieldBytes(f, value);
  if (!bytes) return false;
  record_.replace(1 + f.offset, f.width, *bytes);
  return true;
}

void DbfTable::writeRecord(std::uint32_t recNo) {
  errno = 0;
  file_.clear();
  file_.seekp(static_cast<std::streamoff>(recordPosition(recNo)));
  file_.write(record_.data(), static_cast<std::streamsize>(record_.size()));
  if (recNo > recordCount_) file_.put(static_cast<char>(dbf::kFileEnd));
  file_.flush();
  if (!file_)
    throw DbfError("Větu " + std::to_string(recNo) + " tabulky " + fileText(path_) + " nelze zapsat" + failureCause());
}

void DbfTable::writeHeaderCount() {
  const DbfHeader date = today();
  header_.year = date.year;
  header_.month = date.month;
  header_.day = date.day;
  header_.recordCount = recordCount_;
  std::uint8_t head[dbf::kHeaderSize];
  errno = 0;
  file_.clear();
  file_.seekg(0);
  file_.read(reinterpret_cast<char*>(head), dbf::kHeaderSize);
  // Only the date and the count change; whatever else a variant header
  // holds stays as it was.
  head[1] = header_.year;
  head[2] = header_.month;
  head[3] = header_.day;
  for (int i = 0; i < 4; ++i) head[4 + i] = static_cast<std::uint8_t>(recordCount_ >> (8 * i));
  file_.clear();
  file_.seekp(0);
  file_.write(reinterpret_cast<const char*>(head), dbf::kHeaderSize);
  file_.flush();
  if (!file_) throw DbfError("Hlavičku tabulky " + fileText(path_) + " nelze zapsat" + failureCause());
  // What this opening wrote is no write of another's.
  DbfFileStamp stamp;
  if (statusStamp(path_, stamp)) {
    stamp.rows = header_.recordCount;
    noteOwnTableWrite(path_, stamp_, stamp);
    stamp_ = stamp;
  }
}

void DbfTable::flush() {
  if (waiting_.empty()) return;
  std::string rows;
  rows.swap(waiting_);
  const std::uint32_t first = fileCount_ + 1;
  errno = 0;
  file_.clear();
  file_.seekp(static_cast<std::streamoff>(recordPosition(first)));
  file_.write(rows.data(), static_cast<std::streamsize>(rows.size()));
  file_.put(static_cast<char>(dbf::kFileEnd));
  file_.flush();
  if (!file_) {
    const std::string cause = failureCause();
    recordCount_ = fileCount_;
    if (recNo_ >= first) recNo_ = 0;
    throw DbfError("Větu " + std::to_string(first) + " tabulky " + fileText(path_) + " nelze zapsat" + cause);
  }
  fileCount_ = recordCount_;
  writeHeaderCount();
}

void DbfTable::post() {
  if (state_ == State::Edit) {
    flush();
    writeRecord(recNo_);
    writeHeaderCount();
  } else if (state_ == State::Append && bufferAppends_) {
    waiting_ += record_;
    recNo_ = ++recordCount_;
    state_ = State::Browse;
    if (waiting_.size() >= kWaitingBytes) flush();
    return;
  } else if (state_ == State::Append) {
    flush();
    const std::uint32_t recNo = recordCount_ + 1;
    writeRecord(recNo);
    recordCount_ = fileCount_ = recNo;
    recNo_ = recNo;
    writeHeaderCount();
  } else {
    return;
  }
  state_ = State::Browse;
}

void DbfTable::cancel() {
  if (state_ != State::Edit && state_ != State::Append) return;
  state_ = State::Browse;
  if (recNo_ != 0) readRecord(recNo_);
}

void DbfTable::deleteRecord() {
  if (readOnly_) throw DbfError("Tabulka " + fileText(path_) + " je otevřena jen pro čtení");
  requireRow();
  cancel();
  flush();
  record_[0] = '*';
  writeRecord(recNo_);
  writeHeaderCount();
}

}  // namespace platform
