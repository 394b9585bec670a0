#include <gtest/gtest.h>

#include "framework/czech_count.h"
#include "framework/message_dispatch.h"
#include "framework/problem_report.h"
#include "tests/framework/test_support.h"

namespace {

TEST(CzechCount, EveryCountTakesTheFormCzechGivesIt) {
  const struct {
    std::int64_t count;
    const char* text;
  } cases[] = {{0, "0 ploch"}, {1, "1 plocha"}, {4, "4 plochy"}, {5, "5 ploch"}, {22, "22 ploch"}, {-3, "-3 plochy"}};
  for (const auto& c : cases) EXPECT_EQ(framework::CzechCount(c.count, "plocha", "plochy", "ploch"), c.text);
}

// One cause repeated per row is one line with its count; a cause met once
// keeps its own words; the protocol (the log texts) has every occurrence.
TEST_F(FrameworkTest, ProblemsAreLoggedEachAndSummedUpByCause) {
  TRecorder mainTool;
  zelto::SetMainToolResolver([&mainTool] { return &mainTool; });
  for (int row : {23, 27, 31})
    zelto::ReportProblem("Není nalezen záznam c." + std::to_string(row), "Není nalezen záznam");
  zelto::ReportProblem("Index P0110.IND je nepřístupný");
  {
    // A job inside a job counts its own.
    zelto::ProblemTally inner;
    zelto::ReportProblem("Chyba v CreateAreaForQtree");
    EXPECT_EQ(inner.Summary(), "Chyba v CreateAreaForQtree");
  }
  zelto::NoteProblem("Úroveň 16PSK nemá žádné jednotky");
  zelto::RunMessagesUntilIdle();
  zelto::SetMainToolResolver(nullptr);

  EXPECT_EQ(problems.total(), 5u);
  EXPECT_EQ(problems.Summary(),
            "Není nalezen záznam (celkem 3×)\nIndex P0110.IND je nepřístupný\nÚroveň 16PSK nemá žádné jednotky");
  EXPECT_EQ(problems.Summary(1), "Není nalezen záznam (celkem 3×)\n… a 2 další hlášení");
  ASSERT_EQ(mainTool.seen.size(), 5u);  // the noted one the caller logs itself
  EXPECT_EQ(mainTool.seen[1].text, "Není nalezen záznam c.27");
  EXPECT_TRUE(ui->shown().empty());
}

// A part of the job that failed (a level of a district run) is an error:
// told first, on its own line, and the job's one box is an error box.
TEST_F(FrameworkTest, AFailureComesFirstAndMakesTheBoxAnError) {
  zelto::ShowProblems(problems);
  EXPECT_TRUE(ui->shown().empty());
  zelto::NoteProblem("Není nalezen záznam c.1", "Není nalezen záznam");
  zelto::ShowProblems(problems);
  ASSERT_EQ(ui->shown().size(), 1u);
  EXPECT_EQ(ui->shown()[0].kind, platform::MessageKind::Warning);
  zelto::NoteProblem("Není nalezen záznam c.2", "Není nalezen záznam");
  for (int i = 0; i < 2; ++i) zelto::NoteFailure("Úroveň 19OP nebyla exportována");
  EXPECT_TRUE(problems.failed());
  EXPECT_EQ(problems.Summary(), "Úroveň 19OP nebyla exportována\nÚroveň 19OP nebyla exportována\n"
                                "Není nalezen záznam (celkem 2×)");
  EXPECT_EQ(problems.Summary(1), "Úroveň 19OP nebyla exportována\n… a 3 další hlášení");
  zelto::ShowProblems(problems);
  EXPECT_EQ(ui->shown().back().kind, platform::MessageKind::Error);
}

}  // namespace
