#pragma once
// Reading a whole block kind by kind into element strings: points, lines,
// line symbols, areas (fathers before their islands, each hole once) and
// texts, with the block's INFO.TXT for its rectangle and code page.
#include <cstdint>
#include <set>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "geometry/area_element.h"
#include "gisblock/are_record.h"
#include "gisblock/block_info.h"
#include "gisblock/gelix_reader.h"

class TGelixAreaReader;

class TGeliXBlokInfoReader : public TGelixManipulator {
  ZELTO_ELEMENT(TGeliXBlokInfoReader)
 public:
  void Open(const std::string& directory);
  // World rectangle; all four 0 when unknown.
  void ReadRectangle(double& minX, double& minY, double& maxX, double& maxY) const;
  TCodePage ReadCodePage() const { return info_.codePage; }

 private:
  gisblock::BlockInfo info_;
};

void ReadBlockRectangle(const std::string& directory, double& minX, double& minY, double& maxX, double& maxY);
// True when the block's rectangle is unknown or meets the window's.
bool BlockMeetsWindow(const std::string& directory, TRectEntity* window);

class TGeliXBlokReader : public TGeliXReader {
  ZELTO_ELEMENT(TGeliXBlokReader)
 public:
  ~TGeliXBlokReader() override;
  static TGeliXBlokReader* CreateForBlock(const std::string& directory);

  // Each a new string owned by the caller. When a file the read needs is
  // missing or cannot be opened, the string is empty and carries the damage
  // (see block_damage.h); nil when nothing was read for another cause.
  TPointString* ReadPoints();
  TPolyLineString* ReadLines();
  TPointString* ReadLineSymbols();
  TAreaString* ReadAreas();
  TTextString* ReadTexts();

  TCodePage GetCodePage() const { return CodePage; }
  bool ElementMeetsWindow(TElement* element) const;

  TCodePage CodePage = cpIBM;
  bool ReadAreaAsBoundary = false;

 private:
  template <class Reader>
  Reader* openSubReader(const std::string& badFileText, bool allSettings);
  void copySettingsTo(TGeliXReader& reader, bool allSettings);
  void nameResultString(TEntity& string, const std::string& kind) const;
  // The string of a read whose files could not be opened: empty, marked
  // with why (openDamage_); nil when nothing is known to be wrong.
  template <class String>
  String* unopenedString(const std::string& kind) const;
  // The area of record r with its father and the father's hole; nil when
  // it is not read.
  TAreaElement* readAreaRecord(TAreaString& string, std::int32_t r);
  // A father that is no live area, or whose box does not hold the island's,
  // is damage; no hole is made for such an island.
  void attachToFather(TAreaElement& area, const gisblock::AreRecord& record, std::int32_t r, TAreaString& string);

  TGeliXBlokInfoReader* info_ = nullptr;  // owned
  // What the last sub-reader that failed to open found wrong with the files.
  gisblock::BlockDamage openDamage_;
  TGelixAreaReader* areaReader_ = nullptr;  // while ReadAreas runs
  std::set<std::int32_t> readingAreas_;     // records whose fathers are being read
  // The areas the string of the running ReadAreas holds: a father met again
  // through another island must not cost a search of the string.
  std::unordered_set<const TElement*> inString_;
  // The areas the running ReadAreas built, with their records.
  std::vector<std::pair<TAreaElement*, std::int32_t>> built_;
};
