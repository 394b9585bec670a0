#pragma once
// A dBase III table file opened by path: the record count of its header,
// physical record numbers (1-based, deleted rows counted), positioning on
// them, field access by name ignoring case, and an edit/append/post cycle.
// Nothing but the .DBF file itself is read or written.
#include "platform/dbase_structure.h"
#include "platform/regular_file.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// A file DbfTable::open cannot take as a table. The text names the file as
// the user spells it; a message that names the file itself takes `fault`,
// what is wrong, so that the file is not named twice.
class DbfOpenError : public DbfError {
 public:
  DbfOpenError(const std::string& text, std::string fault, bool damagedHeader)
      : DbfError(text), fault_(std::move(fault)), damagedHeader_(damagedHeader) {}
  const std::string& fault() const noexcept { return fault_; }
  // The header contradicts itself, where the others could not be read or are
  // too short for a table at all.
  bool damagedHeader() const noexcept { return damagedHeader_; }

 private:
  std::string fault_;
  bool damagedHeader_;
};

// For a message that names the table itself: the fault of a table that
// could not be opened, any other error's whole text.
inline std::string faultOf(const DbfError& error) {
  const auto* opening = dynamic_cast<const DbfOpenError*>(&error);
  return opening ? opening->fault() : error.what();
}

// What tells that a table file was written since it was read: the file
// itself (a file saved beside it and renamed over it is another), its
// size, its modification time, the row count its header gives, and the
// time the system last changed the file, which every write sets and no
// program can set back (a copy that keeps the modification time, a sync
// tool, a share with coarse times).
struct DbfFileStamp {
  std::uint64_t device = 0, inode = 0, size = 0;
  std::int64_t modified = 0;  // nanoseconds
  std::int64_t changed = 0;   // nanoseconds
  std::uint32_t rows = 0;
  friend bool operator==(const DbfFileStamp&, const DbfFileStamp&) = default;
};

// The stamp of any regular file, its row count 0: for files that are no
// tables. None where there is no such file.
std::optional<DbfFileStamp> fileStampOf(const std::filesystem::path& file);

class DbfTable {
 public:
  enum class State { Closed, Browse, Edit, Append };

  DbfTable() = default;
  DbfTable(const DbfTable&) = delete;
  DbfTable& operator=(const DbfTable&) = delete;
  ~DbfTable();

  // Writes an empty table (dBase III) with these fields, replacing the
  // file; its header marks the code page of its text by the language
  // driver (Windows-1250 unless the table copies another's). Throws DbfError
  // when a field breaks a dBase limit or the file cannot be written.
  static void create(const std::filesystem::path& file, std::vector<DbfField> fields,
                     std::uint8_t languageDriver = dbf::kLanguageCp1250);

  // Throws DbfOpenError when the file cannot be opened, is no regular file
  // (a named pipe, which would be waited on for ever), is no dBase table or
  // has a header that contradicts itself (see dbf::decodeFieldDescriptors).
  void open(const std::filesystem::path& file, bool readOnly);
  // Drops an unposted edit; rows still waiting (see bufferAppends) are
  // written, but only flush() tells of a failure.
  void close();
  bool isOpen() const { return state_ != State::Closed; }
  // A number no other opening of any table shares: what is derived from the
  // fields of an open table holds while its opening stays the same.
  std::uint64_t opening() const { return opening_; }
  bool isReadOnly() const { return readOnly_; }
  // The file as this opening found it (taken before its header was read)
  // or last wrote it: where stampOf(path()) differs, another program or
  // another opening has written the table since.
  const DbfFileStamp& stamp() const { return stamp_; }
  // The file as it is now; none where it cannot be read (gone, renamed).
  // Reads the file's status and its header's row count.
  static std::optional<DbfFileStamp> stampOf(const std::filesystem::path& file);
  const std::filesystem::path& path() const { return path_; }
  State state() const { return state_; }

  const std::vector<DbfField>& fields() const { return fields_; }
  // Of the text of the open table, as its header names it.
  CodePage codePage() const { return codePage_; }
  // The header's byte for that code page, for a table made in its likeness.
  std::uint8_t languageDriver() const { return header_.languageDriver; }
  // Index of the field of that name, letter case ignored; -1 when none.
  int fieldIndex(std::string_view name) const;
  bool hasField(std::string_view name) const { return fieldIndex(name) >= 0; }

  // Rows in the file as the header counts them, deleted ones included.
  std::uint32_t recordCount() const { return recordCount_; }
  // A look at a live row of the file, its bytes with the deleted flag
  // first: what is wrong with it in words for the user, else empty.
  using RowCheck = std::function<std::string(std::uint32_t recNo, std::string_view row)>;
  // What is wrong with the rows the header describes, in words for the
  // user: the file ends before the last of them, a row starts with neither
  // the mark of a live row nor that of a deleted one, or whole rows follow
  // the counted ones before the end-of-file mark; where none of that is,
  // the first fault `live` finds. Empty when nothing is. Reads the file
  // this opening took once, many rows at a time; the current row stays.
  std::string rowDamage(const RowCheck& live = {});
  // The first fault `live` finds in the rows that are not marked deleted,
  // in the same one read of the file; the marks are not judged.
  std::string liveRowFault(const RowCheck& live);

  // Positions on physical record `recNo` (1 to recordCount), deleted or not.
  // Throws DbfError when it is out of range or cannot be read.
  void moveTo(std::uint32_t recNo);
  // Walk the live rows in physical order: false (and atEnd) when none is left.
  bool first();
  bool next();
  bool atEnd() const { return recNo_ == 0; }
  std::uint32_t recNo() const { return recNo_; }  // 0 when on no row
  bool isDeleted() const;

  // The current row's field as text; throws DbfError when on no row or the
  // field does not exist.
  std::string text(int field) const;
  std::string text(std::string_view name) const;

  // Editing: edit() the current row or append() a blank one, set fields,
  // post() writes it. Throws DbfError on a read-only table, without a row
  // to edit, or for a value the field cannot hold.
  void edit();
  void append();
  void setText(int field, std::string_view text);
  void setText(std::string_view name, std::string_view text);
  // A number field := the value, as setText of its shortest text sets it;
  // false, nothing set, where that takes the text (another type, a value
  // the field refuses, a row not in edit).
  bool setNumber(int field, double value);
  void post();
  void cancel();
  // Marks the current row deleted ('*'); walks skip it from then on.
  void deleteRecord();

  // While on (it outlasts close and open), appended rows that are posted
  // wait in memory and reach the file together with the header's count: at
  // flush(), when many wait, before a row of the file is changed, and at
  // close. A write that fails is known then, not at the row's post. Rows
  // read as posted meanwhile.
  void bufferAppends(bool on) { bufferAppends_ = on; }
  // Writes the rows that wait. Throws DbfError, naming the first row that
  // could not be written and the cause, when the file refuses them; they
  // are dropped then.
  void flush();

 private:
  int requireField(std::string_view name) const;
  void requireRow() const;
  void readRecord(std::uint32_t recNo);
  void loadRows();
  void writeRecord(std::uint32_t recNo);
  // Ends every write: the header's count and date, and the stamp.
  void writeHeaderCount();
  std::uint64_t recordPosition(std::uint32_t recNo) const;
  // rowDamage (`marks`) or liveRowFault.
  std::string scanRows(const RowCheck& live, bool marks);

  std::filesystem::path path_;
  RegularFileStream file_;
  bool readOnly_ = true;
  State state_ = State::Closed;
  DbfHeader header_;
  CodePage codePage_ = CodePage::Windows1250;
  std::vector<DbfField> fields_;
  std::uint32_t recordCount_ = 0;  // posted rows, those waiting included
  std::uint32_t recNo_ = 0;
  std::uint64_t opening_ = 0;
  DbfFileStamp stamp_;
  std::string record_;  // the current row's bytes, deleted flag first
  // A table opened read-only that is read row after row is read whole
  // after a few rows: rows 1 to fileCount_, from then on.
  std::uint32_t fileReads_ = 0;
  std::string rows_;
  bool bufferAppends_ = false;
  std::uint32_t fileCount_ = 0;  // rows in the file
  std::string waiting_;          // rows fileCount_ + 1 to recordCount_
};

}  // namespace platform
