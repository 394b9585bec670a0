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
  delete network.AreaList;
  delete network.Areas;
  delete network.Index;
  network = {};
}

}  // namespace nodearea
