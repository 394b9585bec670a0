#include "render/symbol_elements.h"

ZELTO_IMPLEMENT_ELEMENT(TBGIBaseElement, T2DCoordinate, [](auto& p) {
  p.Integer("Cislo", &TBGIBaseElement::Cislo, &TBGIBaseElement::Cislo);
  p.Integer("Druh", &TBGIBaseElement::Druh, &TBGIBaseElement::Druh);
  p.Integer("Barva", &TBGIBaseElement::Barva, &TBGIBaseElement::Barva);
  p.Integer("Znacka", &TBGIBaseElement::Znacka, &TBGIBaseElement::Znacka);
  p.Integer("Presnost", &TBGIBaseElement::Presnost, &TBGIBaseElement::Presnost);
})
ZELTO_IMPLEMENT_ELEMENT(TRectBGIElement, TBGIBaseElement, [](auto& p) {
  p.Object("Rectangle", TRectangle::StaticClass(), &TRectBGIElement::GetRectangle,
           [](TRectBGIElement& e, TElement* r) {
             e.SetRectangle(r && r->Is<TRectangle>() ? static_cast<TRectangle*>(r) : nullptr);
           });
})
ZELTO_IMPLEMENT_ELEMENT(TBGIText, TRectBGIElement, [](auto& p) {
  p.String("Veta", &TBGIText::Veta, &TBGIText::Veta);
  p.Integer("CodePage", &TBGIText::CodePage, &TBGIText::CodePage);
  p.Object("SecondPoint", T2DCoordinate::StaticClass(), &TBGIText::GetSecondPoint);
})

TRectangle* TRectBGIElement::GetRectangle() {
  if (!rectangle_) rectangle_ = std::make_unique<TRectangle>();
  return rectangle_.get();
}

void TRectBGIElement::SetRectangle(TRectangle* rectangle) {
  if (rectangle == rectangle_.get()) return;
  rectangle_.reset(rectangle);
}

TBoundsRecord TRectBGIElement::GetRect() const {
  if (!rectangle_) return TRectangle().GetPaddedBounds();
  return rectangle_->GetPaddedBounds();
}

bool TRectBGIElement::MeetsWindow(double minX, double minY, double maxX, double maxY) {
  const TRectangle* r = GetRectangle();
  return r->MaxX() >= minX && r->MinX() <= maxX && r->MaxY() >= minY && r->MinY() <= maxY;
}

T2DCoordinate* TBGIText::GetSecondPoint() {
  if (!secondPoint_) secondPoint_ = std::make_unique<T2DCoordinate>();
  return secondPoint_.get();
}
