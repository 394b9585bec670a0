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
#include <chrono>
#include <cstdio>
static auto T0 = std::chrono::steady_clock::now();
static void Lap(const char* n){auto t=std::chrono::steady_clock::now(); std::fprintf(stderr,"%s %.1f\n",n,std::chrono::duration<double,std::milli>(t-T0).count()); T0=t;}
#include <unordered_set>
#include <vector>

namespace nodearea {

Network BuildAreasOfLines(TRectEntity& lines, const Options& options) {
  Network net;
  Lap("start");
  {
    TReadLinesIntoQTree reader;
    reader.SetInput(&lines);
    reader.DoIt();
    net.Index = dynamic_cast<TSpaceLineBegEndCell*>(reader.Output());
  }
  Lap("read");
  if (!net.Index) return net;
  {
    TPutNodesIntoQTree nodes;
    nodes.SetInput(net.Index);
    nodes.DoIt();
  }
  Lap("nodes");
  {
    TDeleteDirectRelationsToLinesInQTree drop;
    drop.SetInput(net.Index);
    drop.DoIt();
  }
  Lap("drop");
  {
    TNodesConector connector;
    connector.DeletePseudoNodes = options.DeletePseudoNodes;
    connector.JoinDifferentLines = options.JoinDifferentLines;
    connector.MaxCoordsCount = options.MaxCoordsCount;
    connector.SetInput(net.Index);
    connector.DoIt();
  }
  Lap("connect");
  {
    TCreateAreasForQTree builder;
    builder.SetInput(net.Index);
    builder.DoIt();
    net.Areas = builder.AreaQTree();
    net.AreasCount = builder.GetAreasCount();
  }
  Lap("areas");
  if (net.Areas) {
    TSubAreaMakerInQTree holes;
    holes.SetInput(net.Areas);
    holes.DoIt();
  Lap("holes"); std::fprintf(stderr, "faces %d\n", net.AreasCount);
    net.AreaList = new TAreaString;
    THledacPloch finder;
    finder.SetOutput(net.AreaList);
    finder.SetInput(net.Areas);
    finder.DoIt();
  Lap("finder");
    TMultiAreaPointPlacer placer;
    placer.SetInput(net.AreaList);
    placer.DoIt();
  Lap("placer");
  }
  return net;
}

namespace {

// Every area and hole once, in the order met: an element stored in several
// leaves has several owners, and the leaves would only unlink it.
void CollectAreas(TQTree& node, std::unordered_set<TElement*>& seen, std::vector<TElement*>& areas) {
  for (TElement* e : node.Items()) {
    if (!e) continue;
    if (e->Is<TQTree>()) CollectAreas(*static_cast<TQTree*>(e), seen, areas);
    else if (seen.insert(e).second) areas.push_back(e);
  }
}

}  // namespace

void Release(Network& network) {
  Lap("-");
  delete network.AreaList;
  Lap("rel-list");
  if (network.Areas) {
    std::unordered_set<TElement*> seen;
    std::vector<TElement*> areas;
    CollectAreas(*network.Areas, seen, areas);
    // Holes leave their areas' hole lists when they go, so the areas first.
    std::stable_partition(areas.begin(), areas.end(), [](TElement* e) {
      return e->Is<TAreaElement>() && !static_cast<TAreaElement*>(e)->IsHole;
    });
    for (TElement* e : areas) delete e;
  }
  Lap("rel-areas");
  delete network.Areas;
  Lap("rel-qtree");
  delete network.Index;
  Lap("rel-index");
  network = {};
}

}  // namespace nodearea
