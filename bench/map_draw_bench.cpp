// Drawing a whole district's stand map (lines and areas as read, with their
// symbols from the generated libraries) through the default interpret
// script into a 2000 x 2000 memory raster that shows all of it. The time per
// object must stay flat from 10,000 to 100,000 lines.
#include "bench/district_fixture.h"
#include "platform/path_resolver.h"
#include "render/memory_raster.h"
#include "render/render_classes.h"
#include "render/universal_interpret.h"
#include "render/universal_script_creator.h"

namespace {

using namespace benchdistrict;

void BM_DrawDistrictMap(benchmark::State& state) {
  const std::string block = districtBlock(state);
  if (block.empty()) return;
  RegisterRenderClasses();
  // The generator's tree holds the symbol directory TTRIZENI beside GIS.
  const fs::path tree = fs::path(block).parent_path().parent_path().parent_path().parent_path();
  platform::pathResolver().setDrive('C', tree);
  BenchWorld world;
  ReadModel m = readLinesAndAreas(world, block);
  const double objects = (m.lines ? m.lines->GetCount() : 0) + (m.areas ? m.areas->GetCount() : 0);
  TMemoryRaster raster(2000, 2000);
  TCanvasDevice device;
  device.SetCanvas(&raster);
  device.GetProjection()->ShowWorldRect({m.areas->GetMinX(), m.areas->GetMinY(), m.areas->GetMaxX(), m.areas->GetMaxY()},
                                        device.GetPage());
  TUniversalInterpret universal;
  TUniversalGelixScriptCreator creator;
  creator.DoIt();
  universal.SetScript(static_cast<TInterpretScript*>(creator.Output()));
  for (auto _ : state) {
    device.BeginDraw();
    universal.BeginOnDevice(&device);
    universal.SetInput(world.model());
    universal.DoIt();
    universal.EndOnDevice();
  }
  state.counters["lines"] = m.lines ? m.lines->GetCount() : 0;
  state.counters["areas"] = m.areas ? m.areas->GetCount() : 0;
  perItem(state, "objects", objects);
  world.pump();
  platform::pathResolver().removeDrive('C');
}
BENCHMARK(BM_DrawDistrictMap)->Apply(sizeArgs);

}  // namespace
