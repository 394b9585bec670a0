#include "platform/qt/window_frame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using platform::qt::FrameFollowing;
using platform::qt::FrameFrom;

// A step of what the window system tells of a window the program placed,
// in the order a window manager on a busy machine tells it: the program
// puts the window at `at`; the toolkit reads the frame (`margins`, as it
// reads them: none before the window is framed); the window system reports
// the window at `at`. `expected`: after a read, whether the window is
// placed again; after a report, whether it is still followed.
struct Step {
  enum Kind { kPut, kRead, kReport } kind;
  QPoint at;
  QMargins margins;
  bool expected = true;
};

// The frame openbox draws, and another theme's.
const QMargins kFrame(1, 20, 1, 5), kOtherFrame(4, 24, 4, 4);

TEST(FrameFollowing, PlacesAgainForEachNewFrameHoweverLateUntilTheUserMovesTheWindow) {
  const struct {
    const char* what;
    std::vector<Step> steps;
  } cases[] = {
      {"a frame that comes long after the window went up",
       {{Step::kPut, {148, 17}, {}},
        {Step::kReport, {148, 17}, {}},
        {Step::kRead, {}, {}, false},
        {Step::kRead, {}, kFrame, true},
        {Step::kPut, {148, 24}, kFrame},
        {Step::kRead, {}, kFrame, false},
        {Step::kReport, {148, 24}, kFrame}}},
      // The window just put into a frame window of one pixel, the toolkit
      // measuring that, and moved in it before that is sized; then the
      // toolkit's guess for a window it has the size of wrong.
      {"a frame still being built is none",
       {{Step::kPut, {148, 17}, {}},
        {Step::kRead, {}, {0, 0, -727, -725}, false},
        {Step::kReport, {0, 0}, {0, 0, -727, -725}},
        {Step::kRead, {}, {1, 20, -729, -745}, false},
        {Step::kRead, {}, {0, 0, 88, 246}, false},
        {Step::kRead, {}, kFrame, true}}},
      {"reports of the old place before the window system took the new one",
       {{Step::kPut, {148, 24}, kFrame},
        {Step::kReport, {148, 17}, kFrame},
        {Step::kReport, {0, 0}, kFrame},
        {Step::kReport, {148, 24}, kFrame},
        {Step::kReport, {300, 200}, kFrame, false}}},
      {"put where the window system has it already",
       {{Step::kReport, {148, 24}, kFrame},
        {Step::kPut, {148, 24}, kFrame},
        {Step::kReport, {300, 200}, kFrame, false}}},
      {"a frame that changes before the user moved the window",
       {{Step::kPut, {148, 24}, kFrame},
        {Step::kReport, {148, 24}, kFrame},
        {Step::kReport, {145, 20}, kOtherFrame},
        {Step::kRead, {}, kOtherFrame, true}}},
      {"no window manager",
       {{Step::kPut, {148, 17}, {}},
        {Step::kReport, {148, 17}, {}},
        {Step::kRead, {}, {}, false},
        {Step::kReport, {300, 200}, {}},
        {Step::kRead, {}, {}, false}}},
  };
  for (const auto& [what, steps] : cases) {
    FrameFollowing following;
    for (std::size_t i = 0; i < steps.size(); ++i) {
      const Step& step = steps[i];
      SCOPED_TRACE(std::string(what) + ", step " + std::to_string(i + 1));
      switch (step.kind) {
        case Step::kPut: following.Put(step.at, FrameFrom(step.margins)); break;
        case Step::kRead: EXPECT_EQ(following.PlaceAgain(FrameFrom(step.margins)), step.expected); break;
        case Step::kReport: EXPECT_EQ(following.Reported(step.at, FrameFrom(step.margins)), step.expected); break;
      }
    }
  }
}

}  // namespace
