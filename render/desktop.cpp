#include "render/desktop.h"

#include <algorithm>

#include "framework/class_registry.h"

ZELTO_IMPLEMENT_ELEMENT(TDesktop, TDrawRectangle, [](auto&) {})

ZELTO_IMPLEMENT_ELEMENT(TMultiPageDesktop, TRectEntity, [](auto& p) {
  using E = TMultiPageDesktop;
  p.Object("ActualPage", TDesktop::StaticClass(), &E::GetActualPage, &E::SetActualPage);
  p.String("LeftNumberTextName", &E::LeftNumberTextName, &E::LeftNumberTextName);
  p.String("RightNumberTextName", &E::RightNumberTextName, &E::RightNumberTextName);
  p.String("NumberTextName", &E::NumberTextName, &E::NumberTextName);
  p.String("TopNumberTextName", &E::TopNumberTextName, &E::TopNumberTextName);
  p.String("BottomNumberTextName", &E::BottomNumberTextName, &E::BottomNumberTextName);
  p.String("NoNumberText", &E::NoNumberText, &E::NoNumberText);
  p.Float("Overlap", &E::Overlap, &E::Overlap);
  p.Float("RealOverlap", &E::RealOverlap, &E::RealOverlap);
  p.Integer("ActualNumber", &E::GetActualNumber).Stored(false);
  p.Integer("ActualLeftNumber", &E::GetActualLeftNumber).Stored(false);
  p.Integer("ActualRightNumber", &E::GetActualRightNumber).Stored(false);
  p.Integer("ActualTopNumber", &E::GetActualTopNumber).Stored(false);
  p.Integer("ActualBottomNumber", &E::GetActualBottomNumber).Stored(false);
  p.Integer("FIndPageNumber", nullptr, &E::SetFIndPageNumber).Stored(false);
  p.Integer("PageNumberToDelete", nullptr, &E::SetPageNumberToDelete).Stored(false);
  p.Integer("FillNumbers", nullptr, &E::SetFillNumbers).Stored(false);
})

ZELTO_IMPLEMENT_ELEMENT(TDeskTopFile, TFileElement, [](auto& p) {
  using E = TDeskTopFile;
  p.Float("DeltaX", &E::DeltaX, &E::DeltaX);
  p.Float("DeltaY", &E::DeltaY, &E::DeltaY);
})

TDesktop::TDesktop() { BrushColor = 0xFFFFFF; }

TElement* TMultiPageDesktop::GetPage(int index) const {
  if (GetCount() == 0) return nullptr;
  return GetItem(std::min(index, GetLastIndex()));
}

TDesktop* TMultiPageDesktop::PageAtPoint(double x, double y) const {
  for (TElement* child : Items())
    if (auto* page = dynamic_cast<TDesktop*>(child); page && page->ContainsPoint(x, y)) return page;
  return nullptr;
}

int TMultiPageDesktop::PageNumberAtPoint(double x, double y) const {
  if (!GetActualPage()) return 0;
  TDesktop* page = PageAtPoint(x, y);
  return page ? IndexOf(page) + 1 : 0;
}

int TMultiPageDesktop::GetActualNumber() const {
  TDesktop* page = GetActualPage();
  return page ? IndexOf(page) + 1 : 0;
}

int TMultiPageDesktop::GetActualLeftNumber() const {
  TDesktop* p = GetActualPage();
  return p ? PageNumberAtPoint(p->GetCenterX() - p->GetWidth(), p->GetCenterY()) : 0;
}

int TMultiPageDesktop::GetActualRightNumber() const {
  TDesktop* p = GetActualPage();
  return p ? PageNumberAtPoint(p->GetCenterX() + p->GetWidth(), p->GetCenterY()) : 0;
}

int TMultiPageDesktop::GetActualTopNumber() const {
  TDesktop* p = GetActualPage();
  return p ? PageNumberAtPoint(p->GetCenterX(), p->GetCenterY() + p->GetHeight()) : 0;
}

int TMultiPageDesktop::GetActualBottomNumber() const {
  TDesktop* p = GetActualPage();
  return p ? PageNumberAtPoint(p->GetCenterX(), p->GetCenterY() - p->GetHeight()) : 0;
}

void TMultiPageDesktop::SetFIndPageNumber(std::int32_t n) {
  n = std::min(std::max(n, 1), GetCount());
  // With no children there is no page to select, and no index to fail on.
  SetActualPage(dynamic_cast<TDesktop*>(GetPage(n - 1)));
}

void TMultiPageDesktop::SetPageNumberToDelete(std::int32_t n) {
  if (n < 1 || n > GetCount()) return;
  if (n == GetActualNumber()) SetFIndPageNumber(n - 1);
  Delete(GetPage(n - 1));
  SetFillNumbers(0);
}

void TMultiPageDesktop::SetFillNumbers(std::int32_t) {
  for (int i = 0; i < GetCount(); ++i) {
    SetActualPage(dynamic_cast<TDesktop*>(GetPage(i)));
    FillActualPage();
  }
}

void TMultiPageDesktop::FillActualPage() {
  TDesktop* page = GetActualPage();
  if (!page) return;
  page->SetName("Page " + std::to_string(GetActualNumber()));
  const std::pair<const std::string*, int> texts[] = {
      {&NumberTextName, GetActualNumber()},
      {&LeftNumberTextName, GetActualLeftNumber()},
      {&RightNumberTextName, GetActualRightNumber()},
      {&TopNumberTextName, GetActualTopNumber()},
      {&BottomNumberTextName, GetActualBottomNumber()}};
  for (const auto& [name, number] : texts) {
    if (name->empty()) continue;
    auto* text = dynamic_cast<TText*>(page->FindElementByName(*name));
    if (text) text->SetText(number >= 1 ? std::to_string(number) : NoNumberText);
  }
}

void RegisterDesktopClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterZeltoClass(TDesktop::StaticClass());
  RegisterZeltoClass(TMultiPageDesktop::StaticClass());
  RegisterZeltoClass(TDeskTopFile::StaticClass());
}
