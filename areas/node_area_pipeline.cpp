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

#include <algorithm>
#include <vector>

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

namespace {

// Every area and hole of the tree, each once: an element stored in several
// leaves has several owners, and the leaves would only unlink it. Sorting
// the pointers finds the repeats at a fraction of a hash set's cost.
void CollectAreas(TQTree& node, std::vector<TElement*>& areas) {
  for (TElement* e : node.Items()) {
    if (!e) continue;
    if (e->Is<TQTree>()) CollectAreas(*static_cast<TQTree*>(e), areas);
    else areas.push_back(e);
  }
}

}  // namespace

void Release(Network& network) {
  delete network.AreaList;
  if (network.Areas) {
    std::vector<TElement*> areas;
    CollectAreas(*network.Areas, areas);
    std::sort(areas.begin(), areas.end());
    areas.erase(std::unique(areas.begin(), areas.end()), areas.end());
    // Holes leave their areas' hole lists when they go, so the areas first.
    std::stable_partition(areas.begin(), areas.end(), [](TElement* e) {
      return e->Is<TAreaElement>() && !static_cast<TAreaElement*>(e)->IsHole;
    });
    for (TElement* e : areas) delete e;
  }
  delete network.Areas;
  delete network.Index;
  network = {};
}

}  // namespace nodearea
