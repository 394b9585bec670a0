#pragma once
// A reader of one fixed-record file of a block: the open file, its record
// size, record positioning and the progress of a read, and the block
// register its objects are filed in. Writers derive from the readers and
// use the same positioning.
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <system_error>
#include <unordered_set>
#include <vector>

#include "gisblock/block_damage.h"
#include "gisblock/gelix_manipulator.h"
#include "platform/pacer.h"
#include "platform/user_interaction.h"

class TRectEntity;
class TRegister;
class TGelixBlockRegister;

// Adds what a reader made to `owner`. When it cannot be added, an element
// that nothing else holds goes with the failure, which goes on.
void AddReadElement(TRectEntity& owner, TElement* element);

class TGeliXReader : public TGelixManipulator {
  ZELTO_ELEMENT(TGeliXReader)
 public:
  ~TGeliXReader() override;

  // File size div record size; 0 without a stream.
  virtual std::int32_t GetRecordCount() const;
  virtual char GetKindCode() const { return ' '; }
  // Looked up once in the object model (see SetObjectModel) and cached.
  virtual TGelixBlockRegister* GetRegister();
  bool HasStream() const { return stream_ != nullptr; }
  void SeekRecord(std::int32_t n);
  // The record at the current position; false at the end of the file.
  bool ReadRecord(std::vector<std::uint8_t>& record);
  bool ReadRecordAt(std::int32_t n, std::vector<std::uint8_t>& record);
  // The index of the record read last; -1 before any read.
  std::int32_t LastRecord() const { return lastRecord_; }
  const std::string& FilePath() const { return filePath_; }
  // The file as messages name it: as the user named its block when that
  // differs from where it is written (a block staged beside the old one),
  // else as the user would spell it (under a drive "D:\\GIS\\...").
  std::string ShownFilePath() const;
  std::string ShownPath;
  int RecordSize() const { return recordSize_; }
  // Why the first write into the file failed; empty while every write
  // went through.
  const std::string& WriteFailure() const { return writeFailure_; }
  // Writes what still waits in the write buffer into the file (a writer's
  // companions too); false, with the failure noted, when the file refused
  // it or an earlier write. A writer freed without it still writes what
  // waits, but nobody learns of a failure then.
  virtual bool FlushWrites();

  // Where the registers live: the model's first TRegister, created when
  // missing. Without a model the reader keeps a register of its own.
  void SetObjectModel(TEntity* model) { objectModel_ = model; }
  TEntity* GetObjectModel() const { return objectModel_; }
  // A register shared by several readers (the block reader's sub-readers).
  void SetRegisterRoot(TRegister* reg) { registerRoot_ = reg; }
  TRegister* GetRegisterRoot();

  void BeginReading();
  void EndReading();

  bool UseMemory = false;
  std::int16_t Barva = 0;
  std::int16_t Znacka = 0;
  bool BarvaSet = false;
  bool ZnackaSet = false;
  // Called with every object accepted.
  std::function<void(TElement*&)> OnNewObject;

  void SetBarva(std::int16_t v) { Barva = v; BarvaSet = true; }
  void SetZnacka(std::int16_t v) { Znacka = v; ZnackaSet = true; }
  std::int16_t BarvaOf(std::int16_t stored) const { return BarvaSet ? Barva : stored; }
  std::int16_t ZnackaOf(std::int16_t stored) const { return ZnackaSet ? Znacka : stored; }

 protected:
  // Opens the file of the block for reading (writers: for writing); false
  // when it cannot be opened.
  virtual bool OpenStream();
  void FireNewObject(TElement*& object) {
    if (OnNewObject) OnNewObject(object);
  }
  // Writes at the current position; a record beyond the end first fills
  // the gap with `gapRecord`.
  bool WriteRecord(const std::uint8_t* record, std::int32_t at, const std::vector<std::uint8_t>& gapRecord);
  // Keeps the cause of the first failed write: that of an open that
  // failed, else errno of the failed call.
  void NoteWriteFailure(const std::error_code& opening = {});
  // Writes `size` bytes at `offset`. Bytes that go on where the last ones
  // ended wait in a buffer and reach the file together (one system call for
  // many records); a failure is known when they do: at a later write, at
  // FlushWrites at the latest. False (and the failure noted) when the file
  // refused them or earlier bytes.
  bool WriteAt(std::int64_t offset, const char* bytes, std::int64_t size);
  // Anything but WriteAt that moves the stream's position: what waits is
  // written first.
  void ForgetWritePlace();

  std::unique_ptr<std::iostream> stream_;
  // Room for one record, kept between reads, for readers that decode the
  // record at once (a vertex, a ring's next line): no allocation per record.
  std::vector<std::uint8_t> scratch_;
  std::string filePath_;
  int recordSize_ = 0;
  std::int32_t lastRecord_ = -1;
  platform::Pacer pacer_;
  std::string writeFailure_;
  // Why OpenStream could not open the file for reading.
  std::error_code openError_;

 private:
  // Only on the stream OpenStream opened for reading, which nothing writes:
  // its size and the position the reads left, so that reading record after
  // record asks the file neither (each question is a system call).
  bool KnowsStream() const { return stream_ && stream_.get() == readStream_; }
  // Asked of the file (system calls); -1 when it cannot tell.
  std::int64_t FileSize() const;
  const std::iostream* readStream_ = nullptr;
  mutable std::int64_t knownSize_ = -1;
  std::int64_t knownPosition_ = -1;
  // Writes bytes into the file at once; false, the failure noted and the
  // place forgotten, when the file refuses them.
  bool writeThrough(std::int64_t offset, const char* bytes, std::int64_t size);
  bool flushPending();
  // What our own writes left: the file's size with the bytes still waiting,
  // and the stream's position after the last bytes written into the file, so
  // that appending record after record asks the file neither, and seeks only
  // where it writes elsewhere (every seek of a file stream is a system
  // call). -1: ask the file.
  std::int64_t writtenSize_ = -1;
  std::int64_t writtenPosition_ = -1;
  // The bytes waiting, which belong at `pendingAt_`.
  std::vector<char> pending_;
  std::int64_t pendingAt_ = 0;

  TEntity* objectModel_ = nullptr;
  TRegister* registerRoot_ = nullptr;
  TRegister* ownRegister_ = nullptr;
  TGelixBlockRegister* register_ = nullptr;
  std::vector<std::unique_ptr<platform::BusyCursor>> busy_;
};

// A reader of one TN file; Open names the block directory and opens the
// file, or warns "Čtení bloku: Soubor ... neexistuje !" and stays without
// stream.
class TGeliXObjectReader : public TGeliXReader {
  ZELTO_ELEMENT(TGeliXObjectReader)
 public:
  virtual int RecordSizeOfFile() const { return 0; }
  virtual std::string GetFileName() const { return {}; }
  // The block's file path: the directory and the file name, matched
  // regardless of case when the file exists.
  static std::string BlockFilePath(const std::string& directory, const std::string& fileName);
  bool Open(const std::string& directory);
  // The block's file whose writing failed first, and why; false while
  // every write went through.
  virtual bool Failed(std::string& file, std::string& cause) const;
  // What this reader and its companions found wrong with the block's files.
  virtual gisblock::BlockDamage Damage() const { return damage_; }
  // Warns of a fault of this file ("<path>: <fault>") and keeps it as
  // damage of the block.
  void NoteDamage(const std::string& fault);
  // Keeps a fault as damage that a warning of its own has told already.
  void NoteToldDamage(const std::string& fault);
  // The reader, this one or a companion, of the block's file of that name;
  // nil when none of them reads it.
  virtual TGeliXObjectReader* ReaderOf(const std::string& fileName) {
    return fileName == GetFileName() ? this : nullptr;
  }

  // A reader of the block's file through the coordinate system (nil: the
  // world's); without the file it has no stream and the warning is posted.
  template <class Reader>
  static Reader* CreateForBlock(const std::string& directory, TWCS* system = nullptr) {
    std::unique_ptr<Reader> reader = std::make_unique<Reader>();
    if (system) reader->SetCoordSystem(system);
    reader->Open(directory);
    return reader.release();
  }

 protected:
  // Companions (coordinate file, line file, text file) once the file is open.
  virtual bool OpenCompanions() { return true; }
  // Whether a missing file is created (writers) rather than reported.
  virtual bool CreatesMissingFile() const { return false; }
  // Whether opening empties the file (a writer that rewrites).
  virtual bool Rewrites() const { return false; }
  // The writers' OpenStream: the file for update, after `rewrite` has
  // emptied it down to its dummy record; false, with the cause noted (see
  // Failed), when the file cannot be so opened.
  bool OpenForWriting(bool rewrite);

 private:
  void WarnOfPartialRecord();
  gisblock::BlockDamage damage_;
  // Each fault is told once, however often a walk meets it.
  std::unordered_set<std::string> faults_;
};
