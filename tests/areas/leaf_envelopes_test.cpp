// The envelopes kept beside the accepted lines' quad-tree answer a query as
// the tree walker does, while lines come, leaves split and lines are freed.
#include "areas/leaf_envelopes.h"

#include <algorithm>
#include <random>
#include <vector>

#include "geometry/qtree.h"
#include "walkers_fixture.h"

namespace {

using namespace areas_test;

TEST_F(WalkerTest, KeptEnvelopesFindWhatTheWalkerFindsInItsOrder) {
  TQTreeGlxLin tree;
  tree.InitRootSquare(0, 0, 1000, 1000);
  areas::LeafEnvelopes envelopes;
  std::mt19937 random(7);
  std::uniform_real_distribution<double> at(0, 1000), step(-40, 40);
  std::vector<TPolyLineElement*> lines;
  auto add = [&](int count) {
    for (int i = 0; i < count; ++i) {
      const double x = at(random), y = at(random);
      lines.push_back(Line({{x, y}, {x + step(random), y + step(random)}, {x + step(random), y + step(random)}}));
      tree.SetNextSpaceEntity(lines.back());
    }
  };
  auto expectSameAnswers = [&] {
    for (int q = 0; q < 40; ++q) {
      const double x = at(random), y = at(random), w = 30 * q;
      std::vector<TElement*> walked, kept;
      TQTreeWalker walker;
      for (TElement* e = walker.FindFirst(&tree, 1, x, y, x + w, y + w / 2); e; e = walker.FindNext())
        walked.push_back(e);
      envelopes.Query(&tree, 1, x, y, x + w, y + w / 2, kept);
      ASSERT_EQ(kept, walked) << "query " << q;
    }
  };
  for (int round = 0; round < 3; ++round) {
    add(700);  // leaves of 128 split
    expectSameAnswers();
    // Lines made after these are freed may take their addresses.
    for (std::size_t i = round; i < lines.size(); i += 3) {
      envelopes.Forget(lines[i]);
      delete lines[i];
      lines[i] = nullptr;
    }
    std::erase(lines, nullptr);
    expectSameAnswers();
  }
  // The last line freed and a longer one made in its place, most likely at
  // its address and at its place in its leaves.
  for (int i = 0; i < 20; ++i) {
    TPolyLineElement* last = lines.back();
    const double x = last->GetVertexX(0), y = last->GetVertexY(0), reach = 40 + 2 * i;
    envelopes.Forget(last);
    delete last;
    lines.back() = Line({{x, y}, {x + reach, y + reach}});
    tree.SetNextSpaceEntity(lines.back());
    std::vector<TElement*> kept;
    envelopes.Query(&tree, 0, x + reach, y + reach, x + reach, y + reach, kept);
    EXPECT_EQ(std::count(kept.begin(), kept.end(), lines.back()), 1) << i;
  }
  expectSameAnswers();
  for (TPolyLineElement* line : lines) delete line;
}

}  // namespace
