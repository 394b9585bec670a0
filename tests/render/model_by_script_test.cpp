// Model scripts run against a district written by the independent
// generator: each layer script must load its blocks into one map layer with
// the generator's counts.
#include "render/model_by_script_creator.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>

#include "framework/type_elements.h"
#include "gisblock/gelix_classes.h"
#include "gisblock/gisblock_classes.h"
#include "platform/message_queue.h"
#include "render/interpret_layer.h"
#include "render/layer_script.h"
#include "render/render_classes.h"
#include "process.h"
#include "sample_tree.h"
#include "temp_dir.h"

namespace {

class ModelByScript : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterRenderClasses();
    RegisterGisblockClasses();
    RegisterGelixClasses();
  }
  void SetUp() override {
    if (test_support::GeneratedSample().empty()) GTEST_SKIP() << "python3 not installed";
    ASSERT_TRUE(test_support::CopySample(root.path()));
    district = root / "GIS" / "4107" / "01";
  }
  void TearDown() override { platform::messageQueue().discardAll(); }
  // The generator's count of that kind in the block of district 01.
  int expected(const std::string& block, const std::string& key) {
    return std::stoi(test_support::Capture("python3 -c \"import json,sys; print(json.load(open(sys.argv[1]))['districts']['01']['blocks']"
                         "[sys.argv[2]][sys.argv[3]])\" '" +
                         (root / "expected.json").string() + "' " + block + " " + key));
  }
  TLayerScript* layer(const std::string& kind, const std::string& description,
                      std::initializer_list<std::string> blocks) {
    auto* l = new TLayerScript;
    l->SetName(kind);
    l->Description = description;
    for (const std::string& b : blocks)
      l->Add(TStringElement::CreateNamed(TPathElement::StaticClass(), "PATH", (district / b).string()));
    script.Add(l);
    return l;
  }
  test_support::TempDir root{"model_by_script"};
  std::filesystem::path district;
  TModelScript script;
  TEntity objectModel;
};

TInterpretLayer* layerAt(TElement* output, int i) {
  auto* result = static_cast<TEntity*>(output);
  return result->GetItem(i)->Is<TInterpretLayer>() ? static_cast<TInterpretLayer*>(result->GetItem(i)) : nullptr;
}
}  // namespace

TEST_F(ModelByScript, LayerScriptsLoadTheDistrictsBlocksIntoLayers) {
  layer("LIN", "+C:\\GIS\\4107\\01\\LINIE", {"DET.BLK", "SLU.BLK", "CES.BLK"})
      ->AddToPropertyList(TStringElement::CreateNamed("@AsText", "hranice"));
  layer("ARE", "DET", {"DET.BLK"})->AddToPropertyList(TStringElement::CreateNamed("@USECOLOR", "TRUE"));
  layer("PNT", "body", {"SLU.BLK", "NOWHERE.BLK"});
  layer("TXT", "texty", {"missing"});  // every path fails: an empty layer all the same
  layer("PNT", "bez cest", {});        // no path: no layer
  auto* element = layer("ELEMENT", "TInterpretLayer", {});
  element->AddToPropertyList(TStringElement::CreateNamed("@LayerType", "JINY"));
  script.Add(new TRectEntity);  // not a layer script: skipped

  TModelByScriptCreator creator;
  creator.ObjectModel = &objectModel;
  int newObjects = 0;
  creator.OnNewObject = [&](TElement*&) { ++newObjects; };
  creator.SetInput(&script);
  creator.DoIt();
  std::unique_ptr<TRectEntity> result(static_cast<TRectEntity*>(creator.Output()));
  ASSERT_TRUE(result);
  ASSERT_EQ(result->GetCount(), 5);

  TInterpretLayer* lines = layerAt(result.get(), 0);
  ASSERT_TRUE(lines);
  EXPECT_EQ(lines->GetName(), "LINIE");
  EXPECT_EQ(lines->Path, "+C:\\GIS\\4107\\01\\LINIE");
  EXPECT_EQ(lines->LayerType, "LIN");
  EXPECT_EQ(lines->AsText, "hranice");
  ASSERT_EQ(lines->GetCount(), 3);
  const char* blocks[] = {"DET.BLK", "SLU.BLK", "CES.BLK"};
  int allLines = 0;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(static_cast<TEntity*>(lines->GetItem(i))->GetCount(), expected(blocks[i], "lines")) << blocks[i];
    allLines += expected(blocks[i], "lines");
  }
  EXPECT_TRUE(lines->GetIsValid());
  EXPECT_EQ(lines->PropertyText("AsText"), "hranice");

  TInterpretLayer* areas = layerAt(result.get(), 1);
  ASSERT_TRUE(areas && areas->GetCount() == 1);
  EXPECT_EQ(static_cast<TEntity*>(areas->GetItem(0))->GetCount(), expected("DET.BLK", "areas"));
  EXPECT_EQ(areas->GetItem(0)->PropertyText("USECOLOR"), "TRUE");  // the loaded string keeps the override
  TInterpretLayer* points = layerAt(result.get(), 2);
  ASSERT_TRUE(points && points->GetCount() == 1);
  EXPECT_EQ(static_cast<TEntity*>(points->GetItem(0))->GetCount(), expected("SLU.BLK", "points"));
  TInterpretLayer* texts = layerAt(result.get(), 3);
  ASSERT_TRUE(texts);
  EXPECT_EQ(texts->GetCount(), 0);
  TInterpretLayer* created = layerAt(result.get(), 4);
  ASSERT_TRUE(created);
  EXPECT_EQ(created->LayerType, "JINY");

  EXPECT_EQ(newObjects, allLines + expected("DET.BLK", "areas") + expected("SLU.BLK", "points"));
  EXPECT_TRUE(result->ContainsRect(lines->GetMinX(), lines->GetMinY(), lines->GetMaxX(), lines->GetMaxY()));
}

TEST_F(ModelByScript, AWindowSkipsBlocksItMissesAndCutsOnlyWithCutLayer) {
  layer("ARE", "DET", {"DET.BLK"});
  auto load = [&](double minX, double minY, double maxX, double maxY, bool cut) {
    TModelByScriptCreator creator;
    creator.ObjectModel = &objectModel;
    creator.MinX = minX, creator.MinY = minY, creator.MaxX = maxX, creator.MaxY = maxY;
    creator.CutLayer = cut;
    creator.SetInput(&script);
    creator.DoIt();
    std::unique_ptr<TRectEntity> result(static_cast<TRectEntity*>(creator.Output()));
    TInterpretLayer* l = layerAt(result.get(), 0);
    return l->GetCount() ? static_cast<TEntity*>(l->GetItem(0))->GetCount() : -1;
  };
  const int all = expected("DET.BLK", "areas");
  EXPECT_EQ(load(0, 0, 0, 0, true), all);
  // Far away from the district: the block is not read.
  EXPECT_EQ(load(1, 1, 2, 2, false), -1);
  EXPECT_EQ(load(0, 1, 2, 2, true), all);  // a zero bound is no window

  // A window over a corner of the district: read whole without CutLayer.
  TModelByScriptCreator probe;
  probe.ObjectModel = &objectModel;
  probe.SetInput(&script);
  probe.DoIt();
  std::unique_ptr<TRectEntity> whole(static_cast<TRectEntity*>(probe.Output()));
  const double minX = whole->GetMinX(), minY = whole->GetMinY();
  const double w = whole->GetWidth() / 4, h = whole->GetHeight() / 4;
  EXPECT_EQ(load(minX, minY, minX + w, minY + h, false), all);
  const int cut = load(minX, minY, minX + w, minY + h, true);
  EXPECT_GT(cut, 0);
  EXPECT_LT(cut, all);
}

TEST(LayerScript, GoIntoDirsIsTheLeadingPlusOfTheDescription) {
  TLayerScript layer;
  EXPECT_FALSE(layer.GetGoIntoDirs());
  layer.Description = "+X";
  layer.SetGoIntoDirs(true);
  EXPECT_EQ(layer.Description, "+X");
  layer.SetGoIntoDirs(false);
  EXPECT_EQ(layer.Description, "X");
  layer.AddToPropertyList(TStringElement::CreateNamed("@A", "1"));
  ASSERT_TRUE(layer.GetPropertyList());
  layer.FreeAll();
  EXPECT_EQ(layer.GetPropertyList(), nullptr);
  EXPECT_EQ(layer.Description, "");
  auto* loaded = new TPropertyList;  // as a model file brings it
  layer.Add(loaded);
  EXPECT_EQ(layer.GetPropertyList(), loaded);
  layer.AddToPropertyList(TStringElement::CreateNamed("@B", "2"));
  EXPECT_EQ(loaded->GetCount(), 1);
}
