#pragma once
// Rectangle items of the output side: a marker of a selected element, a
// rectangle with pen and brush, and a text with its font settings.
#include <cstdint>
#include <string>

#include "framework/rect_entity.h"

class TSelectedElement : public TRectEntity {
  ZELTO_ELEMENT(TSelectedElement)
 public:
  TElement* SelectedElement() const { return selected_.Get(); }
  void SetSelectedElement(TElement* element) { selected_.Set(element); }
  // The selected element's name; empty without one (or once it is gone).
  std::string GetSelectName() const;

 private:
  TElementRef selected_;
};

enum TPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TBrushStyle : std::uint8_t {
  bsSolid,
  bsClear,
  bsHorizontal,
  bsVertical,
  bsFDiagonal,
  bsBDiagonal,
  bsCross,
  bsDiagCross
};

class TDrawRectangle : public TRectEntity {
  ZELTO_ELEMENT(TDrawRectangle)
 public:
  double PenWidth = 0;
  std::int32_t PenColor = 0;
  TPenStyle PenStyle = psSolid;
  std::int32_t BrushColor = 0;
  TBrushStyle BrushStyle = bsSolid;

  TElement* CreateEnvelope() override;
};

// Font style bits.
enum TFontStyleBit : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

class TText : public TRectEntity {
  ZELTO_ELEMENT(TText)
 public:
  double Orientation = 0;
  std::int32_t Color = 0;
  std::uint8_t FontStyle = 0;  // TFontStyleBit set
  std::uint8_t Charset = 0;

  const std::string& GetText() const { return text_; }
  void SetText(const std::string& text) { text_ = text; }
  const std::string& GetFontName() const { return fontName_; }
  void SetFontName(const std::string& name) { fontName_ = name; }

  // The height follows the rectangle; the children play no part.
  void ExtendByChildren() override;
  void ReadData(zelto::ValueReader& reader, TQuickEntity& loaded) override;
  void WriteData(zelto::ValueWriter& writer) override;
  TElement* CreateEnvelope() override;

 private:
  std::string text_;
  std::string fontName_;
};
