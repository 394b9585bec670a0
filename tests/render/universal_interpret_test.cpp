#include "render/universal_interpret.h"

#include <gtest/gtest.h>

#include <functional>

#include <memory>
#include <string>
#include <vector>

#include "framework/message_dispatch.h"
#include "framework/tick_clock.h"
#include "framework/zelto_message.h"
#include "geometry/area_element.h"
#include "geometry/geometry_classes.h"
#include "geometry/space_entity.h"
#include "platform/message_queue.h"
#include "render/interpret_layer.h"
#include "render/memory_raster.h"
#include "render/render_classes.h"

namespace {
constexpr TColor kGreen = RGBColor(0, 255, 0);
constexpr TColor kRed = RGBColor(255, 0, 0);
constexpr TColor kBlue = RGBColor(0, 0, 255);

// Fills areas in one colour and logs whatever it is handed.
class TPainter : public TInterpret {
 public:
  TPainter(TColor colour, std::vector<std::string>* log = nullptr) : colour_(colour), log_(log) {}
  std::function<void(TElement*)> onDraw;
  // Strings are entered, the vertices of an area are not.
  bool QGoInside(TElement* e) override { return !e->Is<TAreaElement>() && TInterpret::QGoInside(e); }
  void Process(TElement* e) override {
    if (log_) log_->push_back(e->GetName());
    if (onDraw) onDraw(e);
    if (!e->Is<TAreaElement>()) return;
    GetDevice()->SetPen({colour_, 1, psSolid});
    GetDevice()->SetBrush({colour_, bsSolid});
    GetDevice()->DrawArea(e);
  }

 private:
  TColor colour_;
  std::vector<std::string>* log_;
};

TAreaElement* square(const char* name, double x, double y, double side) {
  auto* area = new TAreaElement;
  area->SetName(name);
  for (auto [dx, dy] : {std::pair{0.0, 0.0}, {0.0, side}, {side, side}, {side, 0.0}}) area->AddVertex(x + dx, y + dy);
  area->RecalcEnvelope();
  return area;
}

// A 100 x 100 pixel page showing the world square 0..100 m, a metre a pixel.
struct Page {
  TMemoryRaster raster{100, 100};
  TCanvasDevice device;
  Page() {
    raster.SetLogPixels(254, 254);
    device.SetCanvas(&raster);
    device.GetProjection()->Setup({50, 50}, device.GetPage(), 10000);
  }
  TColor at(double x, double y) {
    return raster.GetPixel(device.GetProjection()->WorldToDeviceX(x), device.GetProjection()->WorldToDeviceY(y));
  }
};

struct Fixture : ::testing::Test {
  static void SetUpTestSuite() {
    RegisterRectEntityClasses();
    RegisterGeometryClasses();
    RegisterRenderClasses();
  }
  void TearDown() override { platform::messageQueue().discardAll(); }
  Page page;
  TUniversalInterpret universal;
  TInterpretScript* script = new TInterpretScript;
  Fixture() { universal.SetScript(script); }
  void fileClass(const char* name, TInterpret* interpret) {
    script->SetNewClassName(name);
    ASSERT_EQ(script->Error, 0) << name;
    if (interpret) script->SetActualInterpret(interpret);
  }
  void draw(TElement* model, Page* on = nullptr) {
    universal.BeginOnDevice(&(on ? on : &page)->device);
    universal.SetInput(model);
    universal.DoIt();
    universal.EndOnDevice();
  }
};
}  // namespace

using UniversalInterpret = Fixture;

TEST_F(UniversalInterpret, DeepestClassNodeDecidesAndInstanceRulesOnlyBelowProperAncestors) {
  auto* green = new TPainter(kGreen);
  fileClass("TRectEntity", nullptr);
  fileClass("TAreaString", green);
  fileClass("TAreaElement", green);
  TISClass* areaNode = static_cast<TISClass*>(script->GetActualItem());
  std::unique_ptr<TSpaceEntity> model(new TSpaceEntity);
  auto* areas = new TAreaString;
  areas->Add(square("a", 10, 10, 20));
  model->Add(areas);
  TAreaElement* lone = square("b", 60, 60, 20);
  model->Add(lone);
  auto* special = new TSpaceEntity;
  special->Add(square("c", 60, 10, 20));
  model->Add(special);
  // An instance rule for an area lands under the area node, whose class is
  // the area's own: the node's interpret wins.
  script->SetNewElement(lone);
  script->SetActualInterpret(new TPainter(kRed));
  EXPECT_EQ(lone->GetOwnersCount(), 1);
  EXPECT_EQ(areaNode->GetRules()->GetCount(), 1);
  // An instance rule for a bare space entity sits under the TRectEntity
  // node and decides for it alone; its painter walks into the children.
  script->SetNewElement(special);
  script->SetActualInterpret(new TPainter(kBlue));

  draw(model.get());
  EXPECT_EQ(page.at(20, 20), kGreen);  // inside a string
  EXPECT_EQ(page.at(70, 70), kGreen);
  EXPECT_EQ(page.at(70, 20), kBlue);
  EXPECT_EQ(page.at(45, 45), clWhite);
  EXPECT_EQ(script->InterpretFor(model.get()), nullptr);  // a node without interpret hides its class

  script->SetFindElement(special);
  EXPECT_EQ(script->Error, 0);
  EXPECT_EQ(script->GetActualClassName(), "NIL");
  script->SetFindClassName("TAreaString");
  EXPECT_EQ(script->GetActualClassName(), "TAreaString");
  script->SetFindClassName("TPointElement");
  EXPECT_EQ(script->GetActualClassName(), "TRectEntity");
  script->SetFindClassName("TNoSuchClass");
  EXPECT_EQ(script->Error, TInterpretScript::kClassNotRegistered);
  EXPECT_EQ(script->GetActualItem(), script);
  script->SetPass(3);
  EXPECT_EQ(script->Error, TInterpretScript::kPassOutOfRange);
  EXPECT_EQ(script->GetPass(), 0);
}

TEST_F(UniversalInterpret, ANewClassNodeTakesOverTheRulesOfItsDescendants) {
  std::unique_ptr<TAreaElement> area(square("a", 0, 0, 1));
  fileClass("TAreaElement", new TPainter(kGreen));
  script->SetNewElement(area.get());
  fileClass("TRectEntity", nullptr);
  TISInstances* rules = script->GetRules();
  ASSERT_EQ(rules->GetCount(), 1);
  auto* rectNode = static_cast<TISClass*>(rules->GetItem(0));
  EXPECT_EQ(rectNode->GetElementClassName(), "TRectEntity");
  ASSERT_EQ(rectNode->GetRules()->GetCount(), 1);
  auto* areaNode = static_cast<TISClass*>(rectNode->GetRules()->GetItem(0));
  EXPECT_EQ(areaNode->GetElementClassName(), "TAreaElement");
  EXPECT_EQ(areaNode->GetRules()->GetCount(), 1);  // the instance rule went along
  script->SetDeleteActualItem(true);  // the node and everything filed under it
  EXPECT_EQ(script->Error, TInterpretScript::kNeedsRule);
  EXPECT_EQ(script->GetRules()->GetCount(), 0);
}

TEST_F(UniversalInterpret, LayersAreHiddenDrawnByTheirOwnInterpretOrByTheScript) {
  std::vector<std::string> scriptLog, layerLog;
  fileClass("TAreaElement", new TPainter(kGreen, &scriptLog));
  std::unique_ptr<TInterpretContainer> model(new TInterpretContainer);
  auto layer = [&](const char* name, TAreaElement* area) {
    auto* l = new TInterpretLayer;
    l->SetName(name);
    l->Add(area);
    model->Add(l);
    return l;
  };
  layer("off", square("off", 10, 10, 10))->SwitchedOff = true;
  TInterpretLayer* own = layer("own", square("own", 30, 30, 10));
  own->SetInterpret(new TPainter(kBlue, &layerLog));
  own->SetLayerClassName("TAreaElement");
  TInterpretLayer* classless = layer("classless", square("classless", 60, 60, 10));
  classless->SetInterpret(new TPainter(kRed, &layerLog));
  TInterpretLayer* far = layer("far", square("far", 80, 10, 10));
  far->MinScaleNumber = 10000;  // drawn only above 1:10000

  draw(model.get());
  EXPECT_EQ(scriptLog, (std::vector<std::string>{"classless"}));
  EXPECT_EQ(layerLog, (std::vector<std::string>{"own"}));
  EXPECT_EQ(page.at(15, 15), clWhite);
  EXPECT_EQ(page.at(35, 35), kBlue);
  EXPECT_EQ(page.at(65, 65), kGreen);
  EXPECT_EQ(page.at(85, 15), clWhite);
  EXPECT_FALSE(universal.GetInterpretByLayer());
}

TEST_F(UniversalInterpret, PassesDrawInOrderAndABreakStopsTheWalkAtThe200MsPoll) {
  std::vector<std::string> log;
  script->SetPassesCount(2);
  script->SetPass(0);
  auto* green = new TPainter(kGreen, &log);
  fileClass("TAreaElement", green);
  script->SetPass(1);
  auto* red = new TPainter(kRed, &log);
  fileClass("TAreaElement", red);
  std::unique_ptr<TSpaceEntity> model(new TSpaceEntity);
  for (int i = 0; i < 6; ++i) model->Add(square(std::to_string(i).c_str(), i * 15.0, 0, 10));

  draw(model.get());
  EXPECT_EQ(log.size(), 12u);
  EXPECT_EQ(log[6], "0");
  EXPECT_EQ(page.at(5, 5), kRed);  // the second pass painted over the first

  // The user asks for a break while the third area is drawn (a message in
  // the queue), but the queue is let through only once the clock has moved
  // on by more than 200 ms (after the fifth); the second pass does not start.
  struct AbortButton : TOwnerEntity {
    TTool* target = nullptr;
    void HandleMessage(TZeltoMessage*&, bool& handled) override {
      target->SetBreakWork(true);
      handled = true;
    }
  } abort;
  abort.target = &universal;
  std::uint64_t now = 1000;
  framework::ScopedTickSource clock([&now] { return now; });
  log.clear();
  green->onDraw = red->onDraw = [&](TElement* e) {
    if (e->GetName() == "2") abort.PostMessage(100, &abort);
    if (e->GetName() == "4") now += 201;
  };
  draw(model.get());
  EXPECT_EQ(log, (std::vector<std::string>{"0", "1", "2", "3", "4"}));
  EXPECT_TRUE(universal.GetBroken());
  EXPECT_FALSE(universal.GetBreakWork());
  EXPECT_FALSE(universal.GetBusy());
}

TEST_F(UniversalInterpret, TiledDrawingMatchesDirectDrawingAndReportsEachStrip) {
  struct Recorder : TOwnerEntity {
    std::vector<std::string> texts;
    void HandleMessage(TZeltoMessage*& m, bool& handled) override {
      if (auto* t = dynamic_cast<TZeltoTextMessage*>(m)) texts.push_back(t->Text);
      handled = true;
    }
  } mainTool;
  zelto::SetMainToolResolver([&mainTool] { return &mainTool; });
  fileClass("TAreaElement", new TPainter(kGreen));
  std::unique_ptr<TSpaceEntity> model(new TSpaceEntity);
  model->Add(square("a", 12.3, 3.2, 40));
  model->Add(square("b", 60, 60, 30));

  Page direct;
  draw(model.get(), &direct);

  universal.Tile = true;
  universal.GetTileDevice()->SetBudgetOverride(TTileDevice::kDefaultBudget);
  draw(model.get());
  EXPECT_EQ(page.raster.Pixels(), direct.raster.Pixels());
  EXPECT_EQ(page.at(30, 20), kGreen);
  EXPECT_EQ(universal.GetDevice(), nullptr);

  zelto::RunMessagesUntilIdle();
  zelto::SetMainToolResolver(nullptr);
  ASSERT_GE(mainTool.texts.size(), 2u);
  EXPECT_EQ(mainTool.texts[0], "Inicializace....");
  std::vector<std::string> strips;
  for (const std::string& t : mainTool.texts)
    if (t.rfind("Interpretace ", 0) == 0) strips.push_back(t);
  ASSERT_EQ(strips.size(), 8u);
  EXPECT_EQ(strips[0], "Interpretace 1. dlaždice z 8");
  EXPECT_EQ(strips[7], "Interpretace 8. dlaždice z 8");
}

TEST_F(UniversalInterpret, AnElementAreaRedrawStaysInsideTheElementsRectangle) {
  fileClass("TAreaElement", new TPainter(kGreen));
  std::unique_ptr<TSpaceEntity> model(new TSpaceEntity);
  TAreaElement* a = square("a", 10.2, 10.2, 20);
  model->Add(a);
  model->Add(square("b", 60.2, 60.2, 20));
  page.device.GetPage()->SetPaperColor(clWhite);
  universal.BeginOnDevice(&page.device);
  universal.SetInput(model.get());
  universal.DoIt();
  EXPECT_EQ(page.at(70, 70), kGreen);

  script->SetActualInterpret(new TPainter(kRed));
  bool handled = false;
  TZeltoMessage* message = new TZeltoMessage(32, a, &universal, nullptr);
  universal.HandleMessage(message, handled);
  delete message;
  EXPECT_TRUE(handled);
  EXPECT_EQ(page.at(20, 20), kRed);
  EXPECT_EQ(page.at(70, 70), kGreen);  // outside the rectangle: untouched
  EXPECT_FALSE(page.device.GetPage()->GetUseInnerRect());

  // A plain redraw clears and draws everything.
  message = new TZeltoMessage(zelto::msg::ReviewRequest, nullptr, &universal, nullptr);
  handled = false;
  universal.HandleMessage(message, handled);
  delete message;
  EXPECT_EQ(page.at(70, 70), kRed);
  universal.EndOnDevice();
}

TEST_F(UniversalInterpret, ScriptsAreEditedByPropertyNamesAndReportThroughError) {
  TElement& s = *script;
  s.SetPropertyText("NewClassName", "TAreaElement");
  s.SetPropertyText("ActualInterpretName", "TRectInterpret");
  EXPECT_EQ(s.PropertyText("Error"), "0");
  EXPECT_EQ(s.PropertyText("ActualInterpretName"), "TRectInterpret");
  s.SetPropertyText("ActualInterpretName", "TNoSuchInterpret");
  EXPECT_EQ(script->Error, TInterpretScript::kClassNotRegistered);
  EXPECT_EQ(script->GetActualInterpret(), nullptr);
  script->GetActualInterpretName();
  EXPECT_EQ(script->Error, TInterpretScript::kNoInterpret);

  // Turning the node into one for TRectEntity files it again, above a new
  // area node.
  s.SetPropertyText("NewClassName", "TPolyLineElement");
  s.SetPropertyText("FindClassName", "TAreaElement");
  s.SetPropertyText("ActualClassName", "TRectEntity");
  EXPECT_EQ(script->Error, 0);
  s.SetPropertyText("FindClassName", "TPolyLineElement");
  auto* line = static_cast<TISClass*>(script->GetActualItem());
  ASSERT_EQ(script->GetRules()->GetCount(), 1);
  EXPECT_EQ(line->GetOwner(0)->GetOwner(0), script->GetRules()->GetItem(0));

  std::unique_ptr<TAreaElement> a(square("a", 0, 0, 1)), b(square("b", 0, 0, 1));
  script->SetNewElement(a.get());
  script->SetActualElement(b.get());
  script->SetFindElement(a.get());
  EXPECT_EQ(script->Error, TInterpretScript::kNotFound);
  script->SetFindElement(b.get());
  EXPECT_EQ(script->Error, 0);
  EXPECT_EQ(script->GetActualItem()->GetName(), "b(TAreaElement):");
  script->SetActualElement(nullptr);
  EXPECT_EQ(script->Error, TInterpretScript::kNilElement);
  script->SetActualClassName("TRectEntity");  // an instance rule has no class
  EXPECT_EQ(script->Error, TInterpretScript::kNeedsRule);

  s.SetPropertyText("PassesCount", "3");
  EXPECT_EQ(script->GetPassesCount(), 3);
  EXPECT_EQ(script->GetItem(2)->GetName(), "Pass 2");
  s.SetPropertyText("PassesCount", "1");
  EXPECT_EQ(script->GetPassesCount(), 1);
  EXPECT_EQ(script->GetRules()->GetCount(), 1);  // the first pass kept its rules
}
