#include "render/point_symbols.h"

#include <sstream>

#include "framework/class_registry.h"
#include "geometry/page_projection.h"
#include "platform/path_resolver.h"
#include "platform/regular_file.h"
#include "render/canvas.h"
#include "render/device.h"
#include "render/gelix_color.h"
#include "render/symbol_elements.h"

ZELTO_IMPLEMENT_ELEMENT(TBGIFontFile, TOwnerElement, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TBGISymbol, TBGIFont, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TGeliXSymbols, TOwnerEntity, ZELTO_NO_PROPERTIES)

namespace {
constexpr double kMinSize = 0.0001;
}

void TBGISymbol::LoadSymbolFont(std::int32_t number, const std::string& path) {
  Loaded = true;
  if (!data_.Empty() && (number == SymbolFontNo || path == GetName())) return;
  Unload();
  SymbolFontNo = -1;
  if (!ReadSymbolFont(path)) return;
  SymbolFontNo = number;
  SetName(path);
}

TGeliXSymbols::TGeliXSymbols(const std::string& fileName) {
  if (fileName.empty()) return;
  const auto path = platform::pathResolver().existing(fileName);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return;
  font_ = new TBGISymbol;
  text_ = new TBGIText;
  font_->SetText(text_, false);
  Add(font_);
  Add(text_);
  Read(path.string());
}

void TGeliXSymbols::Read(const std::string& path) {
  platform::RegularFileStream in(path, std::ios::in);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::int32_t number = 0;
    std::string file, mode, size, thickness;
    if (!(fields >> number >> file >> mode >> size >> thickness)) continue;
    const auto real = [](std::string t, double& v) {
      for (char& c : t)
        if (c == ',') c = '.';
      char* end = nullptr;
      v = std::strtod(t.c_str(), &end);
      return end == t.c_str() + t.size();
    };
    double sz = 0, th = 0;
    if (!real(size, sz) || !real(thickness, th)) continue;
    if (number < 1 || !(sz >= kMinSize)) continue;
    auto* entry = new TBGIFontFile;
    entry->SetName(file);
    entry->Number = number;
    entry->Size = sz;
    entry->SizeMode = SizeModeOfLetter(mode, 0);
    entry->Thickness = th;
    Add(entry);
  }
}

void TGeliXSymbols::SetDevice(TDevice* device) {
  device_ = device;
  if (font_) font_->SetDevice(device);
}

TBGIFontFile* TGeliXSymbols::FindFontFile(std::int32_t number) const {
  for (TElement* e : Items())
    if (e->Is<TBGIFontFile>() && static_cast<TBGIFontFile*>(e)->Number == number)
      return static_cast<TBGIFontFile*>(e);
  return nullptr;
}

bool TGeliXSymbols::Prepare(std::int32_t symbol, double x, double y, double angle) {
  if (!font_ || !device_ || symbol < 0) return false;
  const std::int32_t character = symbol % 1000;
  // Remainders beyond a byte name no glyph.
  if (character > 255) return false;
  TBGIFontFile* file = FindFontFile(symbol / 1000);
  if (!file) return false;
  font_->LoadSymbolFont(file->Number, render::SymbolFile(file->GetName()).string());
  if (!font_->Loaded) return false;
  double vs = device_->GetProjection() ? device_->GetProjection()->GetVirtualScale() : 0;
  if (vs <= 0) vs = 5000;
  if (TPen* pen = device_->GetPen())
    pen->Width = PenWidthForDevice(device_->GetProjection() ? device_->GetProjection()->WorldToDeviceDX(file->Thickness * vs / 1000) : 1);
  T2DCoordinate* start = text_->GetSecondPoint();
  start->X = x;
  start->Y = y;
  TBGITextLayout& l = font_->Layout;
  l.Height = file->Size;
  l.WidthCoef = 1;
  l.Direction = angle;
  l.Slope = 0;
  l.Distance = 0;
  l.TextAtrib = TBGITextLayout::kCapHeight;
  l.TextMode = file->SizeMode;
  text_->Veta = std::string(1, static_cast<char>(character));
  return true;
}

void TGeliXSymbols::DrawSymbol(std::int16_t color, std::int32_t symbol, double x, double y, double angle) {
  if (!Prepare(symbol, x, y, angle)) return;
  if (TPen* pen = device_->GetPen()) pen->Color = GelixColorToRGB(color);
  font_->DrawGlyphs(text_->Veta);
}

void TGeliXSymbols::DrawSymbolAt(T2DCoordinate& point, double angle, std::int32_t symbol) {
  if (!Prepare(symbol, point.X, point.Y, angle)) return;
  font_->DrawGlyphs(text_->Veta);
}

void RegisterPointSymbolClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  for (const TElementClass* cls :
       {&TBGIFontFile::StaticClass(), &TBGISymbol::StaticClass(), &TGeliXSymbols::StaticClass()})
    RegisterZeltoClass(*cls);
}
