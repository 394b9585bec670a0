#pragma once
// Whole noding and area-building runs as one tool, for tool models and jobs
// that need the noded lines or the finished areas of a set of lines.
#include <cstdint>
#include <optional>
#include <string>

#include "framework/settings.h"
#include "framework/tool.h"

// The most vertices a line joined at pseudo-nodes may have (EXPORT
// MaxPocetSouradnic): a line has at least two.
inline constexpr SettingRange kMaxCoordsSettingRange{2, 1000000};

class TAreaString;
class TSpaceLineBegEndCell;

// Input: a TEntity holding the lines. Output: a new container of the noded
// lines. The cell index and that container are the tool's children.
class TMakeNodes : public TTool {
  ZELTO_ELEMENT(TMakeNodes)
 public:
  bool JoinLines = false;  // kept for tool models; the runs do not read it
  double SnapDistance = 0;
  bool CompareOnlyDifferentSource = false;
  bool JoinDifferentLines = false;
  bool DeletePseudoNodes = false;
  // The vertex limit a job has read and checked; without it the run reads
  // MaxPocetSouradnic, and a wrong value is shown and nodes nothing.
  std::optional<std::int32_t> MaxCoordsCount;

  void DoIt() override;
  TSpaceLineBegEndCell* NodesQTree() const;

 protected:
  // Nodes and connects the lines, and builds their areas when asked; the
  // index and the area quad-tree become the tool's children. No index when
  // the lines span no valid rectangle.
  struct Noded {
    TSpaceLineBegEndCell* Index = nullptr;
    TAreaString* AreaList = nullptr;  // the caller's, when areas were built
  };
  Noded NodeLines(TEntity& lines, bool buildAreas);
};

// Input: a TEntity holding the lines. The lines are joined first, then noded
// and built into areas; Output is the list of areas (holes are given to
// their areas), which joins the world's object model. A job broken off
// while the lines were joined gets no Output.
class TMakeNodesAndAreas : public TMakeNodes {
  ZELTO_ELEMENT(TMakeNodesAndAreas)
 public:
  void DoIt() override;

 private:
  TEntity* JoinedLines(TEntity& lines);
};

// Input: a TEntity of areas, written to the block BlockDir with its
// attribute table.
class TSaveAreasToBlok : public TTool {
  ZELTO_ELEMENT(TSaveAreasToBlok)
 public:
  std::int32_t DruhLinii = 0;
  std::int32_t DruhPloch = 0;
  std::string BlockDir;
  std::string CreateDBFFileName;
  std::string TransferDBFScript;

  void DoIt() override;
  virtual void ResetLineMarks();
};

void RegisterNodeAreaDriverClasses();
