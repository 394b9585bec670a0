#include "render/gelix_point_text_interprets.h"

#include <new>

#include "framework/zelto_message.h"
#include "geometry/space_entity.h"
#include "gisblock/block_info.h"
#include "gisblock/gelix_props.h"
#include "platform/codepage.h"
#include "render/gelix_color.h"
#include "render/point_symbols.h"
#include "render/stroke_font.h"
#include "render/symbol_elements.h"

ZELTO_IMPLEMENT_ELEMENT(TInterpretGlxBodu, TInterpretGlxObject, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TInterpretGlxTextu, TInterpretGlxObject, ZELTO_NO_PROPERTIES)

namespace {
constexpr std::int32_t kCrossArm = 2;  // pixels

void SolidPen(TDevice& device, TColor color) {
  if (TPen* pen = device.GetPen()) {
    pen->Color = color;
    pen->Style = psSolid;
  }
}
}  // namespace

// ---- points ----

TInterpretGlxBodu::~TInterpretGlxBodu() { FreeSymbols(); }

void TInterpretGlxBodu::FreeSymbols() {
  delete symbols_;
  symbols_ = nullptr;
}

bool TInterpretGlxBodu::QGoInside(TElement* element) { return element && element->Is<TPointString>(); }

bool TInterpretGlxBodu::QProcessBefore(TElement* element) {
  if (element && element->Is<TPointString>())
    SetLayerProperties(static_cast<TPointString*>(element)->GetProperties());
  return element && element->Is<TPointElement>();
}

bool TInterpretGlxBodu::IsItsClass(TElement* element) {
  return element && (element->Is<TPointElement>() || element->Is<TPointString>());
}

void TInterpretGlxBodu::BeginOnDevice(TDevice* device) {
  TInterpretGlxObject::BeginOnDevice(device);
  FreeSymbols();
  const std::string fonts = render::ExistingSymbolFile("Fonty.txt");
  if (fonts.empty()) return;
  symbols_ = new TGeliXSymbols(fonts);
  symbols_->SetDevice(device);
}

void TInterpretGlxBodu::EndOnDevice() {
  FreeSymbols();
  TInterpretGlxObject::EndOnDevice();
}

void TInterpretGlxBodu::Process(TElement* element) {
  if (!element || !element->Is<TPointElement>()) {
    TInterpretGlxObject::Process(element);
    return;
  }
  auto* point = static_cast<TPointElement*>(element);
  TDevice* device = GetDevice();
  auto* props = dynamic_cast<TGelixProps*>(point->GetProperties());
  if (!device || !props) return;
  if (!InsideVisible(point->GetMinX(), point->GetMinY(), point->GetMaxX(), point->GetMaxY())) return;
  try {
    const std::int32_t symbol = Overrides().Symbol.value_or(props->Znacka);
    SolidPen(*device, Overrides().Colour ? *Overrides().Colour : GelixColorToRGB(props->Barva));
    if (symbols_ && symbol > 999) {
      T2DCoordinate at(point->GetAbsRefX(), point->GetAbsRefY());
      symbols_->DrawSymbolAt(at, point->Angle, symbol);
      return;
    }
    TPageProjection* projection = device->GetProjection();
    const std::int32_t px = projection->WorldToDeviceX(point->GetAbsRefX());
    const std::int32_t py = projection->WorldToDeviceY(point->GetAbsRefY());
    if (TPen* pen = device->GetPen()) pen->Width = 1;
    device->MoveToPixel(px - kCrossArm, py);
    device->LineToPixel(px + kCrossArm, py);
    device->MoveToPixel(px, py - kCrossArm);
    device->LineToPixel(px, py + kCrossArm);
  } catch (const EBreakInterpret&) {
    throw;
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception&) {
    // One point that cannot be drawn does not stop the map.
  }
}

// ---- texts ----

TInterpretGlxTextu::~TInterpretGlxTextu() { FreeFont(); }

void TInterpretGlxTextu::FreeFont() {
  delete font_;
  font_ = nullptr;
  delete textItem_;
  textItem_ = nullptr;
}

bool TInterpretGlxTextu::QProcessBefore(TElement* element) {
  if (element && element->Is<TTextString>())
    SetLayerProperties(static_cast<TTextString*>(element)->GetProperties());
  return element && &element->ClassType() == &TTextElement::StaticClass();
}

bool TInterpretGlxTextu::IsItsClass(TElement* element) { return element && element->Is<TTextElement>(); }

void TInterpretGlxTextu::BeginOnDevice(TDevice* device) {
  TInterpretGlxObject::BeginOnDevice(device);
  fontErrorPosted_ = false;
  if (!font_) font_ = new TBGIFont;
  if (!textItem_) textItem_ = new TBGIText;
  font_->SetDevice(device);
  font_->SetText(textItem_, false);
}

void TInterpretGlxTextu::EndOnDevice() {
  FreeFont();
  TInterpretGlxObject::EndOnDevice();
}

void TInterpretGlxTextu::ReView(TZeltoMessage* message, bool& handled) {
  TDevice* device = GetDevice();
  if (device && device->GetPage()) device->GetPage()->SetPaperColor(clWhite);
  if (device) device->BeginDraw();
  TInterpretGlxObject::ReView(message, handled);
  if (device) device->EndDraw();
}

void TInterpretGlxTextu::Process(TElement* element) {
  if (!element || !element->Is<TTextElement>() || !font_ || !textItem_) return;
  if (font_->ErrorShown) {
    // The box has told the user once; the log hears of it once a pass.
    if (!fontErrorPosted_) PostTextMessage(this, zelto::msg::LogText, "Interpret textů GeliX: chyba fontu !");
    fontErrorPosted_ = true;
    return;
  }
  auto* text = static_cast<TTextElement*>(element);
  auto* props = dynamic_cast<TGelixTextProps*>(text->GetProperties());
  TDevice* device = GetDevice();
  if (!props || !device) return;
  try {
    TBGIText& item = *textItem_;
    item.Druh = props->Druh;
    item.Barva = props->Barva;
    item.Znacka = props->Znacka;
    TBGITextLayout& layout = font_->Layout;
    layout.FontNo = props->GelixFont;
    layout.Height = props->Height;
    layout.WidthCoef = props->WidthCoef;
    layout.Direction = props->Direction;
    layout.Slope = props->Slope;
    layout.Distance = props->Distance;
    layout.TextAtrib = props->TextAtrib;
    layout.TextMode = props->TextMode;
    T2DCoordinate* start = props->GetStartPoint();
    item.GetSecondPoint()->X = start ? start->X : text->GetAbsRefX();
    item.GetSecondPoint()->Y = start ? start->Y : text->GetAbsRefY();
    // The block's bytes become text; Windows-1250 texts are drawn with the
    // Latin-2 variant of the font, which holds the same letters.
    item.Veta = platform::toUtf8(text->Text, gisblock::toPlatformCodePage(props->CodePage));
    item.CodePage = props->CodePage == cpWindows ? std::uint8_t{cpLatin2} : static_cast<std::uint8_t>(props->CodePage);
    font_->UpdateEnvelope();
    TRectangle* r = item.GetRectangle();
    if (!MeetsVisible(r->MinX(), r->MinY(), r->MaxX(), r->MaxY())) return;
    if (Overrides().Colour) {
      // A forced colour lets the text style apply; only this drawing sees it.
      layout.TextAtrib &= static_cast<std::uint8_t>(~TBGITextLayout::kNoStyle);
      SolidPen(*device, *Overrides().Colour);
    } else {
      SolidPen(*device, GelixColorToRGB(props->Barva));
    }
    font_->Draw();
  } catch (const EBreakInterpret&) {
    throw;
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception&) {
    // One text that cannot be drawn does not stop the map.
  }
}
