#include "areas/node_area_pipeline.h"

#include "areas/area_builders.h"
#include "areas/area_point_placer.h"
#include "areas/area_walkers.h"
#include "areas/line_end_readers.h"
#include "areas/node_builders.h"
#include "areas/node_connectors.h"
#include "areas/sub_area_maker.h"
#include "geometry/area_element.h"
#include "geometry/line_end_cells.h"
#include "geometry/qtree.h"

#include <utility>

namespace nodearea {

Network BuildAreasOfLines(TRectEntity& lines, const Options& options) {
  Network net;
  {
    TReadLinesIntoQTree reader;
    reader.SetInput(&lines);
    reader.DoIt();
    net.Index = dynamic_cast<TSpaceLineBegEndCell*>(reader.Output());
  }
  if (!net.Index) return net;
  {
    TPutNodesIntoQTree nodes;
    nodes.SetInput(net.Index);
    nodes.DoIt();
  }
  {
    TDeleteDirectRelationsToLinesInQTree drop;
    drop.SetInput(net.Index);
    drop.DoIt();
  }
  {
    TNodesConector connector;
    connector.DeletePseudoNodes = options.DeletePseudoNodes;
    connector.JoinDifferentLines = options.JoinDifferentLines;
    connector.MaxCoordsCount = options.MaxCoordsCount;
    connector.SetInput(net.Index);
    connector.DoIt();
  }
  {
    TCreateAreasForQTree builder;
    // Every label point is placed below, once the areas have their holes.
    builder.PlaceLabelPoints = false;
    builder.SetInput(net.Index);
    builder.DoIt();
    net.Areas = builder.AreaQTree();
    net.AreasCount = builder.GetAreasCount();
  }
  if (net.Areas) {
    TSubAreaMakerInQTree holes;
    holes.SetInput(net.Areas);
    holes.DoIt();
    net.AreaList = new TAreaString;
    THledacPloch finder;
    finder.SetOutput(net.AreaList);
    finder.SetInput(net.Areas);
    finder.DoIt();
    TMultiAreaPointPlacer placer;
    placer.SetInput(net.AreaList);
    placer.DoIt();
  }
  return net;
}

void Release(Network& network) {
  // The list only refers to the tree's areas: it lets go of them.
  if (network.AreaList) network.AreaList->Clear();
  delete network.AreaList;
  FreeAreaQTree(network.Areas);
  delete network.Index;
  network.AreaList = nullptr;
  network.Areas = nullptr;
  network.Index = nullptr;
  network.AreasCount = 0;
}

Network::Network(Network&& other) noexcept
    : Index(other.Index), Areas(other.Areas), AreaList(other.AreaList), AreasCount(other.AreasCount) {
  other.Index = nullptr;
  other.Areas = nullptr;
  other.AreaList = nullptr;
  other.AreasCount = 0;
}

Network& Network::operator=(Network&& other) noexcept {
  if (this != &other) {
    Release(*this);
    std::swap(Index, other.Index);
    std::swap(Areas, other.Areas);
    std::swap(AreaList, other.AreaList);
    std::swap(AreasCount, other.AreasCount);
  }
  return *this;
}

Network::~Network() { Release(*this); }

}  // namespace nodearea
