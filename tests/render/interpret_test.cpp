#include "render/interpret.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <numbers>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/message_dispatch.h"
#include "geometry/space_entity.h"
#include "platform/message_queue.h"
#include "platform/path_resolver.h"
#include "render/interpret_layer.h"
#include "render/render_classes.h"
#include "temp_dir.h"

namespace {
// Draws points by writing its tag and the point's name into a shared log.
class TTagRenderer : public TInterpret {
 public:
  TTagRenderer(std::vector<std::string>& log, std::string tag, bool fail = false)
      : log_(log), tag_(std::move(tag)), fail_(fail) {}
  bool IsItsClass(TElement* e) override { return e && e->Is<TPointElement>(); }
  bool QGoInside(TElement*) override { return false; }
  void Process(TElement* e) override {
    log_.push_back(tag_ + ":" + e->GetName());
    if (fail_) throw EBreakInterpret();
  }

 private:
  std::vector<std::string>& log_;
  std::string tag_;
  bool fail_;
};

TSpaceEntity* model() {
  auto* root = new TSpaceEntity;
  for (const char* name : {"a", "b"}) {
    auto* p = new TPointElement;
    p->SetName(name);
    root->Add(p);
  }
  return root;
}
}  // namespace

TEST(Interpret, EveryAcceptingSubInterpretDrawsInListOrder) {
  std::vector<std::string> log;
  std::unique_ptr<TSpaceEntity> root(model());
  TInterpret interpret;
  interpret.SetNextSubInterpret(new TTagRenderer(log, "1"));
  interpret.SetNextSubInterpret(nullptr);
  interpret.SetNextSubInterpret(new TTagRenderer(log, "2"));
  interpret.SetInput(root.get());
  interpret.DoIt();
  EXPECT_EQ(log, (std::vector<std::string>{"1:a", "2:a", "1:b", "2:b"}));

  log.clear();
  interpret.SetBusy(true);
  interpret.DoIt();
  EXPECT_TRUE(log.empty());
}

TEST(Interpret, ABreakEndsTheWalkQuietlyAndMayAskForARepeat) {
  std::vector<std::string> log;
  TPointElement point;
  point.SetName("a");
  TTagRenderer interpret(log, "x", true);
  interpret.SetInput(&point);
  const std::size_t before = platform::messageQueue().pending();
  EXPECT_NO_THROW(interpret.DoIt());
  EXPECT_EQ(log, std::vector<std::string>{"x:a"});
  EXPECT_FALSE(interpret.GetBusy());
  EXPECT_EQ(platform::messageQueue().pending(), before);

  interpret.SetFlag(TTool::kBreakWhileBusy, true);
  interpret.DoIt();
  EXPECT_EQ(platform::messageQueue().pending(), before + 1);
  EXPECT_FALSE(interpret.GetBreakWork());
  log.clear();
  zelto::ProcessPendingMessages();  // the repeat draws again, once
  EXPECT_EQ(log, std::vector<std::string>{"x:a"});
  EXPECT_EQ(platform::messageQueue().pending(), before);
}

// A renderer that cannot draw the point it is given.
class TFailingRenderer : public TInterpret {
 public:
  bool IsItsClass(TElement* e) override { return e && e->Is<TPointElement>(); }
  void Process(TElement*) override { throw std::runtime_error("bod nelze nakreslit"); }
};

TEST(Interpret, APrintingWalkLetsOutWhatEndedItWhereTheScreenGoesOnQuietly) {
  std::unique_ptr<TSpaceEntity> root(model());
  std::vector<std::string> log;
  TCanvasDevice device;
  for (const bool printing : {false, true}) {
    SCOPED_TRACE(printing ? "printing" : "screen");
    TInterpret failing, breaking;
    failing.AppendTool(new TFailingRenderer);
    breaking.AppendTool(new TTagRenderer(log, "x", true));
    for (TInterpret* interpret : {&failing, &breaking}) {
      interpret->SetPrinting(printing);
      interpret->BeginOnDevice(&device);
      interpret->SetInput(root.get());
    }
    if (printing) {
      EXPECT_THROW(failing.DoIt(), std::runtime_error);
      EXPECT_THROW(breaking.DoIt(), EBreakInterpret);
    } else {
      EXPECT_NO_THROW(failing.DoIt());
      EXPECT_NO_THROW(breaking.DoIt());
    }
    // Either way the walk is over: the interprets draw again when asked.
    for (TInterpret* interpret : {&failing, &breaking}) {
      EXPECT_FALSE(interpret->GetBusy());
      EXPECT_FALSE(interpret->GetBreakWork());
      interpret->EndOnDevice();
    }
  }
}

TEST(Interpret, TheDeviceIsSharedWithTheSubInterpretsWhileBound) {
  std::vector<std::string> log;
  TCanvasDevice device;
  TInterpret interpret;
  auto* sub = new TTagRenderer(log, "s");
  interpret.AppendTool(sub);
  interpret.SetPrinting(true);
  interpret.BeginOnDevice(&device);
  EXPECT_EQ(sub->GetDevice(), &device);
  EXPECT_TRUE(sub->GetPrinting());
  interpret.EndOnDevice();
  EXPECT_EQ(sub->GetDevice(), nullptr);
  EXPECT_EQ(device.GetOwnersCount(), 0);
}

TEST(RectInterpret, TheVisibleRectangleCoversATurnedPage) {
  TCanvasDevice device;
  T_Page* page = device.GetPage();
  page->SetPageRect({0, 0, 200, 100});
  page->SetInnerRect({0, 0, 200, 100});
  page->SetResolution(1000, 1000);
  device.GetProjection()->Setup({0, 0}, page, 1000);  // a metre a pixel
  TRectInterpret interpret;
  interpret.BeginOnDevice(&device);
  EXPECT_DOUBLE_EQ(interpret.GetMinX(), -100);
  EXPECT_DOUBLE_EQ(interpret.GetMaxY(), 50);
  interpret.EndOnDevice();

  device.GetProjection()->SetAngle(std::numbers::pi / 4);
  interpret.BeginOnDevice(&device);
  const double half = 150 / std::sqrt(2.0);  // (100 + 50) / sqrt 2
  EXPECT_NEAR(interpret.GetMaxY(), half, 1e-9);
  EXPECT_NEAR(interpret.GetMinY(), -half, 1e-9);
  EXPECT_NEAR(interpret.GetMaxX(), half, 1e-9);
  interpret.EndOnDevice();
}

TEST(InterpretLayer, ScaleLimitsAreExclusive) {
  TInterpretLayer layer;
  layer.MinScaleNumber = 5000;
  EXPECT_FALSE(layer.IsVisibleAtScale(5000));
  EXPECT_TRUE(layer.IsVisibleAtScale(5001));
  layer.MaxScaleNumber = 10000;
  EXPECT_FALSE(layer.IsVisibleAtScale(10000));
  layer.SetPropertyText("SwitchedOff", "TRUE");
  EXPECT_FALSE(layer.IsVisibleAtScale(6000));
}

TEST(InterpretContainer, SwitchesByTypeAndListsLayersByChildIndex) {
  TInterpretContainer container;
  auto* lines = new TInterpretLayer;
  lines->LayerType = "LIN";
  lines->Path = "Hranice\\lesů";
  lines->SetMinX(0);
  lines->SetMinY(0);
  lines->SetMaxX(10);
  lines->SetMaxY(5);
  auto* areas = new TInterpretLayer;
  areas->LayerType = "ARE";
  container.Add(lines);
  container.Add(new TSpaceEntity);
  container.Add(areas);
  EXPECT_EQ(container.GetMaxX(), 10);

  container.SetPropertyText("SwitcheLayerOff", "lin");
  EXPECT_TRUE(lines->SwitchedOff);
  EXPECT_FALSE(areas->SwitchedOff);
  container.SetPropertyText("SwitcheAllOff", "TRUE");
  EXPECT_TRUE(areas->SwitchedOff);
  container.SetPropertyText("SwitcheLayerOn", "ARE");
  EXPECT_FALSE(areas->SwitchedOff);

  const auto file = test_support::ProcessDirectory() / "layers.inf";
  container.SetPropertyText("InfoFile", file.string());
  std::ifstream in(platform::pathResolver().existing(file.string()), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(),
            "[LAYER0]\r\nTYPE=LIN\r\nLAYER=Hranice\\les\xF9\r\n\r\n"
            "[LAYER2]\r\nTYPE=ARE\r\nLAYER=\r\n\r\n");
}
