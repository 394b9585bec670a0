#include "gisblock/block_references.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "framework/czech_count.h"
#include "gisblock/are_record.h"
#include "gisblock/crd_record.h"
#include "gisblock/gelix_reader.h"
#include "gisblock/lin_record.h"
#include "gisblock/record_bytes.h"
#include "platform/regular_file.h"

namespace gisblock {

namespace {

using bytes::getI32;
using bytes::getReal;
using bytes::getU8;

constexpr std::int32_t kMostRecords = std::numeric_limits<std::int32_t>::max();

// The whole records of a block file, one after another, read a few hundred
// at a time: the pass holds no file whole, and asks the system once for
// many records.
class RecordWalk {
 public:
  RecordWalk(const std::string& block, const char* name, int recordSize)
      : in_(TGeliXObjectReader::BlockFilePath(block, name), std::ios::in), recordSize_(recordSize) {
    if (!in_.is_open()) return;
    in_.seekg(0, std::ios::end);
    const auto size = static_cast<std::int64_t>(in_.tellg());
    in_.seekg(0);
    if (size < 0 || !in_) return;
    count_ = static_cast<std::int32_t>(std::min<std::int64_t>(size / recordSize, kMostRecords));
    buffer_.resize(static_cast<std::size_t>(recordSize) * kChunk);
  }
  // Whether the file is there and a regular file that could be read: one
  // that is not names nothing, and the reads that take it tell so.
  bool open() const { return count_ >= 0; }
  // The whole records the file holds, as the readers count them.
  std::int32_t count() const { return count_; }
  // The next record and its number; false at the end (or where the file
  // stops short of what its size promised).
  bool next(const std::uint8_t*& record, std::int32_t& number) {
    if (at_ == inBuffer_) {
      const std::int32_t left = count_ - read_;
      if (left <= 0) return false;
      const std::int32_t chunk = std::min(left, kChunk);
      in_.read(reinterpret_cast<char*>(buffer_.data()), static_cast<std::streamsize>(chunk) * recordSize_);
      inBuffer_ = static_cast<std::int32_t>(in_.gcount() / recordSize_);
      at_ = 0;
      if (inBuffer_ == 0) return false;
    }
    record = buffer_.data() + static_cast<std::size_t>(at_) * recordSize_;
    number = read_++;
    ++at_;
    return true;
  }

 private:
  static constexpr std::int32_t kChunk = 512;
  platform::RegularFileStream in_;
  int recordSize_;
  std::int32_t count_ = -1;
  std::vector<std::uint8_t> buffer_;
  std::int32_t read_ = 0, at_ = 0, inBuffer_ = 0;
};

std::string Records(std::int32_t count) { return framework::CzechCount(count, "záznam", "záznamy", "záznamů"); }

// What the live lines name, up to the first line that names beyond each of
// the files counted; a file not counted is not looked at. The fields are
// read in place, at the offsets the records give: decoding the reals of
// every record would cost more than the whole check.
void CheckLines(RecordWalk& lin, std::optional<std::int32_t> crd, std::optional<std::int32_t> areas,
                std::vector<ReferenceFault>& faults) {
  bool coordsTold = !crd, sidesTold = !areas;
  const std::uint8_t* record = nullptr;
  std::int32_t r = 0;
  while (!(coordsTold && sidesTold) && lin.next(record, r)) {
    if (r == 0 || (getU8(record, LinRecord::kFlagsAt) & LinRecord::kDeleted)) continue;
    if (!coordsTold) {
      const std::int32_t first = getI32(record, LinRecord::kFirstCoordAt), last = getI32(record, LinRecord::kLastCoordAt);
      if (!(first >= 0 && first < *crd && last >= 0 && last < *crd)) {
        faults.push_back({"TN.LIN", "linie č." + std::to_string(r) + " má souřadnice " + std::to_string(first) +
                                        " až " + std::to_string(last) + " mimo soubor TN.CRD (" + Records(*crd) +
                                        "), linie vynechána"});
        coordsTold = true;
      }
    }
    if (!sidesTold) {
      for (const auto& [at, where] : {std::pair{LinRecord::kLeftAreaAt, "vlevo"}, std::pair{LinRecord::kRightAreaAt, "vpravo"}}) {
        // "No area" is stored as 0 or as -1.
        const std::int32_t area = getI32(record, at);
        if (area < 1 || area < *areas) continue;
        faults.push_back({"TN.LIN", "linie č." + std::to_string(r) + " má " + where + " plochu č." +
                                        std::to_string(area) + " mimo soubor TN.ARE (" + Records(*areas) + ")"});
        sidesTold = true;
        break;
      }
    }
  }
}

// What the live areas name: their first lines (when `lines` counts
// TN.LIN) and their fathers (with `fathers`).
void CheckAreas(RecordWalk& are, std::optional<std::int32_t> lines, bool fathers,
                std::vector<ReferenceFault>& faults) {
  bool linesTold = !lines, fathersTold = !fathers;
  const std::uint8_t* record = nullptr;
  std::int32_t r = 0;
  while (!(linesTold && fathersTold) && are.next(record, r)) {
    // AreRecord::live, its one real decoded only where the flags pass.
    if (r == 0 || (getU8(record, AreRecord::kFlagsAt) & 7) != 0 || !(getReal(record, AreRecord::kAreaAt) > AreRecord::kMinLiveArea))
      continue;
    const std::int32_t line = getI32(record, AreRecord::kLineNoAt);
    if (!linesTold && line >= *lines) {
      faults.push_back({"TN.ARE", "plocha č." + std::to_string(r) + " odkazuje na linii č." + std::to_string(line) +
                                      " mimo soubor TN.LIN (" + Records(*lines) + ")"});
      linesTold = true;
    }
    const std::int32_t pater = getI32(record, AreRecord::kPaterNoAt);
    if (!fathersTold && pater >= 1 && pater != r && pater >= are.count()) {
      faults.push_back({"TN.ARE", "plocha č." + std::to_string(r) + " má otce č." + std::to_string(pater) +
                                      " mimo soubor TN.ARE (" + Records(are.count()) + ")"});
      fathersTold = true;
    }
  }
}

}  // namespace

std::vector<ReferenceFault> ReferencesBeyondFiles(const std::string& block, unsigned taken) {
  std::vector<ReferenceFault> faults;
  if (!(taken & (kTakesCrd | kTakesLin | kTakesAre))) return faults;
  std::optional<std::int32_t> crdRecords, linRecords, areRecords;
  if (taken & kTakesCrd)
    if (RecordWalk crd(block, "TN.CRD", CrdRecord::kSize); crd.open()) crdRecords = crd.count();
  RecordWalk lin(block, "TN.LIN", LinRecord::kSize);
  if ((taken & kTakesLin) && lin.open()) linRecords = lin.count();
  RecordWalk are(block, "TN.ARE", AreRecord::kSize);
  if ((taken & kTakesAre) && are.open()) areRecords = are.count();
  if (lin.open() && (crdRecords || areRecords)) CheckLines(lin, crdRecords, areRecords, faults);
  if (are.open() && (linRecords || (taken & kTakesAre))) CheckAreas(are, linRecords, taken & kTakesAre, faults);
  return faults;
}

}  // namespace gisblock
