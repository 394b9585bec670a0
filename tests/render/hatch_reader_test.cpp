// Area symbols read from hatch-library lines: the symbol found by its code,
// layers and hatches in drawing order, angle classes, sizes in pixels along
// the right axis, the diagonal widening and the rules that drop items.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "geometry/page_projection.h"
#include "render/area_symbol.h"
#include "render/hatch_reader.h"

namespace {

using render::HatchItem;

// The lines of a file, classified the simple way the library files need.
class Lines {
 public:
  explicit Lines(std::vector<std::string> lines) : lines_(std::move(lines)) {}
  void next(HatchItem& item) {
    const std::string& line = lines_.at(pos_++);
    item.AtEof = pos_ == lines_.size();
    if (line.empty()) return;
    if (line[0] == '[') {
      item.IsSection = true;
      item.Text = line.substr(1, line.find(']') - 1);
      last_ = item.Text;
    } else {
      const auto eq = line.find('=');
      item.IsKey = true;
      item.Key = line.substr(0, eq);
      item.Text = eq == std::string::npos ? "" : line.substr(eq + 1);
      last_ = item.Text;
    }
  }
  std::size_t pos_ = 0;
  std::string last_;

 private:
  std::vector<std::string> lines_;
};

class HatchReaderTest : public testing::Test {
 protected:
  HatchReaderTest() {
    // 1 m a pixel across x, 2 m down y; 1 mm of the map is 5 m at 1:5000.
    page.SetPageRect({0, 0, 1000, 1000});
    page.SetResolution(1000, 500);
    projection.Setup({0, 0}, &page, 1000);
  }
  std::unique_ptr<TPlosnaZnacka> read(std::vector<std::string> file, int code) {
    Lines lines(std::move(file));
    render::HatchSymbolParser parser([&](HatchItem& i) { lines.next(i); },
                                     [&] { return std::atoi(lines.last_.c_str()); },
                                     [&] { return std::atof(lines.last_.c_str()); }, projection);
    return std::unique_ptr<TPlosnaZnacka>(parser.ReadSymbol(code));
  }
  T_Page page;
  TPageProjection projection;
};

const std::vector<std::string> kLibrary{
    "[PLOSNAZNACKA]", "KOD=1001", "NAZEV=Louka", "ZAKLADNIZNACKA=1", "[END]",
    "[PLOSNAZNACKA]", "KOD=1002", "NAZEV=Les smíšený s velmi dlouhým názvem přes limit", "PODKLAD=9",
    "[VRSTVASRAF]", "UHEL=0",
    "[SRAFA]", "SIRKA=1", "BARVA=13", "VZDALENOST=2", "[END]",
    "[SRAFA]", "SIRKA=0.2", "BARVA=11", "VZDALENOST=0", "D1=1", "DELKAVZORU=2", "D2=0", "[END]",
    "[SRAFA]", "SIRKA=0", "BARVA=11", "[END]",
    "[END]",
    "[VRSTVASRAF]", "UHEL=225", "[SRAFA]", "SIRKA=2", "VZDALENOST=2", "BARVA=13", "[END]", "[END]",
    "[VRSTVASRAF]", "UHEL=-90", "[END]",
    "[END]",
    "[PLOSNAZNACKA]", "KOD=1003", "PODKLAD=4", "[VRSTVASRAF]", "UHEL=180", "[SRAFA]", "SIRKA=1", "BARVA=4",
    "[END]", "[END]", "[END]"};

TEST_F(HatchReaderTest, SymbolWithLayersInDrawingOrderAndSizesInPixels) {
  auto s = read(kLibrary, 1002);
  ASSERT_TRUE(s);
  EXPECT_EQ(s->Kod, 1002);
  EXPECT_EQ(s->Nazev, "Les smíšený s velmi dlouhým ná");  // thirty characters
  EXPECT_EQ(s->Color, 9);
  EXPECT_EQ(s->DrawMode, 0);
  ASSERT_EQ(s->Vrstvy.size(), 2u);  // the layer without hatches is gone
  const TVrstvaSraf& diagonal = *s->Vrstvy[0];
  EXPECT_EQ(diagonal.AngleClass, 1);
  ASSERT_EQ(diagonal.Count(), 1);
  // 10 px across x, widened to 14, then the stripe shrinks and the gap grows.
  EXPECT_EQ(diagonal.Hatches[0]->Sirka, 13);
  EXPECT_EQ(diagonal.Hatches[0]->Vzdalenost, 15);

  const TVrstvaSraf& horizontal = *s->Vrstvy[1];
  EXPECT_EQ(horizontal.AngleClass, 0);
  ASSERT_EQ(horizontal.Count(), 2);  // SIRKA 0 dropped
  const TSrafa& dashed = *horizontal.Hatches[0];  // read last, drawn first
  EXPECT_EQ(dashed.Barva, 11);
  EXPECT_EQ(dashed.Sirka, 1);  // 0.5 px across y rounds to 0 and is kept at 1
  EXPECT_TRUE(dashed.Dashed);
  EXPECT_EQ(dashed.D1, 5);  // along x
  EXPECT_EQ(dashed.DelkaVzoru, 10);
  EXPECT_EQ(dashed.PatternLength, 15);
  const TSrafa& plain = *horizontal.Hatches[1];
  EXPECT_EQ(plain.Sirka, 2);  // 2.5 px across y, ties to even
  EXPECT_EQ(plain.Vzdalenost, 5);
  EXPECT_FALSE(plain.Dashed);
}

TEST_F(HatchReaderTest, SymbolsWithoutContentOrMissingGiveNothing) {
  auto base = read(kLibrary, 1001);  // a base symbol and no layers is kept
  ASSERT_TRUE(base);
  EXPECT_EQ(base->DrawMode, TPlosnaZnacka::kBackgroundOnly);
  EXPECT_FALSE(read(kLibrary, 1004));
  EXPECT_FALSE(read(kLibrary, 999));
  EXPECT_FALSE(read({"[PLOSNAZNACKA]", "KOD=1005", "NAZEV=prázdná", "[END]"}, 1005));
  // A heading whose next line is no KOD still lets the next symbol be found.
  EXPECT_TRUE(read({"[PLOSNAZNACKA]", "[PLOSNAZNACKA]", "KOD=1006", "ZAKLADNIZNACKA=2", "[END]"}, 1006));
  // Hatches only in the background colour draw the background only.
  auto background = read(kLibrary, 1003);
  ASSERT_TRUE(background);
  EXPECT_EQ(background->Vrstvy[0]->AngleClass, 0);
  EXPECT_EQ(background->DrawMode, TPlosnaZnacka::kBackgroundOnly);
}

TEST(HatchAngles, ClassesOfAngles) {
  using P = render::HatchSymbolParser;
  EXPECT_EQ(P::AngleClassOf(45), 1);
  EXPECT_EQ(P::AngleClassOf(225), 1);
  EXPECT_EQ(P::AngleClassOf(-90), 2);
  EXPECT_EQ(P::AngleClassOf(180), 0);
  EXPECT_EQ(P::AngleClassOf(135), 3);
  EXPECT_EQ(P::AngleClassOf(22.5), 0);  // halfway: to the even class
  EXPECT_EQ(P::AngleClassOf(67.5), 2);
}

}  // namespace
