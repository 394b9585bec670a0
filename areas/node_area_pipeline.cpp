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

namespace {

void Named(TTool& tool, const std::string& name) {
  if (!name.empty()) tool.SetName(name);
}

void BuildOnIndex(Network& net, const Options& options, const StepNames& names) {
  {
    TPutNodesIntoQTree nodes;
    Named(nodes, names.Nodes);
    nodes.SetInput(net.Index);
    nodes.DoIt();
  }
  // The leaves' end lists go before the nodes are connected: joining lines
  // at pseudo-nodes must not meet ends the lists still hold.
  {
    TDeleteDirectRelationsToLinesInQTree drop;
    Named(drop, names.DropLineEnds);
    drop.SetInput(net.Index);
    drop.DoIt();
  }
  {
    TNodesConector connector;
    Named(connector, names.Connector);
    connector.DeletePseudoNodes = options.DeletePseudoNodes;
    connector.JoinDifferentLines = options.JoinDifferentLines;
    connector.MaxCoordsCount = options.MaxCoordsCount;
    connector.SetInput(net.Index);
    connector.DoIt();
  }
  if (!options.BuildAreas) return;
  {
    TCreateAreasForQTree builder;
    Named(builder, names.Areas);
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
}

}  // namespace

Network BuildAreasOfLines(TRectEntity& lines, const Options& options) {
  TReadLinesIntoQTree reader;
  return BuildAreasOfLines(reader, lines, options);
}

Network BuildAreasOfLines(TTool& reader, TRectEntity& lines, const Options& options, const StepNames& names) {
  Network net;
  Named(reader, names.Reader);
  reader.SetInput(&lines);
  reader.DoIt();
  net.Index = dynamic_cast<TSpaceLineBegEndCell*>(reader.Output());
  if (!net.Index) return net;
  try {
    BuildOnIndex(net, options, names);
  } catch (...) {
    // A reader may have filed the index under the lines' container.
    lines.Remove(net.Index);
    Release(net);
    throw;
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
