#pragma once
// Stroked vector fonts: map texts and point symbols are drawn as move and
// line strokes in world coordinates, not with the platform's fonts. The
// text styles of "Styly.txt" can override a text's size, font and pen by
// its kind.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/element.h"
#include "framework/entity.h"
#include "platform/codepage.h"

class TDevice;
class TBGIText;

namespace render {

// The loaded part of a font file (everything after its 128-byte header),
// read with bounds checks: a damaged file yields no glyph rather than a
// read past the block.
class StrokeFontData {
 public:
  struct Stroke {
    int X = 0;
    int Y = 0;
    bool Draw = false;  // line to the point, else move to it
  };

  StrokeFontData() = default;
  explicit StrokeFontData(std::vector<std::uint8_t> block) : block_(std::move(block)) {}

  bool Empty() const { return block_.empty(); }
  std::size_t Size() const { return block_.size(); }
  int CharCount() const { return Byte(1); }
  int FirstChar() const { return Byte(4); }
  int CapHeight() const { return Byte(8); }
  bool HasChar(std::uint8_t code) const;
  // Advance width in font units; 0 outside the font.
  int Width(std::uint8_t code) const;
  // The glyph's commands up to its end mark; empty outside the font.
  std::vector<Stroke> Glyph(std::uint8_t code) const;

 private:
  int Byte(std::size_t at) const { return at < block_.size() ? block_[at] : 0; }
  int Word(std::size_t at) const { return Byte(at) | (Byte(at + 1) << 8); }

  std::vector<std::uint8_t> block_;
};

// A 7-bit two's-complement font coordinate.
inline int SignedFontUnit(std::uint8_t b) {
  const int v = b & 0x7F;
  return (v & 0x40) ? v - 0x80 : v;
}

// The signature a symbol font must begin with.
constexpr std::uint32_t kSymbolFontSignature = 0x08084B50;

enum class FontLoadResult { Ok, OpenFailed, BadSignature };
// Reads the block after the header; with requireSignature the file must begin
// with the symbol-font signature.
FontLoadResult ReadFontFile(const std::filesystem::path& path, bool requireSignature,
                            StrokeFontData& data);

// The directory the stroked text fonts are installed in: the program's own.
std::filesystem::path ProgramDirectory();
// The symbol directory "C:\TTRIZENI" as the drive map places it.
std::string SymbolDirectory();
// A file of the symbol directory, its name's letter case ignored.
std::filesystem::path SymbolFile(const std::string& name);

// File name of text font `number` for a code page ("SIMP.CHR" ...).
std::string FontFileName(int number, int codePage);
// Where a text font file lies: in the directory (the program's), else in
// the symbol directory, where a data tree may bring its own.
std::filesystem::path TextFontFile(const std::filesystem::path& directory, const std::string& name);

// The stroked font that surfaces without the platform's fonts write their
// texts in: "Simp" for Latin 2, else for code page 437.
struct CanvasStrokeFont {
  StrokeFontData Data;
  platform::CodePage CodePage = platform::CodePage::Latin2;
};
// Nil when the program has neither file (or a font without a cap height).
std::shared_ptr<const CanvasStrokeFont> LoadCanvasStrokeFont();

}  // namespace render

// How a text is laid out; set by the caller with the text item.
struct TBGITextLayout {
  static constexpr std::uint8_t kCapHeight = 8;  // height is the capital height
  static constexpr std::uint8_t kNoStyle = 4;

  std::uint8_t FontNo = 0;
  double Height = 0;
  double WidthCoef = 1;
  double Direction = 0;  // radians, counter-clockwise
  double Slope = 0;      // radians
  double Distance = 0;   // extra spacing between characters
  std::uint8_t TextAtrib = 0;
  std::uint8_t TextMode = 0;  // 0 typographic points, 1 world units, 2 millimetres
};

// Size mode of a library letter: "S" 0, "D" 1, "M" 2.
std::uint8_t SizeModeOfLetter(const std::string& value, std::uint8_t otherwise);

class TTextStyle : public TOwnerElement {
  ZELTO_ELEMENT(TTextStyle)
 public:
  std::int32_t Druh = 0;
  std::uint8_t Rezim = 0;
  std::uint8_t Font = 0;
  double Vyska = 0;
  double Sirka = 0;
  double Sklon = 0;  // degrees
  double Rozestupy = 0;
  std::int32_t Barva = 0;
  std::int32_t DruhCary = 0;
  double SilaPera = 0;  // millimetres
};

class TTextStyles : public TOwnerEntity {
  ZELTO_ELEMENT(TTextStyles)
 public:
  const std::string& GetFileName() const { return fileName_; }
  // Reads the styles at once; a missing file leaves the list empty.
  void SetFileName(const std::string& path);
  // Styles in file order.
  std::vector<TTextStyle*> Styles() const;
  TTextStyle* FindByKind(std::int32_t kind) const;

 private:
  std::string fileName_;
};

class TBGIFont : public TOwnerElement {
  ZELTO_ELEMENT(TBGIFont)
 public:
  TBGIFont();
  ~TBGIFont() override;

  TBGITextLayout Layout;
  bool ErrorShown = false;
  std::int32_t PenWidth = 0;  // pixels
  bool Loaded = false;
  // Where the text fonts are looked for; the program's directory.
  std::filesystem::path FontDirectory;

  void SetDevice(TDevice* device) { device_ = device; }
  TDevice* GetDevice() const { return device_; }
  void SetText(TBGIText* text, bool ownsText = false);
  TBGIText* GetText() const { return text_; }
  TTextStyles* GetTextStyles() const { return styles_; }
  std::uint8_t LoadedFontNo() const { return fontNo_; }
  const render::StrokeFontData& FontData() const { return data_; }

  void LoadFont(std::uint8_t number, std::uint8_t codePage);
  void Draw();
  void UpdateEnvelope();
  double TextWidth(const std::string& text);
  double TextHeight();
  void DrawGlyphs(const std::string& text);

  virtual void ApplyStyle(std::int32_t kind);
  virtual double GetScale() const;
  virtual void ShowError(int code, const std::string& fileName);

 protected:
  double VirtualScale() const;
  double HeightUnit();
  double SpacingUnit();
  std::int32_t PixelsAlongX(double length) const;
  void ApplyPenWidth(std::int32_t pixels);
  void Unload();
  // Reads a symbol font (signature required); on failure the font is left
  // unloaded and a missing file is reported.
  bool ReadSymbolFont(const std::string& path);
  void ReportZeroCapHeight();

  render::StrokeFontData data_;
  std::uint8_t fontNo_ = 0;
  std::uint8_t codePageKind_ = 0;

 private:
  TDevice* device_ = nullptr;
  TBGIText* text_ = nullptr;
  bool ownsText_ = false;
  bool capHeightReported_ = false;  // for the font loaded
  TTextStyles* styles_ = nullptr;  // owned
};

void RegisterStrokeFontClasses();
