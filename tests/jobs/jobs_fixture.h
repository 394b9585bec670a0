#pragma once
// A generated district tree, the world the jobs work in and the scripted
// user interface that answers their boxes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/jobs/forest_level_export.h"
#include "app/jobs/lhc_merge.h"
#include "app/jobs/read_commands.h"
#include "areas/areas_classes.h"
#include "framework/world.h"
#include "geometry/area_element.h"
#include "geometry/geometry_classes.h"
#include "gisblock/gelix_blok_reader.h"
#include "gisblock/gelix_props.h"
#include "gisblock/gelix_classes.h"
#include "gisblock/gisblock_classes.h"
#include "platform/message_queue.h"
#include "platform/scripted_progress_form.h"
#include "platform/scripted_user_interaction.h"
#include "render/render_classes.h"
#include "process.h"
#include "sample_tree.h"

namespace jobs_test {

namespace fs = std::filesystem;

inline std::string FileBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

struct KindSums {
  int count = 0;
  double net = 0;
  std::map<int, int> colours;
};

// The live area records of a written block, with their net areas.
struct AreaRecord {
  int cislo = 0;
  int druh = -1;
  int barva = -1;
  double net = 0;  // m²
};

inline std::vector<AreaRecord> ReadAreaRecords(const fs::path& block) {
  std::vector<AreaRecord> records;
  TEntity model;
  std::unique_ptr<TGeliXBlokReader> reader(TGeliXBlokReader::CreateForBlock(block.string()));
  if (!reader) return records;
  reader->SetObjectModel(&model);
  std::unique_ptr<TAreaString> areas(reader->ReadAreas());
  if (!areas) return records;
  for (TElement* e : areas->Items()) {
    auto* area = static_cast<TAreaElement*>(e);
    auto* props = static_cast<TGelixAreaProps*>(area->GetProperties());
    records.push_back({props ? props->Cislo : 0, props ? props->Druh : -1, props ? props->Barva : -1,
                       area->GetArea1()});
  }
  return records;
}

// The areas of a written block by kind.
inline std::map<int, KindSums> ReadAreas(const fs::path& block) {
  std::map<int, KindSums> sums;
  for (const AreaRecord& area : ReadAreaRecords(block)) {
    KindSums& s = sums[area.druh];
    ++s.count;
    s.net += area.net;
    ++s.colours[area.barva];
  }
  return sums;
}

class JobsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterGeometryClasses();
    RegisterGisblockClasses();
    RegisterGelixClasses();
    RegisterRenderClasses();
    RegisterAreasClasses();
    const fs::path& tree = Tree();
    if (tree.empty()) GTEST_SKIP() << "python3 not installed";
    dir = fs::temp_directory_path() / ("zelto_jobs_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::copy(tree, dir, fs::copy_options::recursive);
    if (const char* old = std::getenv("WINDIR")) oldWindir = old;
    ::setenv("WINDIR", dir.c_str(), 1);  // the generated TERGELIX.INI
    world = std::make_unique<TWorld>();
    SetWorld(world.get());
    platform::messageQueue().discardAll();
  }
  void TearDown() override {
    platform::messageQueue().discardAll();
    world.reset();
    if (oldWindir.empty())
      ::unsetenv("WINDIR");
    else
      ::setenv("WINDIR", oldWindir.c_str(), 1);
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  // The generated tree the test works on a copy of.
  virtual const fs::path& Tree() const { return test_support::GeneratedSample(); }
  fs::path District(const std::string& code = "01") const { return dir / "GIS" / "4107" / code; }
  // Level exports of the model into the output directory, as the main window runs them.
  jobs::LevelExportContext LevelContext(jobs::LoadedModel& model, const fs::path& output) const {
    jobs::LevelExportContext ctx;
    ctx.Model = &model;
    ctx.OutputDirectory = output.string();
    ctx.GisRoot = (dir / "GIS").string();
    ctx.LhcCode = "4107";
    return ctx;
  }
  // Sets a key of section EXPORT in the generated TERGELIX.INI.
  void SetExportSetting(const std::string& key, const std::string& value) const { SetSetting("EXPORT", key, value); }
  void SetSetting(const std::string& name, const std::string& key, const std::string& value) const {
    const fs::path ini = dir / "TERGELIX.INI";
    std::string text = FileBytes(ini);
    const std::size_t section = text.find("[" + name + "]");
    ASSERT_NE(section, std::string::npos);
    const std::size_t at = text.find("\n" + key + "=", section);
    if (at != std::string::npos) text.erase(at + 1, text.find('\n', at + 1) - at);
    text.insert(text.find('\n', section) + 1, key + "=" + value + "\r\n");
    std::ofstream(ini, std::ios::binary) << text;
  }
  // A value of expected.json, given as a Python expression on `d`, the
  // district 01.
  std::string Expected(const std::string& expression) const {
    return test_support::Capture("python3 -c \"import json,sys; d=json.load(open(sys.argv[1]))['districts']['01']; print(" +
                   expression + ")\" '" + (dir / "expected.json").string() + "'");
  }

  platform::ScopedScriptedUi ui;
  platform::ScopedScriptedProgressForms forms;
  std::unique_ptr<TWorld> world;
  fs::path dir;
  std::string oldWindir;
};

// A job over the whole LHC, with what it logs kept.
template <class Context>
class LhcJobTest : public JobsTest {
 protected:
  void SetUp() override {
    JobsTest::SetUp();
    if (IsSkipped()) return;
    lhc = dir / "GIS" / "4107";
    context.Model = &state;
    context.LhcDirectory = lhc.string();
    context.GisRoot = (dir / "GIS").string();
    context.Log = [this](const std::string& text) { log.push_back(text); };
  }
  // Reads both districts and writes the levels of the commands into each,
  // as the level exports write them.
  void ExportDistrictLevels(std::initializer_list<int> commands) {
    for (const char* code : {"01", "02"}) {
      ASSERT_TRUE(jobs::ReadDistrict(state, District(code).string()));
      for (int command : commands)
        ASSERT_EQ(jobs::ExportForestLevel(LevelContext(state, District(code)), *jobs::FindForestLevel(command)),
                  jobs::ExportResult::Written);
    }
  }

  // The LHC merges over the model, logging where the job does.
  jobs::LhcMergeContext MergeContext() {
    jobs::LhcMergeContext merge;
    merge.Model = &state;
    merge.LhcDirectory = lhc.string();
    merge.GisRoot = (dir / "GIS").string();
    merge.Log = context.Log;
    return merge;
  }

  fs::path lhc;
  jobs::LoadedModel state;
  Context context;
  std::vector<std::string> log;
};

}  // namespace jobs_test
