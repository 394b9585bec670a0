#pragma once
// The area pipeline in one call, for jobs and drivers that build the areas
// of a set of boundary lines: lines into the cell index, nodes, the leaves'
// end lists dropped, nodes connected, areas built, holes given to areas,
// the list of areas found and their label points placed again now that
// they have their holes.
#include <cstdint>
#include <memory>
#include <string>

class TAreaString;
class TRectEntity;
class TSpaceEntityQTree;
class TSpaceLineBegEndCell;
class TTool;

namespace nodearea {

struct Options {
  bool DeletePseudoNodes = false;
  bool JoinDifferentLines = false;
  std::int32_t MaxCoordsCount = 0;
  // Off: the network stops once its nodes are connected (no areas).
  bool BuildAreas = true;
};

// What each step's progress form is called; an empty name leaves the
// tool's own.
struct StepNames {
  std::string Reader, Nodes, DropLineEnds, Connector, Areas;
};

// Owns all three and frees them when it goes, or earlier through Release:
// the list, then the area quad-tree, then the index. The lines go after it.
struct Network {
  TSpaceLineBegEndCell* Index = nullptr;
  TSpaceEntityQTree* Areas = nullptr;
  TAreaString* AreaList = nullptr;  // areas without the holes
  std::int32_t AreasCount = 0;  // areas and holes

  Network() = default;
  Network(Network&& other) noexcept;
  Network& operator=(Network&& other) noexcept;
  Network(const Network&) = delete;
  Network& operator=(const Network&) = delete;
  ~Network();
};

// Nothing is built (both nullptr) when the lines' rectangle is not valid.
// A step that cannot finish throws its cause, and what was built goes.
Network BuildAreasOfLines(TRectEntity& lines, const Options& options = {});
// The same with the caller's reader of the lines into the cell index (one
// that reads the line lists of some containers only, say); the reader's
// output is the index, and Index stays nullptr when it gives none.
Network BuildAreasOfLines(TTool& reader, TRectEntity& lines, const Options& options,
                          const StepNames& names = {});
void Release(Network& network);

}  // namespace nodearea
