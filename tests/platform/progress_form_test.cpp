#include <gtest/gtest.h>

#include "platform/scripted_progress_form.h"
#include "platform/scripted_user_interaction.h"

namespace {

// A loop of ten items that asks before each; the user closes the form after
// `closeAfter` items. Returns the number of items done.
int RunLoop(platform::ScriptedProgressForms& forms, int closeAfter, bool answerOk) {
  forms.closeAfterSteps(closeAfter);
  forms.queueBreakAnswer(answerOk);
  platform::ProgressForm form;
  form.setMaxValue(10);
  form.show();
  int done = 0;
  for (int i = 1; i <= 10 && !form.breakConfirmed("Přerušit export ploch ?"); ++i, ++done) form.setProgress(i);
  EXPECT_EQ(forms.breakQuestions().size(), 1u);
  return done;
}

TEST(ProgressForm, AnOkStopsTheLoopAndACancelGoesOnWithoutAskingAgain) {
  {
    platform::ScopedScriptedProgressForms forms;
    EXPECT_EQ(RunLoop(*forms, 4, true), 4);
    EXPECT_EQ(forms->breakQuestions()[0], "Přerušit export ploch ?");
  }
  platform::ScopedScriptedProgressForms forms;
  EXPECT_EQ(RunLoop(*forms, 3, false), 10);
  EXPECT_EQ(forms->showings().size(), 2u);  // shown again after Cancel
}

TEST(ProgressForm, ABarWithoutMaximumIgnoresProgressAndClosingEndsTheHourglass) {
  platform::ScopedScriptedProgressForms forms;
  platform::ProgressForm form;
  form.setMaxValue(0);
  form.setProgress(5);
  EXPECT_EQ(form.progress(), 0);
  const int depth = platform::BusyCursor::depth();
  form.show();
  EXPECT_EQ(platform::BusyCursor::depth(), depth + 1);
  form.userClosed();
  EXPECT_EQ(platform::BusyCursor::depth(), depth);
  EXPECT_TRUE(form.doCloseQuery());
  EXPECT_FALSE(form.visible());
}

}  // namespace
