// New areas take the record of the largest old area their boundary lines
// name on their inner side; problems go to the protocol.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "areas/area_attribute_carrier.h"
#include "geometry/space_registers.h"
#include "gisblock/gelix_blok_reader.h"
#include "gisblock/gelix_classes.h"
#include "platform/message_queue.h"
#include "pipe_watch.h"
#include "walkers_fixture.h"
#include "sample_tree.h"
#include "temp_dir.h"

namespace {

using namespace areas_test;

class CarryTest : public WalkerTest {
 protected:
  void SetUp() override {
    WalkerTest::SetUp();
    reg = std::make_unique<TRegister>();
    newAreas = std::make_unique<TAreaString>();
  }
  void TearDown() override {
    newAreas.reset();
    reg.reset();
  }

  TBlockRegister* Block(const std::string& name) {
    if (TBlockRegister* b = reg->FindBlock(name)) return b;
    auto* b = new TBlockRegister;
    b->SetName(name);
    reg->Add(b);
    return b;
  }
  TAreaElement* OldArea(const std::string& block, int cislo, int druh, double x1, double y1) {
    TAreaElement* area = Box(0, 0, x1, y1);
    auto* props = new TGelixAreaProps;
    props->Cislo = cislo;
    props->Druh = static_cast<std::int16_t>(druh);
    area->SetProperties(props);
    Block(block)->Register(area);
    return area;
  }
  // A registered boundary line naming the old areas on its two sides.
  TPolyLineElement* BoundaryLine(const std::string& block, int cislo, int left, int right) {
    TPolyLineElement* line = Line({{0, 0}, {1, 1}});
    auto* props = static_cast<TGelixLineProps*>(line->GetProperties());
    props->Cislo = cislo;
    props->LeftArea = left;
    props->RightArea = right;
    if (!block.empty()) Block(block)->Register(line);
    return line;
  }
  TPolyLineAreaElement* NewArea(std::initializer_list<std::pair<TPolyLineElement*, bool>> lines) {
    auto* area = new TPolyLineAreaElement;
    int i = 0;
    for (auto [line, forward] : lines) {
      area->SetLineOrigin(i++, forward);
      area->AddAndExtend(line);
    }
    newAreas->Add(area);
    return area;
  }
  void Run(TCarryArToArThroughLines& carrier) {
    carrier.SetRegister(reg.get());
    carrier.SetInput(newAreas.get());
    carrier.DoIt();
  }
  std::vector<std::string> ProtocolLines() {
    std::ifstream in(protocol);
    std::vector<std::string> lines;
    for (std::string s; std::getline(in, s);) lines.push_back(s);
    return lines;
  }
  static TGelixProps* Record(TElement* e) {
    return static_cast<TGelixProps*>(static_cast<TSpaceEntity*>(e)->GetProperties());
  }

  std::unique_ptr<TRegister> reg;
  std::unique_ptr<TAreaString> newAreas;
  test_support::TempDir scratch{"carry"};
  std::string protocol = (scratch / "carry.txt").string();
};

TEST_F(CarryTest, AMergedStandTakesTheLargerOldAreaAndMarksLinesOfOtherBlocksWithoutAProtocol) {
  OldArea("A", 1, 110, 10, 10);  // 100 m²
  OldArea("A", 2, 120, 20, 20);  // 400 m²
  OldArea("B", 3, 130, 30, 30);  // larger still, but after the best block is set
  TPolyLineElement* l1 = BoundaryLine("A", 1, 1, 7);
  TPolyLineElement* l2 = BoundaryLine("A", 2, 7, 2);  // the new area lies on its right
  TPolyLineElement* l3 = BoundaryLine("B", 3, 3, 7);
  TPolyLineAreaElement* area = NewArea({{l1, true}, {l2, false}, {l3, true}});

  TCarryArToArThroughLines carrier;
  carrier.SelectForProblem = true;
  Run(carrier);

  TGelixProps* props = Record(area);
  ASSERT_NE(props, nullptr);
  EXPECT_EQ(props->Cislo, 3);  // B's area is the largest of all
  EXPECT_EQ(props->Druh, 130);
  EXPECT_TRUE(props->Vyber);   // it had a problem
  EXPECT_EQ(Record(l3)->Symbol, static_cast<std::int16_t>(0xFFE9));
  EXPECT_EQ(Record(l1)->Symbol, 0);
  EXPECT_NE(props, Record(reg->FindBlock("B")->FindObject('P', 3)));  // a clone, not shared
  EXPECT_EQ(props->GetBlockName(), "B");                               // filed in the old area's block
  EXPECT_NE(carrier.CurrentProtocolLine().find("Diff.Block"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(protocol));  // none asked for
}

TEST_F(CarryTest, TheProtocolListsProblemsAndOnlyThemWhenAsked) {
  OldArea("A", 1, 110, 10, 10);
  TPolyLineAreaElement* good = NewArea({{BoundaryLine("A", 1, 1, 0), true}});
  TPolyLineAreaElement* missing = NewArea({{BoundaryLine("A", 2, 9, 0), true}});
  TPolyLineAreaElement* unfiled = NewArea({{BoundaryLine("", 3, 1, 0), true}, {BoundaryLine("A", 4, 0, 1), false}});

  for (bool onlyProblems : {false, true}) {
    SCOPED_TRACE(onlyProblems);
    TCarryArToArThroughLines carrier;
    carrier.ProtocolFile = protocol;
    carrier.ProtocolOnlyProblem = onlyProblems;
    Run(carrier);
    const std::vector<std::string> lines = ProtocolLines();
    ASSERT_EQ(lines.size(), onlyProblems ? 2u : 3u);
    const std::string& last = lines.back();
    EXPECT_EQ(last.rfind(" New XY:", 0), 0u) << last;
    EXPECT_NE(last.find("| L:"), std::string::npos);
    EXPECT_NE(last.find(" No BlockReg"), std::string::npos);
    EXPECT_NE(last.find(" Old No:     1 Type: 110"), std::string::npos) << last;
    const std::string& noArea = lines[lines.size() - 2];
    EXPECT_EQ(noArea.rfind(" New area XY:", 0), 0u) << noArea;
    EXPECT_NE(noArea.find(" No Reg.Area"), std::string::npos);
  }
  EXPECT_EQ(Record(good)->Cislo, 1);
  EXPECT_FALSE(Record(good)->Vyber);  // SelectForProblem is off
  EXPECT_EQ(Record(unfiled)->Cislo, 1);
  EXPECT_EQ(missing->GetProperties(), nullptr);
  // Carried twice, each area is filed once beside the old one.
  EXPECT_EQ(static_cast<TEntity*>(Block("A")->GetObjectRegister('P')->GetItem(1))->GetCount(), 3);
}

// What is no file in the place of the protocol: the carrier does not wait
// on a pipe, says once that it cannot write there, and carries the records
// all the same.
TEST_F(CarryTest, AProtocolThatIsNoFileIsToldOnceAndNeverWaitedOn) {
  using namespace std::chrono_literals;
  OldArea("A", 1, 110, 10, 10);
  TPolyLineAreaElement* good = NewArea({{BoundaryLine("A", 1, 1, 0), true}});
  NewArea({{BoundaryLine("A", 2, 9, 0), true}});
  NewArea({{BoundaryLine("", 3, 1, 0), true}, {BoundaryLine("A", 4, 0, 1), false}});
  for (const test_support::NoFile& row : test_support::NoFiles()) {
    SCOPED_TRACE(row.what);
    const std::unique_ptr<test_support::PipeWatch> pipe = row.put(protocol);
    ui->clear();
    TCarryArToArThroughLines carrier;
    carrier.ProtocolFile = protocol;
    {
      const test_support::InterruptAfter bound(3);
      const auto start = std::chrono::steady_clock::now();
      Run(carrier);
      EXPECT_LT(std::chrono::steady_clock::now() - start, 2s) << "waited on the protocol";
    }
    EXPECT_EQ(ui->shownTexts(), std::vector<std::string>{"Soubor " + protocol + " nelze zapsat: " + row.cause});
    EXPECT_EQ(Record(good)->Cislo, 1);
    if (pipe) {
      EXPECT_FALSE(pipe->waitedOn()) << "opened the pipe";
    }
    std::filesystem::remove_all(protocol);
  }
}

TEST_F(CarryTest, AUserWhoClosesTheFormIsAskedAtEveryAreaUntilHeConfirms) {
  OldArea("A", 1, 110, 10, 10);
  std::vector<TPolyLineAreaElement*> areas;
  for (int i = 0; i < 5; ++i) areas.push_back(NewArea({{BoundaryLine("A", i + 1, 1, 0), true}}));
  forms->closeAfterSteps(1);
  forms->queueBreakAnswer(false);
  forms->queueBreakAnswer(true);
  TCarryArToArThroughLines carrier;
  Run(carrier);
  ASSERT_EQ(forms->breakQuestions().size(), 2u);
  EXPECT_EQ(forms->breakQuestions()[1], "Přerušit přenos atributů ?");
  int carried = 0;
  for (TPolyLineAreaElement* area : areas) carried += area->GetProperties() != nullptr;
  EXPECT_GT(carried, 0);
  EXPECT_LT(carried, 5);
  EXPECT_EQ(areas.back()->GetProperties(), nullptr);
}

// The district's stands read twice, as rings of vertices (the old areas,
// filed in the register) and as rings of lines (the new ones, their records
// dropped): every new area must get back the record of its own stand.
TEST_F(CarryTest, EveryStandOfTheSampleDistrictGetsBackItsOwnRecord) {
  if (test_support::GeneratedSample().empty()) GTEST_SKIP() << "python3 not installed";
  RegisterGelixClasses();
  namespace fs = std::filesystem;
  ASSERT_TRUE(test_support::CopySample(scratch.path()));
  const fs::path& dir = scratch.path();
  int districts = 0;
  for (const auto& entry : fs::recursive_directory_iterator(dir / "GIS")) {
    if (entry.path().filename() != "DET.BLK") continue;
    const std::string block = entry.path().string();
    SCOPED_TRACE(block);
    auto read = [&](TEntity& model, bool asVertices) {
      std::unique_ptr<TGeliXBlokReader> reader(TGeliXBlokReader::CreateForBlock(block));
      reader->SetObjectModel(&model);
      reader->ReadAreaAsBoundary = asVertices;
      return std::unique_ptr<TAreaString>(reader->ReadAreas());
    };
    TEntity oldModel, newModel;
    std::unique_ptr<TAreaString> oldAreas = read(oldModel, true);
    std::unique_ptr<TAreaString> fresh = read(newModel, false);
    ASSERT_TRUE(oldAreas && fresh);
    ASSERT_GT(fresh->GetCount(), 0);
    std::vector<std::int32_t> numbers;
    for (TElement* e : fresh->Items()) {
      numbers.push_back(Record(e)->Cislo);
      static_cast<TSpaceEntity*>(e)->SetProperties(nullptr);
    }
    TCarryArToArThroughLines carrier;
    carrier.SetRegister(static_cast<TRegister*>(oldModel.FindElementByClass(TRegister::StaticClass())));
    carrier.SetInput(fresh.get());
    carrier.DoIt();
    for (int i = 0; i < fresh->GetCount(); ++i) {
      TGelixProps* props = Record(fresh->GetItem(i));
      ASSERT_NE(props, nullptr) << numbers[i];
      EXPECT_EQ(props->Cislo, numbers[i]);
      EXPECT_FALSE(fresh->GetItem(i)->PropertyText("SKUPINA").empty());  // the stand table row
    }
    ++districts;
    fresh.reset();
    oldAreas.reset();
    platform::messageQueue().discardAll();
  }
  EXPECT_GT(districts, 0);
}

}  // namespace
