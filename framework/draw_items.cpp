#include "framework/draw_items.h"

#include "framework/value_stream.h"

ZELTO_IMPLEMENT_ELEMENT(TSelectedElement, TRectEntity,
                        [](auto& p) { p.String("SelectName", &TSelectedElement::GetSelectName); })

ZELTO_IMPLEMENT_ELEMENT(TDrawRectangle, TRectEntity, [](auto& p) {
  using E = TDrawRectangle;
  p.Integer("PenColor", &E::PenColor, &E::PenColor);
  p.Enumeration("PenStyle",
                {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"},
                &E::PenStyle, &E::PenStyle);
  p.Float("PenWidth", &E::PenWidth, &E::PenWidth);
  p.Integer("BrushColor", &E::BrushColor, &E::BrushColor);
  p.Enumeration("BrushStyle",
                {"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal", "bsBDiagonal",
                 "bsCross", "bsDiagCross"},
                &E::BrushStyle, &E::BrushStyle);
})

ZELTO_IMPLEMENT_ELEMENT(TText, TRectEntity, [](auto& p) {
  using E = TText;
  p.String("Text", &E::GetText, &E::SetText);
  p.Float("Orientation", &E::Orientation, &E::Orientation);
  p.Integer("Color", &E::Color, &E::Color);
  p.String("FontName", &E::GetFontName, &E::SetFontName);
  p.Set("FontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}, &E::FontStyle,
        &E::FontStyle);
  p.Integer("Charset", &E::Charset, &E::Charset);
})

std::string TSelectedElement::GetSelectName() const {
  TElement* element = SelectedElement();
  return element ? element->GetName() : std::string();
}

TElement* TDrawRectangle::CreateEnvelope() {
  TElement* envelope = TRectEntity::CreateEnvelope();
  if (auto* d = dynamic_cast<TDrawRectangle*>(envelope)) {
    d->PenWidth = PenWidth;
    d->PenColor = PenColor;
    d->PenStyle = PenStyle;
    d->BrushColor = BrushColor;
    d->BrushStyle = BrushStyle;
  }
  return envelope;
}

void TText::ExtendByChildren() { SetHeight(GetMaxY() - GetMinY()); }

void TText::ReadData(zelto::ValueReader& reader, TQuickEntity& loaded) {
  TRectEntity::ReadData(reader, loaded);
  text_ = reader.ReadString();
  Orientation = reader.ReadFloat();
  SetHeight(reader.ReadFloat());
}

void TText::WriteData(zelto::ValueWriter& writer) {
  TRectEntity::WriteData(writer);
  writer.WriteString(text_);
  writer.WriteFloat(Orientation);
  writer.WriteFloat(GetHeight());
}

TElement* TText::CreateEnvelope() {
  TElement* envelope = TRectEntity::CreateEnvelope();
  if (auto* t = dynamic_cast<TText*>(envelope)) {
    t->text_ = text_;
    t->fontName_ = fontName_;
    t->FontStyle = FontStyle;
    t->Charset = Charset;
    t->Color = Color;
    t->Orientation = Orientation;
    t->SetHeight(GetHeight());
  }
  return envelope;
}
