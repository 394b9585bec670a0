#include <gtest/gtest.h>

#include <vector>

#include "platform/handle_table.h"
#include "platform/scripted_user_interaction.h"

namespace {

using namespace platform;

TEST(ScriptedUserInteraction, QueuedAnswersThenDefaultsAndEveryTextRecorded) {
  ScopedScriptedUi scripted;
  scripted->queueAnswer(Answer::No);
  scripted->queueAnswer(Answer::Ignore);  // not offered by the next box
  EXPECT_EQ(ui().showMessage("Opravdu ukončit aplikaci ?", MessageKind::Confirmation, Buttons::YesNo), Answer::No);
  EXPECT_EQ(ui().showMessage("b", MessageKind::Plain, Buttons::YesNoCancel), Answer::Yes);
  EXPECT_EQ(ui().showMessage("c", MessageKind::Warning, Buttons::OkIgnore), Answer::Ok);
  showError("d");
  EXPECT_EQ(scripted->shownTexts(), (std::vector<std::string>{"Opravdu ukončit aplikaci ?", "b", "c", "d"}));
  EXPECT_EQ(scripted->shown()[3].kind, MessageKind::Error);
  ui().beep();
  EXPECT_EQ(scripted->beeps(), 1);
}

TEST(ScriptedUserInteraction, BusyCursorNestsAndRestores) {
  ScopedScriptedUi scripted;
  {
    BusyCursor outer;
    EXPECT_TRUE(scripted->busy());
    {
      BusyCursor inner;
      EXPECT_EQ(BusyCursor::depth(), 2);
    }
    EXPECT_TRUE(scripted->busy());
  }
  EXPECT_FALSE(scripted->busy());
  EXPECT_EQ(scripted->busyChanges(), 2);
}

TEST(HandleTable, HandlesOfDeadObjectsResolveToNothingAndAreNeverReused) {
  HandleTable table;
  int a = 0, b = 0;
  Handle ha = table.acquire(&a);
  EXPECT_NE(ha, 0u);
  EXPECT_EQ(table.acquire(&a), ha);
  EXPECT_EQ(table.resolve(ha), &a);
  table.forget(&a);
  EXPECT_EQ(table.resolve(ha), nullptr);
  Handle again = table.acquire(&a);  // same address, new life
  EXPECT_NE(again, ha);
  EXPECT_NE(table.acquire(&b), again);
  EXPECT_EQ(table.resolve(0), nullptr);
  EXPECT_EQ(table.acquire(nullptr), 0u);
}

TEST(HandleTable, GivesItsMemoryBackAsItEmpties) {
  HandleTable table;
  std::vector<int> objects(100000);
  for (int& o : objects) table.acquire(&o);
  const std::size_t peak = table.bucketCount();
  for (std::size_t i = 0; i + 10 < objects.size(); ++i) table.forget(&objects[i]);
  EXPECT_LT(table.bucketCount(), peak / 100);
  for (int& o : objects) table.forget(&o);
  EXPECT_LT(table.bucketCount(), peak / 100);
  EXPECT_NE(table.acquire(&objects[0]), 0u);
}

}  // namespace
