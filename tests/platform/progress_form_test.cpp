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

// A job's steps each have a form; most of them cannot stop half way. The
// stop pressed on any of them is asked at the job's next point that can.
TEST(ProgressForm, AStopPressedInAJobIsAskedAtItsNextPointThatCanStop) {
  platform::ScopedScriptedProgressForms forms;
  {
    // Outside a job the press is only its own form's.
    platform::ProgressForm step, loop;
    step.show();
    step.userClosed();
    EXPECT_FALSE(loop.breakConfirmed("Přerušit export ploch ?"));
    EXPECT_TRUE(forms->breakQuestions().empty());
  }
  {
    platform::BreakableJob job;
    platform::ProgressForm loop;
    loop.show();
    {
      platform::ProgressForm step;
      step.show();
      step.userClosed();
    }
    forms->queueBreakAnswer(true);
    EXPECT_TRUE(loop.breakConfirmed("Přerušit přenos atributů ?"));
    // OK stops every later point of the job without asking again.
    platform::ProgressForm next;
    EXPECT_TRUE(next.breakConfirmed("Přerušit export ploch ?"));
    EXPECT_TRUE(platform::BreakableJob::breakConfirmed("Přerušit čtení revíru ?"));
    EXPECT_EQ(forms->breakQuestions(), std::vector<std::string>{"Přerušit přenos atributů ?"});
  }
  {
    // The next job starts unbroken. The whole export's stop pressed while a
    // level runs is asked by the level; Cancel answers it for both.
    platform::BreakableJob job;
    platform::ProgressForm whole, level;
    whole.show();
    level.show();
    whole.userClosed();
    forms->queueBreakAnswer(false);
    EXPECT_FALSE(level.breakConfirmed("Přerušit export ploch ?"));
    EXPECT_FALSE(level.breakConfirmed("Přerušit export ploch ?"));
    EXPECT_FALSE(whole.breakConfirmed("Přerušit export vrstev revíru ?"));
    EXPECT_EQ(forms->breakQuestions().size(), 2u);
    // Back up at the whole export's next level, to be stopped later.
    EXPECT_TRUE(whole.visible());
  }
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
