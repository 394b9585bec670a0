#include "gisblock/gelix_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <istream>
#include <sstream>
#include <streambuf>
#include <system_error>

#include "framework/message_dispatch.h"
#include "framework/problem_report.h"
#include "framework/rect_entity.h"
#include "framework/world.h"
#include "gisblock/empty_block.h"
#include "gisblock/gelix_classes.h"
#include "gisblock/gelix_registers.h"
#include "platform/system_cause.h"
#include "platform/path_resolver.h"
#include "platform/regular_file.h"
#include "platform/user_interaction.h"

ZELTO_IMPLEMENT_ELEMENT(TGeliXReader, TGelixManipulator, [](auto& p) {
  p.Object("Register", TElement::StaticClass(), &TGeliXReader::GetRegister);
  p.Boolean("UseMemory", &TGeliXReader::UseMemory, &TGeliXReader::UseMemory);
  p.Integer("Barva", &TGeliXReader::Barva, &TGeliXReader::SetBarva);
  p.Integer("Znacka", &TGeliXReader::Znacka, &TGeliXReader::SetZnacka);
  p.Method("OnNewObject", [](TGeliXReader& r) { return static_cast<bool>(r.OnNewObject); });
})
ZELTO_IMPLEMENT_ELEMENT(TGeliXObjectReader, TGeliXReader, ZELTO_NO_PROPERTIES)

namespace fs = std::filesystem;

namespace {
// Bytes of one file that wait for a single write: records of a few hundred
// bytes each.
constexpr std::size_t kWriteBuffer = std::size_t{1} << 18;

// A file read whole into memory at open: a ring of an area seeks from line
// to line, and a file stream throws its buffer away (and asks the system)
// at every seek. Positions past the end are refused, as reads there are.
class FileImageBuf : public std::streambuf {
 public:
  explicit FileImageBuf(std::string bytes) : bytes_(std::move(bytes)) {
    char* begin = bytes_.data();
    setg(begin, begin, begin + bytes_.size());
  }

 protected:
  pos_type seekoff(off_type offset, std::ios_base::seekdir dir, std::ios_base::openmode) override {
    const auto size = static_cast<off_type>(bytes_.size());
    off_type base = 0;
    if (dir == std::ios_base::cur)
      base = gptr() - eback();
    else if (dir == std::ios_base::end)
      base = size;
    const off_type at = base + offset;
    if (at < 0 || at > size) return pos_type(off_type(-1));
    setg(eback(), eback() + at, egptr());
    return pos_type(at);
  }
  pos_type seekpos(pos_type position, std::ios_base::openmode which) override {
    return seekoff(off_type(position), std::ios_base::beg, which);
  }

 private:
  std::string bytes_;
};

// The stream over a file image; it owns its buffer.
class FileImageStream : public std::iostream {
 public:
  explicit FileImageStream(std::string bytes) : std::iostream(nullptr), buf_(std::move(bytes)) {
    rdbuf(&buf_);
  }

 private:
  FileImageBuf buf_;
};
}  // namespace

TGeliXReader::~TGeliXReader() {
  flushPending();
  while (!busy_.empty()) EndReading();
  delete ownRegister_;
}

std::int32_t TGeliXReader::GetRecordCount() const {
  if (!stream_ || recordSize_ < 1) return 0;
  if (writtenSize_ >= 0) return static_cast<std::int32_t>(writtenSize_ / recordSize_);
  if (KnowsStream() && knownSize_ >= 0) return static_cast<std::int32_t>(knownSize_ / recordSize_);
  const std::int64_t size = FileSize();
  if (size < 0) return 0;
  if (KnowsStream()) knownSize_ = size;
  return static_cast<std::int32_t>(size / recordSize_);
}

std::int64_t TGeliXReader::FileSize() const {
  const auto here = stream_->tellg();
  stream_->seekg(0, std::ios::end);
  const auto size = static_cast<std::int64_t>(stream_->tellg());
  stream_->seekg(here);
  return size;
}

TRegister* TGeliXReader::GetRegisterRoot() {
  if (registerRoot_) return registerRoot_;
  if (objectModel_) {
    TElement* found = objectModel_->FindElementByClass(TRegister::StaticClass());
    if (!found) found = objectModel_->Adopt(new TRegister);
    return registerRoot_ = static_cast<TRegister*>(found);
  }
  if (TWorld* world = GetWorld()) {
    objectModel_ = world->GetObjectModel();
    return GetRegisterRoot();
  }
  if (!ownRegister_) ownRegister_ = new TRegister;
  return ownRegister_;
}

TGelixBlockRegister* TGeliXReader::GetRegister() {
  if (register_) return register_;
  // The register is made by class name: a program that has not registered
  // the block classes yet must still get one.
  RegisterGelixClasses();
  TBlockRegister* block =
      GetRegisterRoot()->GetBlock(gisblock::normalizeBlockPath(BlockName), "TGelixBlockRegister");
  register_ = block && block->Is<TGelixBlockRegister>() ? static_cast<TGelixBlockRegister*>(block) : nullptr;
  return register_;
}

void TGeliXReader::SeekRecord(std::int32_t n) {
  if (!stream_ || n < 0) return;
  // Already there (the next line's vertices follow the last line's): a seek
  // would throw the stream's buffer away.
  if (KnowsStream() && knownPosition_ == static_cast<std::int64_t>(n) * recordSize_ && stream_->good()) return;
  ForgetWritePlace();
  stream_->clear();
  stream_->seekg(static_cast<std::streamoff>(n) * recordSize_);
  stream_->seekp(static_cast<std::streamoff>(n) * recordSize_);
  knownPosition_ = KnowsStream() ? static_cast<std::int64_t>(n) * recordSize_ : -1;
}

bool TGeliXReader::ReadRecord(std::vector<std::uint8_t>& record) {
  if (!stream_ || recordSize_ < 1) return false;
  record.assign(static_cast<std::size_t>(recordSize_), 0);
  ForgetWritePlace();
  const auto at = KnowsStream() && knownPosition_ >= 0 ? knownPosition_ : static_cast<std::int64_t>(stream_->tellg());
  if (at < 0) return false;
  stream_->read(reinterpret_cast<char*>(record.data()), recordSize_);
  if (stream_->gcount() != recordSize_) {
    stream_->clear();
    knownPosition_ = -1;
    return false;
  }
  knownPosition_ = KnowsStream() ? at + recordSize_ : -1;
  lastRecord_ = static_cast<std::int32_t>(at / recordSize_);
  // The monitor is moved, and painted, a few times a second: a district of
  // 100,000 lines read without a pump leaves it black.
  if (pacer_.due()) {
    StepProgress(lastRecord_ + 1);
    zelto::ProcessPendingMessages();
  }
  return true;
}

bool TGeliXReader::ReadRecordAt(std::int32_t n, std::vector<std::uint8_t>& record) {
  if (n < 0) return false;
  SeekRecord(n);
  return ReadRecord(record);
}

bool TGeliXReader::WriteRecord(const std::uint8_t* record, std::int32_t at,
                               const std::vector<std::uint8_t>& gapRecord) {
  if (!stream_ || at < 0) return false;
  stream_->clear();
  knownSize_ = knownPosition_ = -1;
  for (std::int32_t n = GetRecordCount(); n < at; ++n)
    if (!WriteAt(static_cast<std::int64_t>(n) * recordSize_, reinterpret_cast<const char*>(gapRecord.data()),
                 recordSize_))
      return false;
  if (!WriteAt(static_cast<std::int64_t>(at) * recordSize_, reinterpret_cast<const char*>(record), recordSize_))
    return false;
  if (pacer_.due()) StepProgress(at + 1);
  return true;
}

bool TGeliXReader::WriteAt(std::int64_t offset, const char* bytes, std::int64_t size) {
  if (!stream_) return false;
  if (writtenSize_ < 0) {
    stream_->clear();
    writtenSize_ = FileSize();
  }
  const auto count = static_cast<std::size_t>(size);
  const bool follows = !pending_.empty() && offset == pendingAt_ + static_cast<std::int64_t>(pending_.size());
  if (!follows || pending_.size() + count > kWriteBuffer) {
    if (!flushPending()) return false;
    if (count >= kWriteBuffer) return writeThrough(offset, bytes, size) && writeFailure_.empty();
    pendingAt_ = offset;
  }
  pending_.insert(pending_.end(), bytes, bytes + count);
  writtenSize_ = std::max(writtenSize_, offset + size);
  return writeFailure_.empty();
}

bool TGeliXReader::writeThrough(std::int64_t offset, const char* bytes, std::int64_t size) {
  stream_->clear();
  errno = 0;
  if (writtenPosition_ != offset) stream_->seekp(static_cast<std::streamoff>(offset));
  stream_->write(bytes, static_cast<std::streamsize>(size));
  stream_->flush();
  if (!*stream_) {
    NoteWriteFailure();
    writtenSize_ = writtenPosition_ = -1;
    return false;
  }
  writtenPosition_ = offset + size;
  writtenSize_ = std::max(writtenSize_, writtenPosition_);
  return true;
}

bool TGeliXReader::flushPending() {
  if (pending_.empty() || !stream_) {
    pending_.clear();
    return writeFailure_.empty();
  }
  std::vector<char> bytes;
  bytes.swap(pending_);
  const bool written = writeThrough(pendingAt_, bytes.data(), static_cast<std::int64_t>(bytes.size()));
  // The buffer's room is kept for the bytes to come.
  bytes.clear();
  pending_.swap(bytes);
  return written && writeFailure_.empty();
}

bool TGeliXReader::FlushWrites() { return flushPending(); }

void TGeliXReader::ForgetWritePlace() {
  flushPending();
  writtenSize_ = writtenPosition_ = -1;
}

void TGeliXReader::NoteWriteFailure(const std::error_code& opening) {
  if (!writeFailure_.empty()) return;
  const int error = errno;
  writeFailure_ = opening ? platform::systemCause(opening) : platform::systemCause(error);
}

bool TGeliXReader::OpenStream() {
  if (stream_) return true;
  openError_.clear();
  if (!fs::exists(filePath_)) return false;
  if (UseMemory) {
    platform::RegularFileStream in(filePath_, std::ios::in);
    if (!in.is_open()) {
      openError_ = in.error();
      return false;
    }
    auto memory = std::make_unique<std::stringstream>(std::ios::in | std::ios::out | std::ios::binary);
    // Copied by read() and write(), which keep their failures in their
    // streams: a copy through rdbuf() would take a read that fails, or
    // memory that runs out, for the end of the file.
    char chunk[8192];
    do {
      in.read(chunk, sizeof chunk);
      memory->write(chunk, in.gcount());
    } while (in && *memory);
    if (in.bad()) {
      // As a file the whole of which cannot be read (readRegularFile).
      openError_ = {errno ? errno : EIO, std::generic_category()};
      return false;
    }
    if (!*memory) {
      zelto::ReportProblem("Nedostatek paměti ! vypněte položku Agresivně využívat paměť v nastavení Vezodau");
      return false;
    }
    memory->seekg(0);
    stream_ = std::move(memory);
  } else {
    // A named pipe, which would be waited on for ever, or anything else that
    // is no file is refused (openError_).
    std::string bytes;
    if (!platform::readRegularFile(filePath_, bytes, openError_)) return false;
    stream_ = std::make_unique<FileImageStream>(std::move(bytes));
  }
  readStream_ = stream_.get();
  knownSize_ = -1;
  knownPosition_ = 0;
  return true;
}

std::string TGeliXReader::ShownFilePath() const {
  return ShownPath.empty() ? platform::pathResolver().userSpelling(filePath_) : ShownPath;
}

void AddReadElement(TRectEntity& owner, TElement* element) {
  try {
    owner.AddAndExtend(element);
  } catch (...) {
    if (element->GetOwnersCount() == 0) delete element;
    throw;
  }
}

void TGeliXReader::BeginReading() {
  busy_.push_back(std::make_unique<platform::BusyCursor>());
  ResetCondition();
  BeginProgress(ClassName() + " (" + platform::pathResolver().userSpelling(filePath_) + ") ", 0, GetRecordCount());
}

void TGeliXReader::EndReading() {
  if (busy_.empty()) return;
  busy_.pop_back();
  EndProgress();
}

std::string TGeliXObjectReader::BlockFilePath(const std::string& directory, const std::string& fileName) {
  const std::string joined = directory + "/" + fileName;
  const fs::path existing = platform::pathResolver().existing(joined);
  return existing.empty() ? joined : existing.string();
}

bool TGeliXObjectReader::Open(const std::string& directory) {
  BlockName = gisblock::normalizeBlockPath(directory);
  recordSize_ = RecordSizeOfFile();
  filePath_ = BlockFilePath(BlockName, GetFileName());
  if (!fs::exists(filePath_) && !CreatesMissingFile()) {
    PostWarning("Čtení bloku: Soubor " + ShownFilePath() + " neexistuje !");
    // Every block holds all its files: a read without one of them lacks
    // what it held, as one of a file cut short does.
    NoteToldDamage("soubor neexistuje");
    return false;
  }
  ForgetWritePlace();
  if (!OpenStream()) {
    // A writer has noted why; a file that is there but cannot be read is
    // as good as missing.
    if (WriteFailure().empty()) NoteDamage(platform::openFault(openError_, "soubor nelze otevřít"));
    return false;
  }
  if (!Rewrites()) WarnOfPartialRecord();
  return OpenCompanions();
}

void TGeliXObjectReader::WarnOfPartialRecord() {
  if (!stream_ || recordSize_ < 1) return;
  stream_->clear();
  const auto here = stream_->tellg();
  stream_->seekg(0, std::ios::end);
  const auto size = static_cast<std::int64_t>(stream_->tellg());
  stream_->seekg(here);
  // A file cut short (a full disk, a broken copy): what it still holds is
  // read, but the user must know that the block is damaged.
  if (size > 0 && size % recordSize_ != 0)
    NoteDamage("délka souboru " + std::to_string(size) + " B není násobkem délky záznamu " +
               std::to_string(recordSize_) + " B");
}

void TGeliXObjectReader::NoteDamage(const std::string& fault) {
  if (!faults_.insert(fault).second) return;
  PostWarning("Čtení bloku: " + ShownFilePath() + ": " + fault);
  damage_.Note(GetFileName() + ": " + fault);
}

void TGeliXObjectReader::NoteToldDamage(const std::string& fault) {
  if (faults_.insert(fault).second) damage_.Note(GetFileName() + ": " + fault);
}

bool TGeliXObjectReader::OpenForWriting(bool rewrite) {
  errno = 0;
  if (rewrite) {
    platform::RegularFileStream out(filePath_, std::ios::out | std::ios::trunc);
    const std::vector<std::uint8_t> dummy = gisblock::dummyRecord(GetFileName());
    out.write(reinterpret_cast<const char*>(dummy.data()), static_cast<std::streamsize>(dummy.size()));
    out.close();
    if (!out) {
      NoteWriteFailure(out.error());
      return false;
    }
  }
  auto file = std::make_unique<platform::RegularFileStream>(filePath_, std::ios::in | std::ios::out);
  if (!file->is_open()) {
    NoteWriteFailure(file->error());
    return false;
  }
  stream_ = std::move(file);
  return true;
}

bool TGeliXObjectReader::Failed(std::string& file, std::string& cause) const {
  if (writeFailure_.empty()) return false;
  file = GetFileName();
  cause = writeFailure_;
  return true;
}
