#include <gtest/gtest.h>

#include "platform/scripted_progress_form.h"
#include "platform/scripted_user_interaction.h"

namespace {

TEST(ProgressForm, ABarWithoutMaximumIgnoresProgressAndShowingHoldsTheHourglass) {
  platform::ScopedScriptedProgressForms forms;
  platform::ProgressForm form;
  form.setMaxValue(0);
  form.setProgress(5);
  EXPECT_EQ(form.progress(), 0);
  EXPECT_EQ(forms->steps(), 0);
  form.setMaxValue(10);
  form.setProgress(5);
  EXPECT_EQ(form.progress(), 5);
  const int depth = platform::BusyCursor::depth();
  form.show();
  EXPECT_EQ(platform::BusyCursor::depth(), depth + 1);
  form.userClosed();
  EXPECT_EQ(platform::BusyCursor::depth(), depth);
  EXPECT_TRUE(form.doCloseQuery());
  EXPECT_FALSE(form.visible());
}

TEST(ProgressForm, CancellingTheInterruptQuestionGoesOnWithoutAskingAgain) {
  platform::ScopedScriptedProgressForms forms;
  forms->closeAfterSteps(3);
  forms->queueBreakAnswer(false);
  platform::ProgressForm form;
  form.setMaxValue(10);
  form.show();
  int asked = 0, done = 0;
  for (int i = 1; i <= 10; ++i) {
    if (form.breakConfirmed("Přerušit export ploch ?")) break;
    form.setProgress(i);
    ++done;
  }
  asked = static_cast<int>(forms->breakQuestions().size());
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(done, 10);
  EXPECT_TRUE(form.visible());
  EXPECT_EQ(forms->showings().size(), 2u);  // shown again after Cancel
}

TEST(ProgressForm, AnOkStopsTheLoopAtTheNextItem) {
  platform::ScopedScriptedProgressForms forms;
  forms->closeAfterSteps(4);
  forms->queueBreakAnswer(true);
  platform::ProgressForm form;
  form.setMaxValue(10);
  form.show();
  int done = 0;
  for (int i = 1; i <= 10; ++i) {
    if (form.breakConfirmed("Přerušit export linií ?")) break;
    form.setProgress(i);
    ++done;
  }
  EXPECT_EQ(done, 4);
  ASSERT_EQ(forms->breakQuestions().size(), 1u);
  EXPECT_EQ(forms->breakQuestions()[0], "Přerušit export linií ?");
}

}  // namespace
