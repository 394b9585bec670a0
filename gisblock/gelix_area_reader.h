#pragma once
// Readers of the areas (TN.ARE) of a block. An area's outer ring is found
// by walking the links of its boundary lines: as a ring of vertices
// (TGelixAreaBoundaryReader) or as a ring of the shared line objects
// (TGelixAreaReader), which also builds the hole an island leaves in its
// father.
#include <cstdint>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

#include "geometry/area_element.h"
#include "gisblock/are_record.h"
#include "gisblock/gelix_lin_reader.h"

class TGelixAreaProps;

class TGelixAreaBoundaryReader : public TGeliXObjectReader {
  ZELTO_ELEMENT(TGelixAreaBoundaryReader)
 public:
  // Rings longer than this are taken for broken links.
  static constexpr int kMaxRingLines = 10000;

  ~TGelixAreaBoundaryReader() override;
  int RecordSizeOfFile() const override { return gisblock::AreRecord::kSize; }
  std::string GetFileName() const override { return "TN.ARE"; }
  char GetKindCode() const override { return 'P'; }

  // The area of the next record as a ring of vertices.
  virtual TAreaElement* ReadArea();
  // The record read last.
  const gisblock::AreRecord& Record() const { return record_; }
  // Record n, without moving the reading position.
  std::optional<gisblock::AreRecord> RecordAt(std::int32_t n);
  // A number below 1, beyond the file, or a record that is not live.
  bool IsDeadArea(std::int64_t n);
  // Whether the record is a live area other than the dummy, in the window.
  bool Readable(const gisblock::AreRecord& record, std::int32_t number);

  struct RingLine {
    std::int32_t record = 0;
    gisblock::LinRecord line;
    bool onLeft = true;
  };
  // The line the ring walk of the area starts with: its LineNo when that
  // line borders it, else (after a beep) the first line that does. `quiet`:
  // asked again, without the beep and the damage.
  std::optional<RingLine> FindFirstLine(const gisblock::AreRecord& area, std::int32_t number, bool quiet = false);
  // The outer ring as vertices, with the attribute record; nil when the
  // ring does not close.
  TAreaElement* BuildBoundaryArea(const gisblock::AreRecord& area, std::int32_t number);

  TGelixLinReader* LineReader();
  gisblock::BlockDamage Damage() const override;
  TGeliXObjectReader* ReaderOf(const std::string& fileName) override;

  // A side of a line: the line bordering an area, and whether the area lies
  // on its left.
  struct LineSide {
    std::int32_t record = 0;
    bool onLeft = true;
  };
  // Every live line bordering the area, in record order; built by one pass
  // over TN.LIN the first time it is asked.
  const std::vector<LineSide>& SidesOf(std::int32_t number);

 protected:
  bool OpenCompanions() override;
  // The next readable record built into an area by `build`, kept only when
  // it passes the kind filter (and announced as a new object).
  TAreaElement* ReadAreaWith(const std::function<TAreaElement*(const gisblock::AreRecord&, std::int32_t)>& build);
  // The attribute record of the area of record `number`.
  TGelixAreaProps* NewAreaProps(const gisblock::AreRecord& record, std::int32_t number);
  TGelixLinReader* lines_ = nullptr;  // owned
  gisblock::AreRecord record_;

  // Notes as damage a side of a ring line that names an area beyond TN.ARE.
  void CheckSides(const gisblock::LinRecord& line, std::int32_t lineNo);
  // A ring that cannot be walked round is damage of TN.LIN: the area it
  // bounds is not read whole. `ring` names it ("hranice plochy č.3"):
  // no line borders the area; the walk stops at line `lineNo` ("končí u
  // linie", "nelze načíst linii"); two lines of it do not meet.
  void NoteNoLines(std::int32_t number);
  void NoteBrokenRing(const std::string& ring, std::int32_t lineNo, const std::string& why);
  void NoteGap(const std::string& ring, std::int32_t before, std::int32_t after);

 private:
  // The sides of every area, so that neither the search for an area's
  // first line nor the search for its inner rings scans TN.LIN per area.
  std::unordered_map<std::int32_t, std::vector<LineSide>> sides_;
  bool sidesBuilt_ = false;

 protected:
  // How many sides the outer ring of each area built as a ring of vertices
  // took: an area with no more sides than these has no inner ring.
  std::unordered_map<std::int32_t, std::int32_t> outerRingSides_;
};

class TGelixAreaReader : public TGelixAreaBoundaryReader {
  ZELTO_ELEMENT(TGelixAreaReader)
 public:
  // The area of the next record as a ring of lines.
  TAreaElement* ReadArea() override;
  TAreaElement* ReadBoundaryArea() { return TGelixAreaBoundaryReader::ReadArea(); }
  // The outer ring as lines (shared through the register), with the
  // attribute record and the reference point; nil with a warning when the
  // ring cannot be walked.
  TPolyLineAreaElement* BuildLineArea(const gisblock::AreRecord& area, std::int32_t number);
  // The hole the island `area` leaves in its father `paterNo`.
  TPolyLineAreaElement* BuildHoleRing(const gisblock::AreRecord& area, std::int32_t number,
                                      std::int32_t paterNo);
  // The inner rings of the area of record `number` that no island has
  // made a hole of yet (a hole with nothing inside it): each becomes a hole
  // of `area`; a ring that does not close, or does not lie inside the
  // area, is logged with the area and its line instead.
  void AddUnfilledHoles(TAreaElement& area, const gisblock::AreRecord& record, std::int32_t number);

 private:
  // Walks the ring from `start` on side `onLeft`, adding each line; false
  // with the warnings when a line is missing or a link breaks. With
  // `toStartPoint` the ring also must come back to its first vertex.
  bool walkLines(TPolyLineAreaElement& area, std::int32_t number, RingLine start, bool onLeft,
                 bool toStartPoint);
  void setReference(TAreaElement& area, const gisblock::AreRecord& record);
};
