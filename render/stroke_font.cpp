#include "render/stroke_font.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "framework/class_registry.h"
#include "framework/problem_report.h"
#include "geometry/page_projection.h"
#include "platform/codepage.h"
#include "platform/path_resolver.h"
#include "platform/regular_file.h"
#include "platform/user_interaction.h"
#include "render/canvas.h"
#include "render/device.h"
#include "render/symbol_elements.h"

ZELTO_IMPLEMENT_ELEMENT(TTextStyle, TOwnerElement, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TTextStyles, TOwnerEntity, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TBGIFont, TOwnerElement, ZELTO_NO_PROPERTIES)

namespace render {

namespace {
constexpr std::size_t kHeaderSize = 128;
constexpr std::size_t kGlyphTable = 16;
// Guards against a damaged glyph that never reaches its end mark.
constexpr std::size_t kMaxGlyphCommands = 4096;
}  // namespace

bool StrokeFontData::HasChar(std::uint8_t code) const {
  return !block_.empty() && code >= FirstChar() && code < FirstChar() + CharCount();
}

int StrokeFontData::Width(std::uint8_t code) const {
  if (!HasChar(code)) return 0;
  return Byte(kGlyphTable + 2 * CharCount() + (code - FirstChar()));
}

std::vector<StrokeFontData::Stroke> StrokeFontData::Glyph(std::uint8_t code) const {
  std::vector<Stroke> strokes;
  if (!HasChar(code)) return strokes;
  std::size_t at = static_cast<std::size_t>(Word(5)) + Word(kGlyphTable + 2 * (code - FirstChar()));
  while (at + 1 < block_.size() && strokes.size() < kMaxGlyphCommands) {
    const std::uint8_t b1 = block_[at], b2 = block_[at + 1];
    if (b1 == 0 && b2 == 0) break;
    strokes.push_back({SignedFontUnit(b1), SignedFontUnit(b2), (b2 & 0x80) != 0});
    at += 2;
  }
  return strokes;
}

FontLoadResult ReadFontFile(const std::filesystem::path& path, bool requireSignature,
                            StrokeFontData& data) {
  std::string bytes;
  std::error_code ec;
  if (!platform::readRegularFile(path, bytes, ec)) return FontLoadResult::OpenFailed;
  const std::vector<std::uint8_t> all(bytes.begin(), bytes.end());
  if (requireSignature) {
    if (all.size() < 4) return FontLoadResult::BadSignature;
    const std::uint32_t sig = all[0] | (all[1] << 8) | (all[2] << 16) | (std::uint32_t{all[3]} << 24);
    if (sig != kSymbolFontSignature) return FontLoadResult::BadSignature;
  }
  // A file no longer than its header holds no font at all.
  if (all.size() <= kHeaderSize) return FontLoadResult::BadSignature;
  data = StrokeFontData(std::vector<std::uint8_t>(all.begin() + kHeaderSize, all.end()));
  return FontLoadResult::Ok;
}

std::filesystem::path ProgramDirectory() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::current_path() : exe.parent_path();
}

std::string SymbolDirectory() { return "C:\\TTRIZENI"; }

std::filesystem::path SymbolFile(const std::string& name) {
  return platform::pathResolver().existing(SymbolDirectory() + "\\" + name);
}

std::string FontFileName(int number, int codePage) {
  static const char* const kNames[] = {"Simp", "Bold", "Euro", "Goth", "Lcom", "Litt",
                                       "Sans", "Scri", "Simp", "Trip", "Tscr"};
  const char* name = number >= 1 && number <= 10 ? kNames[number] : "Simp";
  const char* ext = codePage == 0 ? ".CHR" : codePage == 1 ? ".LVF" : ".KVF";
  return std::string(name) + ext;
}

std::filesystem::path TextFontFile(const std::filesystem::path& directory, const std::string& name) {
  auto path = platform::pathResolver().existing((directory / name).string());
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    const auto shared = SymbolFile(name);
    if (std::filesystem::is_regular_file(shared, ec)) path = shared;
  }
  return path;
}

std::shared_ptr<const CanvasStrokeFont> LoadCanvasStrokeFont() {
  for (auto [kind, codePage] : {std::pair{1, platform::CodePage::Latin2}, {0, platform::CodePage::Ibm437}}) {
    auto font = std::make_shared<CanvasStrokeFont>();
    if (ReadFontFile(TextFontFile(ProgramDirectory(), FontFileName(0, kind)), false, font->Data) !=
            FontLoadResult::Ok ||
        font->Data.CapHeight() == 0)
      continue;
    font->CodePage = codePage;
    return font;
  }
  return nullptr;
}

}  // namespace render

namespace {

std::string Trim(std::string s) {
  const auto b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  const auto e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// "." or "," as decimal separator; nullopt when neither parses whole.
std::optional<double> ParseReal(const std::string& text) {
  std::string t = Trim(text);
  std::replace(t.begin(), t.end(), ',', '.');
  if (t.empty()) return std::nullopt;
  char* end = nullptr;
  const double v = std::strtod(t.c_str(), &end);
  if (end != t.c_str() + t.size()) return std::nullopt;
  return v;
}

std::optional<std::int64_t> ParseInteger(const std::string& text) {
  const std::string t = Trim(text);
  if (t.empty()) return std::nullopt;
  char* end = nullptr;
  const long long v = std::strtoll(t.c_str(), &end, 10);
  if (end != t.c_str() + t.size()) return std::nullopt;
  return v;
}

double ReduceToTurn(double a) { return std::fmod(a, 2 * std::numbers::pi); }

}  // namespace

std::uint8_t SizeModeOfLetter(const std::string& value, std::uint8_t otherwise) {
  const std::string v = Upper(Trim(value));
  if (v.empty()) return otherwise;
  switch (v[0]) {
    case 'S': return 0;
    case 'D': return 1;
    case 'M': return 2;
    default: return otherwise;
  }
}

// ---- text styles ----

void TTextStyles::SetFileName(const std::string& path) {
  fileName_ = path;
  FreeAll();
  platform::RegularFileStream in(platform::pathResolver().existing(path), std::ios::in);
  if (!in) return;
  std::unique_ptr<TTextStyle> open;
  std::string raw;
  while (std::getline(in, raw)) {
    const std::string line = Trim(platform::toUtf8(raw, platform::CodePage::Windows1250));
    const auto eq = line.find('=');
    if (eq == std::string::npos) {
      const std::string word = Upper(line);
      if (word == "[STYL]") open = std::make_unique<TTextStyle>();
      else if (word == "[END]" && open) Add(open.release());
      continue;
    }
    if (!open) continue;
    const std::string key = Upper(Trim(line.substr(0, eq)));
    const std::string value = Trim(line.substr(eq + 1));
    // Values that do not parse leave the field as it was.
    const auto real = [&](double& field) {
      if (auto v = ParseReal(value)) field = *v;
    };
    const auto integer = [&](std::int32_t& field) {
      if (auto v = ParseInteger(value); v && *v >= INT32_MIN && *v <= INT32_MAX) field = static_cast<std::int32_t>(*v);
    };
    if (key == "NAZEV") open->SetName(value);
    else if (key == "DRUH") integer(open->Druh);
    else if (key == "REZIM") open->Rezim = SizeModeOfLetter(value, 1);
    else if (key == "FONT") {
      if (auto v = ParseInteger(value); v && *v >= 0 && *v <= 255) open->Font = static_cast<std::uint8_t>(*v);
    } else if (key == "VYSKA") real(open->Vyska);
    else if (key == "SIRKA") real(open->Sirka);
    else if (key == "SKLON") real(open->Sklon);
    else if (key == "ROZESTUPY") real(open->Rozestupy);
    else if (key == "BARVA") integer(open->Barva);
    else if (key == "DRUHCARY") integer(open->DruhCary);
    else if (key == "SILAPERA") real(open->SilaPera);
  }
}

std::vector<TTextStyle*> TTextStyles::Styles() const {
  std::vector<TTextStyle*> out;
  for (TElement* e : Items())
    if (e->Is<TTextStyle>()) out.push_back(static_cast<TTextStyle*>(e));
  return out;
}

TTextStyle* TTextStyles::FindByKind(std::int32_t kind) const {
  for (TTextStyle* s : Styles())
    if (s->Druh == kind) return s;
  return nullptr;
}

// ---- font ----

TBGIFont::TBGIFont() : FontDirectory(render::ProgramDirectory()), styles_(new TTextStyles) {
  std::string dir = render::SymbolDirectory();
  if (dir.empty() || dir.back() != '\\') dir += '\\';
  styles_->SetFileName(dir + "Styly.txt");
}

TBGIFont::~TBGIFont() {
  delete styles_;
  if (ownsText_) delete text_;
}

void TBGIFont::SetText(TBGIText* text, bool ownsText) {
  if (ownsText_ && text_ != text) delete text_;
  text_ = text;
  ownsText_ = ownsText;
}

void TBGIFont::Unload() {
  data_ = {};
  fontNo_ = 0;
  capHeightReported_ = false;
}

bool TBGIFont::ReadSymbolFont(const std::string& path) {
  const auto result = render::ReadFontFile(path, true, data_);
  if (result == render::FontLoadResult::Ok) return true;
  data_ = {};
  if (result == render::FontLoadResult::OpenFailed) ShowError(2, path);
  Loaded = false;
  return false;
}

void TBGIFont::ReportZeroCapHeight() {
  // Units are computed several times for every text: one box per font.
  if (capHeightReported_) return;
  capHeightReported_ = true;
  ShowError(4, "");
}

void TBGIFont::LoadFont(std::uint8_t number, std::uint8_t codePage) {
  Loaded = true;
  if (!data_.Empty() && number == fontNo_ && codePage == codePageKind_) return;
  Unload();
  const auto path = render::TextFontFile(FontDirectory, render::FontFileName(number, codePage));
  if (render::ReadFontFile(path, false, data_) != render::FontLoadResult::Ok) {
    data_ = {};
    ShowError(2, path.string());
    Loaded = false;
    return;
  }
  fontNo_ = number;
  codePageKind_ = codePage;
  Layout.FontNo = number;
}

double TBGIFont::GetScale() const {
  return device_ && device_->GetProjection() ? device_->GetProjection()->GetScale() : 0.0;
}

double TBGIFont::VirtualScale() const {
  if (!device_ || !device_->GetProjection()) return 5000.0;
  const double v = device_->GetProjection()->GetVirtualScale();
  return v > 0 ? v : 5000.0;
}

void TBGIFont::ShowError(int code, const std::string& fileName) {
  switch (code) {
    case 2:
      if (ErrorShown) return;
      ErrorShown = true;
      zelto::ReportProblem("Nelze otevřít soubor vektorového fontu: " + fileName);
      break;
    case 3: zelto::ReportProblem("Nedostatečná velikost paměti"); break;
    case 4: zelto::ReportProblem("Chyba v načtení vektorového fontu " + fileName); break;
    default: break;
  }
}

double TBGIFont::HeightUnit() {
  const double h = Layout.Height, capH = data_.CapHeight();
  const bool cap = Layout.TextAtrib & TBGITextLayout::kCapHeight;
  const bool divides = cap || Layout.TextMode != 1;
  if (divides && capH == 0) {
    ReportZeroCapHeight();
    return 0;
  }
  if (cap) {
    if (Layout.TextMode == 0) return 0.000376 * h * GetScale() / capH;
    if (Layout.TextMode == 2) return VirtualScale() * h / 1000 / capH;
    return h / capH;
  }
  if (Layout.TextMode == 1) return h;
  return 0.000376 * h * GetScale() / capH;
}

double TBGIFont::SpacingUnit() {
  const double sp = Layout.Distance;
  if (Layout.TextAtrib & TBGITextLayout::kCapHeight) {
    if (data_.CapHeight() == 0) {
      ReportZeroCapHeight();
      return 0;
    }
    if (Layout.TextMode == 0) return 0.000376 * sp * GetScale();
    if (Layout.TextMode == 2) return VirtualScale() * sp / 1000;
    return sp;
  }
  if (Layout.TextMode == 1) return sp;
  return 0.000376 * sp * GetScale();
}

std::int32_t TBGIFont::PixelsAlongX(double length) const {
  return device_ && device_->GetProjection() ? device_->GetProjection()->WorldToDeviceDX(length) : 0;
}

void TBGIFont::ApplyPenWidth(std::int32_t pixels) {
  if (!device_) return;
  if (TPen* pen = device_->GetPen()) pen->Width = PenWidthForDevice(pixels);
}

void TBGIFont::DrawGlyphs(const std::string& text) {
  if (data_.Empty() || text.empty() || !device_) return;
  const double hu = HeightUnit(), wu = hu * Layout.WidthCoef, su = SpacingUnit();
  const bool turned = Layout.Direction != 0, slanted = Layout.Slope != 0;
  const double c = std::cos(Layout.Direction), s = std::sin(Layout.Direction), t = std::tan(Layout.Slope);
  T2DCoordinate* start = text_ ? text_->GetSecondPoint() : nullptr;
  double x0 = start ? start->X : 0, y0 = start ? start->Y : 0;
  device_->MoveTo(x0, y0);
  for (unsigned char ch : text) {
    // Characters outside the font have no glyph; they are skipped.
    if (!data_.HasChar(ch)) continue;
    double lastX = x0, lastY = y0;
    for (const auto& st : data_.Glyph(ch)) {
      double x = st.X * wu, y = st.Y * hu;
      if (slanted) x += y * t;
      if (turned) {
        lastX = x * c - y * s + x0;
        lastY = x * s + y * c + y0;
      } else {
        lastX = x + x0;
        lastY = y + y0;
      }
      if (st.Draw) device_->LineTo(lastX, lastY);
      else device_->MoveTo(lastX, lastY);
    }
    x0 = lastX + su * c;
    y0 = lastY + su * s;
  }
}

double TBGIFont::TextWidth(const std::string& text) {
  int w = 0, n = 0;
  for (unsigned char ch : text)
    if (data_.HasChar(ch)) {
      w += data_.Width(ch);
      ++n;
    }
  if (n == 0) return 0;
  return w * HeightUnit() * Layout.WidthCoef + (n - 1) * SpacingUnit();
}

double TBGIFont::TextHeight() { return data_.CapHeight() * HeightUnit(); }

namespace {
std::string TextBytes(const TBGIText& text) {
  const auto cp = text.CodePage == 0   ? platform::CodePage::Ibm437
                  : text.CodePage == 1 ? platform::CodePage::Latin2
                                       : platform::CodePage::Kamenicky;
  return platform::fromUtf8(text.Veta, cp);
}
}  // namespace

void TBGIFont::UpdateEnvelope() {
  if (!text_) return;
  if (data_.Empty() || Layout.FontNo != fontNo_ || text_->CodePage != codePageKind_)
    LoadFont(Layout.FontNo, text_->CodePage);
  const double w = TextWidth(TextBytes(*text_)), h = TextHeight();
  const double c = std::cos(Layout.Direction), s = std::sin(Layout.Direction), t = std::tan(Layout.Slope);
  const T2DCoordinate* p = text_->GetSecondPoint();
  double minX = p->X, minY = p->Y, maxX = p->X, maxY = p->Y;
  for (auto [cx, cy] : {std::pair{w, 0.0}, {0.0, h}, {w, h}}) {
    const double x = cx + cy * t;
    const double rx = x * c - cy * s + p->X, ry = x * s + cy * c + p->Y;
    minX = std::min(minX, rx);
    maxX = std::max(maxX, rx);
    minY = std::min(minY, ry);
    maxY = std::max(maxY, ry);
  }
  TRectangle* r = text_->GetRectangle();
  r->SetMinX(minX);
  r->SetMinY(minY);
  r->SetMaxX(maxX);
  r->SetMaxY(maxY);
}

void TBGIFont::ApplyStyle(std::int32_t kind) {
  TTextStyle* style = styles_->FindByKind(kind);
  if (!style) return;
  Layout.TextMode = style->Rezim;
  Layout.FontNo = style->Font;
  Layout.Height = style->Vyska;
  Layout.WidthCoef = style->Sirka;
  Layout.Slope = ReduceToTurn(style->Sklon * std::numbers::pi / 180);
  Layout.Distance = style->Rozestupy;
  if (text_) {
    text_->Barva = static_cast<std::int16_t>(style->Barva);
    text_->Znacka = static_cast<std::int16_t>(style->DruhCary);
  }
  PenWidth = PixelsAlongX(style->SilaPera * VirtualScale() / 1000);
}

void TBGIFont::Draw() {
  if (!text_) return;
  const bool styled = (Layout.TextAtrib & TBGITextLayout::kCapHeight) &&
                      !(Layout.TextAtrib & TBGITextLayout::kNoStyle) && !styles_->Styles().empty();
  if (styled) {
    PenWidth = 0;
    ApplyStyle(text_->Druh);
    ApplyPenWidth(PenWidth);
  } else {
    ApplyPenWidth(PixelsAlongX(Layout.Height / 10));
  }
  if (data_.Empty() || Layout.FontNo != fontNo_ || text_->CodePage != codePageKind_)
    LoadFont(Layout.FontNo, text_->CodePage);
  if (Loaded) DrawGlyphs(TextBytes(*text_));
}

void RegisterStrokeFontClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  for (const TElementClass* cls : {&TTextStyle::StaticClass(), &TTextStyles::StaticClass(), &TBGIFont::StaticClass()})
    RegisterZeltoClass(*cls);
}
