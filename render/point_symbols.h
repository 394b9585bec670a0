#pragma once
// Point symbols of the Gelix map: glyphs of stroked symbol fonts listed in
// "Fonty.txt". A symbol number's thousands select the font, the remainder
// the character.
#include <cstdint>
#include <string>

#include "framework/entity.h"
#include "render/stroke_font.h"

class TDevice;
class TBGIText;
class T2DCoordinate;

// One font line of "Fonty.txt"; its name is the font's file name.
class TBGIFontFile : public TOwnerElement {
  ZELTO_ELEMENT(TBGIFontFile)
 public:
  std::int32_t Number = 0;
  double Size = 0;
  std::uint8_t SizeMode = 0;
  double Thickness = 0;  // millimetres at the virtual scale
};

// A stroked font loaded by path, for symbol fonts.
class TBGISymbol : public TBGIFont {
  ZELTO_ELEMENT(TBGISymbol)
 public:
  std::int32_t SymbolFontNo = -1;
  void LoadSymbolFont(std::int32_t number, const std::string& path);
};

class TGeliXSymbols : public TOwnerEntity {
  ZELTO_ELEMENT(TGeliXSymbols)
 public:
  TGeliXSymbols() = default;
  // An empty library when the name is empty or names no file.
  explicit TGeliXSymbols(const std::string& fileName);

  void SetDevice(TDevice* device);
  TDevice* GetDevice() const { return device_; }
  TBGISymbol* GetSymbolFont() const { return font_; }
  TBGIFontFile* FindFontFile(std::int32_t number) const;

  // Pen colour from the Gelix colour number.
  void DrawSymbol(std::int16_t color, std::int32_t symbol, double x, double y, double angle);
  // At the element's point and angle, in the pen colour the caller set.
  void DrawSymbolAt(T2DCoordinate& point, double angle, std::int32_t symbol);

 private:
  void Read(const std::string& path);
  bool Prepare(std::int32_t symbol, double x, double y, double angle);

  TDevice* device_ = nullptr;
  TBGISymbol* font_ = nullptr;  // child
  TBGIText* text_ = nullptr;    // child
};

void RegisterPointSymbolClasses();
