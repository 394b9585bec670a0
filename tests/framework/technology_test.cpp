#include "framework/technology.h"

#include <gtest/gtest.h>

#include "framework/element_model.h"
#include "framework/message_dispatch.h"
#include "framework/property_access.h"
#include "framework/service_classes.h"
#include "framework/wcs.h"
#include "platform/message_queue.h"
#include "tests/framework/test_support.h"

namespace {

// Counts its steps as progress and says so in the log.
class TStepTool : public TTool {
  ZELTO_ELEMENT(TStepTool)
 public:
  std::int32_t Steps = 0;
  bool Closable = true;
  bool CanClose() override { return Closable; }
  void DoIt() override {
    TTool::DoIt();
    BeginProgress(GetName(), 0, Steps);
    for (int i = 1; i <= Steps; ++i) {
      StepProgress(i);
      PostTextMessage(this, 8, GetName() + " krok " + std::to_string(i));
    }
    EndProgress();
    auto* out = new TOwnerEntity();
    out->SetName(GetName() + "(" + (Input() ? Input()->GetName() : "nil") + ")");
    outputs.Add(out);
    SetOutput(out);
  }
  TOwnerEntity outputs;
};

// The application's main tool as the tests see it: notes what arrives.
class TRecordingMainTool : public TTechnology {
  ZELTO_ELEMENT(TRecordingMainTool)
 public:
  std::vector<std::string> log;
  void HandleMessage(TZeltoMessage*& message, bool& handled) override {
    TTechnology::HandleMessage(message, handled);
    if (handled) return;
    std::string entry = std::to_string(message->Message);
    if (auto* text = dynamic_cast<TZeltoTextMessage*>(message)) entry += " " + text->Text;
    if (auto* progress = dynamic_cast<TProgressMessage*>(message)) {
      if (message->Message == 10) entry += " " + progress->ProcessName + " " + std::to_string(progress->MaxProgress);
      if (message->Message == 11) entry += " " + std::to_string(progress->Progress);
    }
    log.push_back(entry);
  }
};

class Technology : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    RegisterFrameworkServiceClasses();
    RegisterZeltoClass(TStepTool::StaticClass());
  }
};

void addToolModel(TElement* parent, const std::string& name, const std::string& cls, const std::string& steps) {
  SetPropTextByName(parent, "NewToolName", name);
  TElement* tool = GetObjectPropByName(parent, "LastToolModel");
  SetPropTextByName(tool, "ElementClassName", cls);
  if (steps.empty()) return;
  SetPropTextByName(tool, "NewPropertyName", "Steps");
  SetPropTextByName(GetObjectPropByName(tool, "LastPropertyModel"), "Value", steps);
}

}  // namespace

ZELTO_IMPLEMENT_ELEMENT(TStepTool, TTool, [](auto& p) { p.Integer("Steps", &TStepTool::Steps, &TStepTool::Steps); })
ZELTO_IMPLEMENT_ELEMENT(TRecordingMainTool, TTechnology, ZELTO_NO_PROPERTIES)

TEST_F(Technology, APipelineBuiltFromAModelReportsInOrderAndDropsClosedTools) {
  auto* world = new TWCSWorld();
  auto* main = new TRecordingMainTool();
  world->SetMainTool(main);
  world->InstallMessageHook();

  auto* model = new TToolModel();
  model->SetName("pipeline");
  SetPropTextByName(model, "ElementClassName", "TSeqTechnology");
  addToolModel(model, "first", "TStepTool", "2");
  addToolModel(model, "ghost", "TNoSuchTool", "");
  addToolModel(model, "second", "TStepTool", "1");

  TTool* built = main->NewToolByModel(model);
  auto* seq = dynamic_cast<TSeqTechnology*>(built);
  ASSERT_NE(seq, nullptr);
  ASSERT_EQ(seq->ToolCount(), 2);
  EXPECT_EQ(dynamic_cast<TStepTool*>(seq->GetToolByIndex(0))->Steps, 2);

  TOwnerEntity input;
  input.SetName("les");
  seq->SetInput(&input);
  seq->DoIt();
  zelto::RunMessagesUntilIdle();
  EXPECT_EQ(seq->Output()->GetName(), "second(first(les))");
  const std::vector<std::string> expected = {
      "8 Unknown class: TNoSuchTool",
      "10 first 2", "11 1", "8 first krok 1", "11 2", "8 first krok 2", "12",
      "10 second 1", "11 1", "8 second krok 1", "12"};
  EXPECT_EQ(main->log, expected);

  TTool* first = seq->GetToolByIndex(0);
  const auto handle = first->GetHandle();
  first->Close();
  zelto::ProcessPendingMessages();
  EXPECT_FALSE(Alive(handle));
  EXPECT_EQ(seq->ToolCount(), 1);
  EXPECT_EQ(seq->GetToolByIndex(0)->GetName(), "second");
  delete world;
}

TEST_F(Technology, ProgressNeedsABeginAndToolsWithoutModelSaySo) {
  TWorld world;
  auto* main = new TRecordingMainTool();
  world.SetMainTool(main);
  world.InstallMessageHook();
  TStepTool tool;
  tool.SetName("lonely");
  tool.StepProgress(3);
  tool.ProgressText("x");
  tool.EndProgress();
  tool.InitFromModel();
  zelto::RunMessagesUntilIdle();
  ASSERT_EQ(main->log.size(), 1u);
  EXPECT_EQ(main->log[0], "8 Tool: lonely class: TStepTool Has no model!");
}

TEST_F(Technology, SelectionIndexesAndClosing) {
  TTechnology tech;
  auto* a = tech.AppendTool(new TStepTool());
  auto* b = static_cast<TStepTool*>(tech.AppendTool(new TStepTool()));
  tech.AppendTool(new TStepTool());
  tech.SetCurrentIndex(5);
  EXPECT_EQ(tech.GetCurrentIndex(), -1);
  EXPECT_EQ(tech.GetActiveTool(), nullptr);
  tech.SetActiveTool(a);
  EXPECT_EQ(tech.GetCurrentIndex(), 0);
  b->Closable = false;
  EXPECT_FALSE(tech.CanClose());

  b->SetFlag(TTool::kBreakWhileBusy, true);
  EXPECT_TRUE(b->GetBreakWork());
  b->SetBreakWork(false);
  EXPECT_FALSE(b->GetBreakWork());

  TSelectTechnology select;
  select.AppendTool(new TStepTool());
  select.SelIndex = -1;
  TOwnerEntity in;
  select.SetInput(&in);
  select.DoIt();
  EXPECT_EQ(select.Output(), nullptr);
  auto* otherwise = new TStepTool();
  otherwise->SetName("else");
  select.SetElseTool(otherwise);
  select.DoIt();
  ASSERT_NE(select.Output(), nullptr);
  EXPECT_EQ(select.Output()->GetName(), "else(TOwnerEntity)");
  platform::messageQueue().discardAll();
}

TEST_F(Technology, ARunOnAnElementLeavesTheLastingInputAsItWas) {
  TStepTool tool;
  tool.SetName("t");
  TOwnerEntity lasting, passing;
  lasting.SetName("a");
  passing.SetName("b");
  tool.SetInput(&lasting);
  tool.DoItOn(&passing);
  EXPECT_EQ(tool.Output()->GetName(), "t(b)");
  EXPECT_EQ(tool.Input(), &lasting);
  tool.DoItOn(nullptr);  // as an input set to none
  EXPECT_EQ(tool.Output()->GetName(), "t(nil)");
  EXPECT_EQ(tool.Input(), nullptr);
}
