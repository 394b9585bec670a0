// A district written by the independent generator, read through the block
// readers: every live area must close its ring, islands must leave their
// holes, and the counts and the net area must be the generator's.
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "gelix_block_fixture.h"
#include "gisblock/gelix_blok_reader.h"
#include "process.h"
#include "sample_tree.h"

namespace {

using namespace gisblock_test;


class SampleDistrictReadTest : public BlockTest {
 protected:
  void SetUp() override {
    BlockTest::SetUp();
    if (test_support::GeneratedSample().empty()) GTEST_SKIP() << "python3 not installed";
    ASSERT_TRUE(test_support::CopySample(dir.string()));
  }
};

TEST_F(SampleDistrictReadTest, BlocksReadToTheGeneratorsCountsAndAreas) {
  // directory block lines areas points texts det_area_m2, one line each
  const std::string listing = test_support::Capture(
      "python3 -c \"import json,sys; e=json.load(open(sys.argv[1]))\n"
      "for d in e['districts'].values():\n"
      "  for b,c in d['blocks'].items(): print(d['directory'], b, c['lines'], c['areas'], c['points'], c['texts'], "
      "d['det_area_m2'])\" '" +
      (dir / "expected.json").string() + "'");
  std::istringstream rows(listing);
  std::string district, name;
  int lines, areas, points, texts, checked = 0;
  double detArea;
  while (rows >> district >> name >> lines >> areas >> points >> texts >> detArea) {
    const std::string b = (dir / "GIS" / district / name).string();
    SCOPED_TRACE(b);
    TEntity model;
    std::unique_ptr<TGeliXBlokReader> reader(TGeliXBlokReader::CreateForBlock(b));
    reader->SetObjectModel(&model);
    EXPECT_EQ(reader->GetCodePage(), cpWindows);
    std::unique_ptr<TPolyLineString> l(reader->ReadLines());
    std::unique_ptr<TPointString> p(reader->ReadPoints());
    std::unique_ptr<TTextString> t(reader->ReadTexts());
    ASSERT_TRUE(l && p && t);
    EXPECT_EQ(l->GetCount(), lines);
    EXPECT_EQ(p->GetCount(), points);
    EXPECT_EQ(t->GetCount(), texts);
    double sums[2] = {0, 0};
    for (bool asBoundary : {false, true}) {
      TEntity fresh;
      std::unique_ptr<TGeliXBlokReader> r(TGeliXBlokReader::CreateForBlock(b));
      r->SetObjectModel(&fresh);
      r->ReadAreaAsBoundary = asBoundary;
      std::unique_ptr<TAreaString> a(r->ReadAreas());
      ASSERT_TRUE(a);
      EXPECT_EQ(a->GetCount(), areas) << (asBoundary ? "rings of vertices" : "rings of lines");
      for (TElement* e : a->Items()) {
        auto* area = static_cast<TAreaElement*>(e);
        EXPECT_GT(area->GetWholeArea(), 0) << area->PropertyText("Cislo");
        sums[asBoundary] += area->GetArea1();
      }
      if (name == "DET.BLK" && !asBoundary && a->GetCount() > 0) {  // the stand table through the register
        EXPECT_FALSE(a->GetItem(0)->PropertyText("SKUPINA").empty());
      }
    }
    EXPECT_NEAR(sums[0], sums[1], 1e-3);
    if (name == "DET.BLK") {
      EXPECT_NEAR(sums[0], detArea, 0.01);
    }
    ++checked;
  }
  EXPECT_GE(checked, 6);
  EXPECT_TRUE(log.texts.empty()) << log.texts.front();
}

}  // namespace
