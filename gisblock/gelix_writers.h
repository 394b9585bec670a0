#pragma once
// Writers of the lines (TN.LIN with their vertices in TN.CRD) and areas
// (TN.ARE) of a block. A record lands at the index of its number; gaps are
// filled with the deleted dummy record, so numbers never written read as
// nothing. A block this system writes always starts with its dummies.
#include <cstdint>
#include <string>

#include "geometry/area_element.h"
#include "gisblock/gelix_lin_reader.h"

namespace gisblock {
// The file of a block that could not be written (empty when the directory
// itself is the trouble), and the system's cause.
struct FileFailure {
  std::string file;
  std::string cause;
};
}  // namespace gisblock

// The six TN files of an empty block into an existing directory; TN.TTX
// names the block as `shownName` (by default the directory). An empty
// directory name, or one that leads nowhere, is refused, as is a file that
// cannot be written: false then, and `failure` says which and why (without
// it a message does).
bool CreateEmptyBlock(const std::string& directory, const std::string& shownName = {},
                      gisblock::FileFailure* failure = nullptr);

class TGelixCoordWriter : public TGelixCoordReader {
  ZELTO_ELEMENT(TGelixCoordWriter)
 public:
  bool Rewrite = false;
  // Writes the vertices (world coordinates) one after another at the end of
  // TN.CRD; the index of the first, or -1 when the file cannot be written.
  std::int32_t AppendCoords(const std::vector<std::uint8_t>& records, std::int32_t count);

 protected:
  bool OpenStream() override;
  bool CreatesMissingFile() const override { return Rewrite; }
  bool Rewrites() const override { return Rewrite; }
};

class TGelixLinWriter : public TGelixLinReader {
  ZELTO_ELEMENT(TGelixLinWriter)
 public:
  // Creates a missing directory with an empty block first; nil when the
  // files cannot be opened, or when the directory name is empty or leads
  // nowhere: `failure` says which file and why (without it a message does).
  // Without `rewrite` the files must exist: a missing one is reported as the
  // reader reports it.
  // The writer owns the coordinate system given (by default the world's).
  static TGelixLinWriter* CreateForBlock(const std::string& directory, bool rewrite, TWCS* system = nullptr,
                                         gisblock::FileFailure* failure = nullptr);

  // Number: the element's ID; sides from the line's attribute record.
  bool WriteLine(TPolyLineElement* line);
  bool WriteLineWithAreas(TPolyLineElement* line, std::int32_t leftArea, std::int32_t rightArea);
  // Number: the attribute record's Cislo; empty links; the writer's Druh
  // is not applied.
  bool WriteLineRecordOnly(TPolyLineElement* line);

  bool Rewrite = false;
  std::int16_t Druh = 0;  // when above 0, the Druh of every line of WriteLine(WithAreas)

  // The first of TN.LIN and TN.CRD that could not be written, and why;
  // false while both were written whole.
  bool Failed(std::string& file, std::string& cause) const override;
  // TN.LIN and TN.CRD.
  bool FlushWrites() override;

 protected:
  bool OpenStream() override;
  bool CreatesMissingFile() const override { return Rewrite; }
  bool Rewrites() const override { return Rewrite; }
  TGelixCoordReader* CreateCoordReader() override;

 private:
  bool writeLine(TPolyLineElement* line, std::int32_t number, std::int16_t druh, std::int32_t left,
                 std::int32_t right, bool keepLinks);
};

class TGelixObjectWriter : public TGeliXObjectReader {
  ZELTO_ELEMENT(TGelixObjectWriter)
 public:
  bool Rewrite = false;
  std::int16_t Druh = 0;

 protected:
  bool OpenStream() override;
  bool CreatesMissingFile() const override { return Rewrite; }
  bool Rewrites() const override { return Rewrite; }
};

class TGelixAreaWriter : public TGelixObjectWriter {
  ZELTO_ELEMENT(TGelixAreaWriter)
 public:
  // As the line writer's.
  static TGelixAreaWriter* CreateForBlock(const std::string& directory, bool rewrite, TWCS* system = nullptr,
                                          gisblock::FileFailure* failure = nullptr);
  int RecordSizeOfFile() const override { return 71; }
  std::string GetFileName() const override { return "TN.ARE"; }
  char GetKindCode() const override { return 'P'; }
  bool WriteArea(TAreaElement* area);
};
