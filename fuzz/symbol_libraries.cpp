// The symbol libraries and their fonts: point symbol fonts (Fonty.txt),
// text styles (Styly.txt), line symbols (linzn.txt) and hatches (Srafy.txt)
// read through the parameter-file reader, and one font file serving as
// both symbol and text font. Every symbol a library names is drawn on a
// small raster, which also writes its own texts in that font.
#include <cctype>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "geometry/area_element.h"
#include "geometry/poly_element.h"
#include "render/device.h"
#include "render/area_symbol.h"
#include "render/hatch_library.h"
#include "render/hatch_reader.h"
#include "render/line_symbols.h"
#include "render/memory_raster.h"
#include "render/point_symbols.h"
#include "render/stroke_font.h"
#include "render/symbol_elements.h"

namespace {
constexpr const char* kFiles[] = {"FONTY.TXT", "STYLY.TXT", "LINZN.TXT", "SRAFY.TXT", "SYMB.FNT"};
constexpr std::size_t kCount = std::size(kFiles);
constexpr std::size_t kMaxCodes = 8;

// The numbers after "KOD" in a library, which its symbols answer to.
std::vector<std::int32_t> Codes(std::string_view text) {
  std::vector<std::int32_t> codes;
  for (std::size_t at = text.find("KOD"); at != std::string_view::npos && codes.size() < kMaxCodes;
       at = text.find("KOD", at + 1)) {
    std::size_t p = at + 3;
    while (p < text.size() && !std::isdigit(static_cast<unsigned char>(text[p])) && p < at + 8) ++p;
    std::int32_t code = 0;
    for (int digits = 0; p < text.size() && std::isdigit(static_cast<unsigned char>(text[p])) && digits < 9;
         ++p, ++digits)
      code = code * 10 + (text[p] - '0');
    codes.push_back(code);
  }
  return codes;
}

struct Sheet {
  TMemoryRaster raster{64, 64};
  TCanvasDevice device;
  Sheet() {
    raster.SetLogPixels(254, 254);
    device.SetCanvas(&raster);
    device.GetProjection()->Setup({32, 32}, device.GetPage(), 10000);
    device.GetProjection()->SetVirtualScale(1000);
  }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Harness& harness = fuzz::Harness::Get();
  harness.Begin();
  const auto files = fuzz::SplitFiles(data, size, kCount);
  for (std::size_t i = 0; i < kCount; ++i) harness.Write(std::string("TTRIZENI/") + kFiles[i], files[i]);
  harness.Write("TTRIZENI/SIMP.CHR", files[4]);
  Sheet sheet;

  TGeliXSymbols points("C:\\TTRIZENI\\Fonty.txt");
  points.SetDevice(&sheet.device);
  for (std::int32_t font = 0; font < 10; ++font)
    for (std::int32_t character : {0, 65, 66, 200}) points.DrawSymbol(1, font * 1000 + character, 30, 30, 0.5);

  TBGIFont text;
  text.FontDirectory = harness.Scratch() / "TTRIZENI";
  text.SetDevice(&sheet.device);
  auto* item = new TBGIText;
  text.SetText(item, true);
  item->Veta = "AB";
  item->GetSecondPoint()->X = 10;
  item->GetSecondPoint()->Y = 30;
  text.Layout.TextAtrib = TBGITextLayout::kCapHeight;
  for (TTextStyle* style : text.GetTextStyles()->Styles()) {
    item->Druh = style->Druh;
    text.Draw();
    text.UpdateEnvelope();
  }
  sheet.raster.Font().Height = 20;
  sheet.raster.Font().Escapement = 300;
  sheet.raster.Font().Style = fsItalic | fsUnderline;
  sheet.raster.TextOut(5, 40, "AB ř");
  sheet.raster.TextWidth("AB");

  TPolyElement line;
  line.AddVertex(5, 5);
  line.AddVertex(40, 50);
  line.AddVertex(60, 10);
  TLinioveZnacky lineSymbols("C:\\TTRIZENI\\LINZN.TXT");
  lineSymbols.SetDevice(&sheet.device);
  for (std::int32_t code : Codes(files[2]))
    if (TLiniovaZnacka* symbol = lineSymbols.FindSymbol(code))
      symbol->Draw(sheet.device, clBlack, {0, 0, 64, 64}, true, line);

  TAreaElement area;
  for (auto [x, y] : {std::pair{5.0, 5.0}, {5.0, 60.0}, {60.0, 60.0}, {60.0, 5.0}}) area.AddVertex(x, y);
  std::vector<TDevicePoint> corners;
  std::vector<std::int32_t> counts;
  std::int32_t total = 0, rings = 0;
  sheet.device.BuildPolyPolygon(&area, corners, counts, total, rings);
  TPlosneZnacky hatches("C:\\TTRIZENI\\SRAFY.TXT");
  hatches.SetDevice(&sheet.device);
  for (std::int32_t code : Codes(files[3]))
    if (TPlosnaZnacka* symbol = hatches.FindSymbol(code)) symbol->Draw(sheet.device, corners, counts);
  return 0;
}

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                              unsigned int seed) {
  return fuzz::MutateOneFile(data, size, maxSize, seed, kCount);
}
