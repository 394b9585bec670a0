// The Gelix renderers and the desktop renderers through the default
// interpret script on a memory raster, a metre a pixel: world (x, y) is
// pixel (x, 100 - y). Symbol libraries are written into a fresh C:\TTRIZENI.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "framework/dynamic_properties.h"
#include "framework/message_dispatch.h"
#include "framework/zelto_message.h"
#include "geometry/area_element.h"
#include "geometry/geometry_classes.h"
#include "geometry/poly_element.h"
#include "geometry/space_entity.h"
#include "gisblock/gelix_props.h"
#include "platform/message_queue.h"
#include "platform/scripted_user_interaction.h"
#include "render/desktop.h"
#include "render/gelix_color.h"
#include "render/graphic_file_element.h"
#include "render/map_frame.h"
#include "render/memory_raster.h"
#include "render/render_classes.h"
#include "render/text_block.h"
#include "render/universal_interpret.h"
#include "render/universal_script_creator.h"
#include "tests/render/bmp_test_files.h"
#include "tests/render/stroke_font_test_files.h"
#include "tests/support/log_probe.h"

namespace {

// How many log texts hold the part.
int countTexts(const test_support::LogProbe& log, const std::string& part) {
  return static_cast<int>(std::count_if(log.texts.begin(), log.texts.end(),
                                        [&](const std::string& t) { return t.find(part) != std::string::npos; }));
}

template <class Props>
Props* record(TSpaceEntity& e, std::int16_t colour, std::int16_t symbol) {
  auto* p = new Props;
  p->Barva = colour;
  p->Znacka = symbol;
  e.SetProperties(p);
  return p;
}

TPointElement* point(double x, double y, std::int16_t colour, std::int16_t symbol) {
  auto* p = new TPointElement;
  p->SetX(x);
  p->SetY(y);
  record<TGelixPointProps>(*p, colour, symbol);
  return p;
}

TPolyLineElement* line(std::initializer_list<std::pair<double, double>> pts, std::int16_t colour, std::int16_t symbol) {
  auto* l = new TPolyLineElement;
  for (auto [x, y] : pts) l->AddVertex(x, y);
  l->RecalcEnvelope();
  if (colour >= 0) record<TGelixLineProps>(*l, colour, symbol);
  return l;
}

TAreaElement* square(double x, double y, double side) {
  auto* a = new TAreaElement;
  for (auto [dx, dy] : {std::pair{0.0, 0.0}, {0.0, side}, {side, side}, {side, 0.0}}) a->AddVertex(x + dx, y + dy);
  a->RecalcEnvelope();
  return a;
}

class GelixRenderers : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterGeometryClasses();
    RegisterRenderClasses();
  }
  void SetUp() override {
    platform::setUi(&ui);
    raster.SetLogPixels(254, 254);
    device.SetCanvas(&raster);
    device.GetProjection()->Setup({50, 50}, device.GetPage(), 10000);
    font_test::Write(drive.dir / "SYMB.FNT", font_test::FontBytes(true));
    font_test::WriteText(drive.dir / "Fonty.txt", "1 symb.fnt D 20 0.1\n");
    TUniversalGelixScriptCreator creator;
    creator.DoIt();
    universal.SetScript(static_cast<TInterpretScript*>(creator.Output()));
  }
  void TearDown() override {
    platform::messageQueue().discardAll();
    platform::setUi(nullptr);
  }
  void draw(TElement* model) {
    universal.BeginOnDevice(&device);
    universal.SetInput(model);
    universal.DoIt();
    universal.EndOnDevice();
    zelto::RunMessagesUntilIdle();
  }
  TColor at(int x, int y) const { return raster.GetPixel(x, 100 - y); }
  int painted(TColor c) const { return static_cast<int>(std::count(raster.Pixels().begin(), raster.Pixels().end(), c)); }

  font_test::SymbolDrive drive{"renderers"};
  platform::ScriptedUserInteraction ui;
  test_support::LogProbe log;
  TMemoryRaster raster{100, 100};
  TCanvasDevice device;
  TUniversalInterpret universal;
  TEntity model;
};

TEST_F(GelixRenderers, PointsAreCrossesOrLibrarySymbolsAndLayerOverridesLeaveTheRecord) {
  auto* points = new TPointString;
  points->Add(point(20, 20, 11, 999));   // a cross even with a library
  points->Add(point(60, 20, 11, 1066));  // "B": a stroke 20 m upwards
  points->Add(point(101, 50, 11, 999));  // outside: its arm would reach pixel 99
  model.Add(points);
  draw(&model);
  const TColor red = GelixColorToRGB(11);
  EXPECT_EQ(at(18, 20), red);
  EXPECT_EQ(at(20, 22), red);
  EXPECT_NE(at(21, 21), red);
  EXPECT_EQ(at(60, 35), red);
  EXPECT_NE(at(99, 50), red);

  // The layer forces symbol 1065 ("A": a stroke along the baseline) in blue.
  auto* props = new TDynamicProperties;
  props->SetPropertyBool("USESYMBOL", true);
  props->SetPropertyInt("SYMBOL", 1065);
  props->SetPropertyBool("USECOLOR", true);
  props->SetPropertyInt("COLOR", RGBColor(0, 0, 255));
  points->SetProperties(props);
  raster.FillRect({0, 0, 100, 100});
  draw(&model);
  EXPECT_EQ(at(30, 20), RGBColor(0, 0, 255));
  EXPECT_NE(at(60, 35), red);
  auto* first = static_cast<TPointElement*>(points->GetItem(0));
  EXPECT_EQ(static_cast<TGelixProps*>(first->GetProperties())->Znacka, 999);
}

TEST_F(GelixRenderers, TextsDrawWithTheStrokedFontAndAMissingFontIsLoggedOncePerPass) {
  font_test::Write(drive.dir / "Simp.LVF", font_test::FontBytes(false));
  auto* texts = new TTextString;
  for (double y : {20.0, 60.0}) {
    auto* t = new TTextElement;
    auto* p = record<TGelixTextProps>(*t, 9, 0);
    p->SetStartPoint(new T2DCoordinate(10, y));
    p->CodePage = cpWindows;
    p->Height = 2;
    p->WidthCoef = 1;
    p->TextMode = 1;
    p->TextAtrib = 4;
    t->SetX(10);
    t->SetY(y);
    t->Text = "AB";
    texts->Add(t);
  }
  model.Add(texts);
  auto* layer = new TDynamicProperties;
  layer->SetPropertyBool("USECOLOR", true);
  layer->SetPropertyInt("COLOR", RGBColor(255, 0, 0));
  texts->SetProperties(layer);
  draw(&model);
  EXPECT_EQ(at(20, 20), RGBColor(255, 0, 0));  // "A" along the baseline, 10..30
  EXPECT_EQ(at(20, 60), RGBColor(255, 0, 0));
  auto* first = static_cast<TTextElement*>(texts->GetItem(0));
  EXPECT_EQ(static_cast<TGelixTextProps*>(first->GetProperties())->TextAtrib, 4);
  EXPECT_EQ(countTexts(log, "chyba fontu"), 0);

  // Windows-1250 "ř" (F8) is drawn with the Latin-2 font's glyph FD; the
  // byte FD itself ("ý", EC in Latin-2) finds no glyph there.
  auto latin2 = font_test::FontBytes(false);
  latin2[128 + 4] = 0xFD;  // the font's glyphs are FD and FE
  font_test::Write(drive.dir / "Simp.LVF", latin2);
  first->Text = "\xF8";
  static_cast<TTextElement*>(texts->GetItem(1))->Text = "\xFD";
  raster.FillRect({0, 0, 100, 100});
  draw(&model);
  EXPECT_EQ(at(20, 20), RGBColor(255, 0, 0));
  EXPECT_EQ(at(20, 60), clWhite);

  // Font 3 ("Goth") is nowhere: one problem, one log line for the two texts.
  for (TElement* e : texts->Items()) static_cast<TGelixTextProps*>(static_cast<TTextElement*>(e)->GetProperties())->GelixFont = 3;
  draw(&model);
  EXPECT_EQ(countTexts(log, "Nelze otevřít soubor vektorového fontu"), 1);
  EXPECT_TRUE(ui.shown().empty());
  EXPECT_EQ(countTexts(log, "Interpret textů GeliX: chyba fontu !"), 1);
  draw(&model);
  EXPECT_EQ(countTexts(log, "Interpret textů GeliX: chyba fontu !"), 2);
}

TEST_F(GelixRenderers, LinesAndAreasFollowTheirRecords) {
  font_test::WriteText(drive.dir / "linzn.txt",
                       "[LINIOVAZNACKA]\nKOD=1001\n[RETEZ]\n[CLANEK]\nVELIKOST=2\nVZDALENOST=-3\n[END]\n[END]\n[END]\n");
  auto* lines = new TPolyLineString;
  lines->Add(line({{10, 90}, {90, 90}}, 0, 0));     // colour 0: invisible
  lines->Add(line({{10, 80}, {90, 80}}, 11, 4242));  // unknown symbol: the thick plain line
  lines->Add(line({{10, 70}, {90, 70}}, -1, 0));     // no record: colour 13
  lines->Add(line({{10, 60}, {90, 60}}, 9, 1001));   // a chain that never advances
  lines->RecalcEnvelope();
  auto* areas = new TAreaString;
  auto* filled = square(10, 10, 20);
  record<TGelixAreaProps>(*filled, 8, 5);
  auto* nothing = square(40, 10, 20);
  record<TGelixAreaProps>(*nothing, 8, 0);
  auto* bare = square(70, 10, 20);  // no record: colour 10, symbol 1
  auto* tiny = square(5, 40, 2);    // below 3 pixels
  record<TGelixAreaProps>(*tiny, 8, 5);
  for (auto* a : {filled, nothing, bare, tiny}) areas->Add(a);
  areas->RecalcEnvelope();
  model.Add(areas);
  model.Add(lines);
  draw(&model);
  EXPECT_EQ(painted(GelixColorToRGB(0)), painted(clWhite));
  EXPECT_EQ(at(50, 90), clWhite);
  EXPECT_EQ(at(50, 80), GelixColorToRGB(11));
  EXPECT_EQ(at(50, 81), GelixColorToRGB(11));  // thick
  EXPECT_EQ(at(50, 70), GelixColorToRGB(13));
  EXPECT_EQ(at(50, 60), GelixColorToRGB(9));
  EXPECT_EQ(at(20, 20), GelixColorToRGB(8));
  EXPECT_EQ(at(10, 20), clBlack);  // the outline
  EXPECT_EQ(at(50, 20), clWhite);
  EXPECT_EQ(at(80, 20), GelixColorToRGB(10));
  EXPECT_EQ(at(6, 41), clWhite);
}

TEST_F(GelixRenderers, AModelHoldingItsOwnViewerIsDrawnOnce) {
  // world -> main tool -> viewer -> world
  auto* tool = new TEntity;
  auto* viewer = new TEntity;
  tool->Add(viewer);
  viewer->Add(&model);
  model.Add(tool);
  auto* areas = new TAreaString;
  auto* a = square(10, 10, 20);
  record<TGelixAreaProps>(*a, 8, 5);
  areas->Add(a);
  areas->RecalcEnvelope();
  model.Add(areas);
  draw(&model);
  EXPECT_EQ(at(20, 20), GelixColorToRGB(8));
  viewer->Remove(&model);
}

TEST_F(GelixRenderers, FramesThatFollowEachOtherAndABadPictureDoNotStopTheDesktop) {
  auto* desktop = new TDesktop;
  desktop->SetMinX(0), desktop->SetMinY(0), desktop->SetMaxX(100), desktop->SetMaxY(100);
  desktop->BrushColor = clWhite;
  auto* a = new TView;
  auto* b = new TView;
  a->SetName("A");
  b->SetName("B");
  a->ControlViewName = "B";
  b->ControlViewName = "A";
  for (TView* v : {a, b}) {
    v->SetMinX(0), v->SetMinY(0), v->SetMaxX(40), v->SetMaxY(40);
    v->SetScale(1);
    desktop->Add(v);
  }
  // A third frame shows a model at the page's scale, centred on its origin.
  auto* c = new TView;
  c->SetMinX(50), c->SetMinY(0), c->SetMaxX(90), c->SetMaxY(40);
  c->BrushColor = clWhite;
  c->SetScale(1);
  auto* shown = new TAreaString;
  auto* a5 = square(-5, -5, 10);
  record<TGelixAreaProps>(*a5, 11, 5);
  shown->Add(a5);
  shown->RecalcEnvelope();
  c->SetModel(shown);
  desktop->Add(c);
  auto* bad = new TBMPFileElement;
  bad->SetFileName("C:\\TTRIZENI\\broken.jpg");
  font_test::WriteText(drive.dir / "broken.jpg", "not a picture");
  bad->SetMinX(50), bad->SetMinY(50), bad->SetMaxX(60), bad->SetMaxY(60);
  desktop->Add(bad);
  // One whose read fails (a share gone mid-way; /proc/self/mem, a regular
  // file, fails so from its first byte) is told alike.
  std::filesystem::create_symlink("/proc/self/mem", drive.dir / "SDILENY.JPG");
  auto* unread = new TBMPFileElement;
  unread->SetFileName("C:\\TTRIZENI\\SDILENY.JPG");
  unread->SetMinX(10), unread->SetMinY(50), unread->SetMaxX(20), unread->SetMaxY(60);
  desktop->Add(unread);
  auto* rect = new TDrawRectangle;
  rect->SetMinX(70), rect->SetMinY(70), rect->SetMaxX(90), rect->SetMaxY(90);
  rect->BrushColor = RGBColor(0, 0, 255);
  desktop->Add(rect);
  model.Add(desktop);
  draw(&model);
  EXPECT_EQ(at(80, 80), RGBColor(0, 0, 255));
  EXPECT_EQ(countTexts(log, "broken.jpg"), 1);
  // The picture by the name the page stores, its fault said once.
  const auto said = std::find_if(log.texts.begin(), log.texts.end(),
                                 [](const std::string& text) { return text.find("broken") != std::string::npos; });
  ASSERT_NE(said, log.texts.end());
  EXPECT_EQ(said->rfind("Obrázek \"C:\\TTRIZENI\\broken.jpg\" nelze načíst: ", 0), 0u) << *said;
  EXPECT_EQ(said->find("nelze načíst", said->find("nelze načíst") + 1), std::string::npos) << *said;
  EXPECT_EQ(countTexts(log, "SDILENY.JPG"), 1);
  EXPECT_TRUE(log.sawLine("Obrázek \"C:\\TTRIZENI\\SDILENY.JPG\" nelze načíst: chyba čtení")) << log.all();
  EXPECT_EQ(at(70, 20), GelixColorToRGB(11));
  EXPECT_EQ(at(60, 20), clWhite);
}

TEST_F(GelixRenderers, ABmpOnTheDesktopIsDrawnAtItsSizeOrStretchedIntoItsRectangle) {
  const TColor red = RGBColor(255, 0, 0), yellow = RGBColor(255, 255, 0), blue = RGBColor(0, 0, 255),
               green = RGBColor(0, 255, 0);
  const bmp_test::Layout eight{8};
  const std::vector<TColor> palette = {red, yellow, blue, green};
  font_test::WriteText(drive.dir / "ZNAK.BMP", bmp_test::File(eight, 2, 2, palette,
                                                         bmp_test::Rows(eight, {{red, yellow}, {blue, green}}, palette)));
  auto* desktop = new TDesktop;
  desktop->SetMinX(0), desktop->SetMinY(0), desktop->SetMaxX(100), desktop->SetMaxY(100);
  desktop->BrushColor = clWhite;
  auto place = [&](double minX, double minY, double maxX, double maxY) {
    auto* picture = new TBMPFileElement;
    picture->SetFileName((drive.dir / "ZNAK.BMP").string());
    picture->SetMinX(minX), picture->SetMinY(minY), picture->SetMaxX(maxX), picture->SetMaxY(maxY);
    desktop->Add(picture);
  };
  place(10, 90, 10, 90);  // no width: natural size, upper-left at pixel (10, 10)
  place(50, 60, 70, 80);  // 20 x 20 from pixel (50, 20)
  model.Add(desktop);
  draw(&model);
  EXPECT_EQ(raster.GetPixel(10, 10), red);
  EXPECT_EQ(raster.GetPixel(11, 10), yellow);
  EXPECT_EQ(raster.GetPixel(10, 11), blue);
  EXPECT_EQ(raster.GetPixel(11, 11), green);
  EXPECT_EQ(raster.GetPixel(12, 12), clWhite);
  EXPECT_EQ(raster.GetPixel(55, 25), red);
  EXPECT_EQ(raster.GetPixel(65, 25), yellow);
  EXPECT_EQ(raster.GetPixel(55, 35), blue);
  EXPECT_EQ(raster.GetPixel(65, 35), green);
  EXPECT_EQ(painted(green), 1 + 100);
  EXPECT_EQ(countTexts(log, "ZNAK.BMP"), 0);
}

TEST(TextBlockProperties, LinesCrossTextAndLinesPlusJoinsColumns) {
  RegisterRenderClasses();
  TTextBlock block;
  block.SetDelimiter(";");
  block.SetPropertyText("Lines", "a\r\nb\r\n");
  block.SetPropertyText("LinesPlus", "1\n2");
  EXPECT_EQ(block.PropertyText("Lines"), "a;1\r\nb;2\r\n");
  block.SetPropertyText("LinesPlus", "1");
  EXPECT_EQ(block.GetLinesCount(), 2);
  EXPECT_EQ(block.GetLines()->Items[1], "b;2");
}

}  // namespace
