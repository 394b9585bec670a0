#include "render/desktop_interprets.h"

#include <algorithm>
#include <initializer_list>
#include <cstdlib>
#include <memory>

#include "framework/class_registry.h"
#include "framework/draw_items.h"
#include "framework/message_dispatch.h"
#include "framework/zelto_message.h"
#include "render/desktop.h"
#include "render/graphic_file_element.h"
#include "render/map_frame.h"
#include "render/picture_file.h"
#include "render/text_block.h"
#include "render/universal_interpret.h"
#include "render/universal_script_creator.h"

ZELTO_IMPLEMENT_ELEMENT(TDesktopInterpret, TInterpret, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TViewInterpret, TInterpret, [](auto& p) {
  p.Object("InterpretScript", TInterpretScript::StaticClass(), &TViewInterpret::GetInterpretScript,
           &TViewInterpret::SetInterpretScript);
  p.Object("Interpret", TUniversalInterpret::StaticClass(), &TViewInterpret::GetInterpret);
})
ZELTO_IMPLEMENT_ELEMENT(TTextInterpret, TInterpret, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TTextBlockInterpret, TInterpret, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TDrawRectInterpret, TRectInterpret, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TBMPFileInterpret, TInterpret, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TSelectedElementInterpret, TRectInterpret, ZELTO_NO_PROPERTIES)

namespace {
constexpr TColor kFrameSilver = RGBColor(192, 192, 192);
constexpr TColor kHandleGrey = RGBColor(128, 128, 128);
constexpr std::int32_t kHandleHalf = 5;
// A text smaller than this is a smudge, not a text.
constexpr std::int32_t kSmallestTextPixels = 2;

bool IsLayoutItem(TElement* e) {
  return e->Is<TSelectedElement>() || e->Is<TDesktop>() || e->Is<TText>() || e->Is<TDrawRectangle>() ||
         e->Is<TGraphicFileElement>() || e->Is<TView>();
}

bool EntityOutsideViewAndText(TElement* e) {
  return e && e->Is<TEntity>() && !e->Is<TView>() && !e->Is<TText>();
}

// The pen and brush of a drawn rectangle, its pen width in page units.
void RectanglePenAndBrush(TDevice& device, const TDrawRectangle& r) {
  if (TBrush* brush = device.GetBrush()) {
    brush->Color = r.BrushColor;
    brush->Style = r.BrushStyle;
  }
  if (TPen* pen = device.GetPen()) pen->Style = r.PenStyle;
  device.SetPenWidth(r.PenWidth);
  if (TPen* pen = device.GetPen()) pen->Color = r.PenColor;
}

void DrawItemRectangle(TDevice& device, const TDrawRectangle& r) {
  RectanglePenAndBrush(device, r);
  device.DrawRectangle(r.GetMinX(), r.GetMinY(), r.GetMaxX(), r.GetMaxY());
}

// Font name, colour, style and character set of a text item.
void TextFont(TFont& font, const TText& text) {
  font.Name = text.GetFontName();
  font.Color = text.Color;
  font.Style = text.FontStyle;
  font.Charset = text.Charset;
}
}  // namespace

// ---- desktop ----

bool TDesktopInterpret::QGoInside(TElement* element) { return EntityOutsideViewAndText(element); }

bool TDesktopInterpret::QProcessBefore(TElement* element) { return element && IsLayoutItem(element); }

bool TDesktopInterpret::IsItsClass(TElement* element) { return element && element->Is<TDesktop>(); }

void TDesktopInterpret::CreateSubInterprets() {
  for (TInterpret* sub : std::initializer_list<TInterpret*>{
           new TSelectedElementInterpret, new TDrawRectInterpret, new TViewInterpret, new TTextInterpret,
           new TTextBlockInterpret, new TBMPFileInterpret})
    SetNextSubInterpret(sub);
}

void TDesktopInterpret::DoIt() {
  zelto::ProcessPendingMessages();
  TInterpret::DoIt();
}

void TDesktopInterpret::Process(TElement* element) {
  if (!element || !element->Is<TDesktop>()) {
    TInterpret::Process(element);
    return;
  }
  if (TDevice* device = GetDevice()) DrawItemRectangle(*device, *static_cast<TDesktop*>(element));
}

// ---- rectangle ----

bool TDrawRectInterpret::IsItsClass(TElement* element) { return element && element->Is<TDrawRectangle>(); }

void TDrawRectInterpret::Process(TElement* element) {
  TDevice* device = GetDevice();
  if (device && IsItsClass(element)) DrawItemRectangle(*device, *static_cast<TDrawRectangle*>(element));
}

// ---- map frame ----

TUniversalInterpret* TViewInterpret::GetInterpret() {
  if (!interpret_) {
    interpret_ = new TUniversalInterpret;
    SetNextSubInterpret(interpret_);
  }
  return interpret_;
}

TInterpretScript* TViewInterpret::GetInterpretScript() {
  TUniversalInterpret* u = GetInterpret();
  if (!u->GetScript()) {
    TUniversalGelixScriptCreator creator;
    creator.DoIt();
    TElement* script = creator.Output();
    creator.SetOutput(nullptr);
    u->SetScript(static_cast<TInterpretScript*>(script));
  }
  return u->GetScript();
}

void TViewInterpret::SetInterpretScript(TElement* script) {
  if (script && script->Is<TInterpretScript>()) GetInterpret()->SetScript(static_cast<TInterpretScript*>(script));
}

bool TViewInterpret::QGoInside(TElement* element) { return EntityOutsideViewAndText(element); }

bool TViewInterpret::QProcessBefore(TElement* element) { return element && element->Is<TView>(); }

bool TViewInterpret::IsItsClass(TElement* element) { return element && element->Is<TView>(); }

void TViewInterpret::Process(TElement* element) {
  TDevice* device = GetDevice();
  if (!element || !element->Is<TView>() || !device || !device->GetProjection() || !device->GetPage()) return;
  auto* view = static_cast<TView*>(element);
  TPageProjection* projection = device->GetProjection();
  T_Page* page = device->GetPage();
  if (TBrush* brush = device->GetBrush()) {
    brush->Color = clWhite;
    brush->Style = bsSolid;
  }
  if (TPen* pen = device->GetPen()) {
    pen->Width = 0;
    pen->Style = psDot;
    pen->Color = kFrameSilver;
  }
  geometry::WorldRect inner{};
  projection->GetInnerWorldRect(inner);
  const bool clipFlag = page->GetUseInnerRect();
  const double angle = projection->GetAngle();
  const geometry::WorldRect frame{view->GetMinX(), view->GetMinY(), view->GetMaxX(), view->GetMaxY()};
  if (frame.MaxX < inner.MinX || frame.MinX > inner.MaxX || frame.MaxY < inner.MinY || frame.MinY > inner.MaxY)
    return;
  const geometry::WorldRect clip{std::max(frame.MinX, inner.MinX), std::max(frame.MinY, inner.MinY),
                                 std::min(frame.MaxX, inner.MaxX), std::min(frame.MaxY, inner.MaxY)};
  TDeviceRect clipPixels, framePixels;
  projection->WorldToDeviceRect(clipPixels, clip.MinX, clip.MinY, clip.MaxX, clip.MaxY);
  projection->WorldToDeviceRect(framePixels, frame.MinX, frame.MinY, frame.MaxX, frame.MaxY);
  const std::int32_t centreX = clipPixels.Left + (clipPixels.Right - clipPixels.Left) / 2;
  const std::int32_t centreY = clipPixels.Top + (clipPixels.Bottom - clipPixels.Top) / 2;

  const double pageScale = projection->GetScale();
  const geometry::PointD pageCentre{projection->GetCenterX(), projection->GetCenterY()};
  const double virtualScale = projection->GetVirtualScale();
  const auto restore = [&] {
    page->SetUseInnerRect(clipFlag);
    page->SetCentreOnInnerRect(false);
    projection->Setup(pageCentre, page, pageScale);
    projection->SetVirtualScale(virtualScale);
    projection->SetInnerWorldRect(inner);
    projection->SetAngle(angle);
  };
  page->SetInnerRect(framePixels);
  page->SetUseInnerRect(true);
  page->SetCentreOnInnerRect(true);
  try {
    GetInterpretScript();
    TUniversalInterpret* u = GetInterpret();
    u->SetPrinting(GetPrinting());
    u->SetInput(view->GetModel());
    u->SetDevice(device);
    const double modelX = view->GetModelCenterX(), modelY = view->GetModelCenterY();
    view->SetModelCenterX(modelX);
    view->SetModelCenterY(modelY);
    const double scale = view->GetScale() * pageScale;
    projection->Setup({modelX, modelY}, page, scale);
    projection->SetAngle(view->GetAngle());
    projection->SetRotateCenterX(view->GetRotateCenterX());
    projection->SetRotateCenterY(view->GetRotateCenterY());
    projection->SetVirtualScale(view->GetVirtualScale());
    geometry::PointD clipCentre;
    projection->DeviceToWorldPoint(centreX, centreY, clipCentre);
    page->SetInnerRect(clipPixels);
    projection->Setup(clipCentre, page, scale);
    if (u->Input()) {
      u->BeginOnDevice(device);
      u->DoIt();
    }
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

// ---- texts ----

bool TTextInterpret::IsItsClass(TElement* element) { return element && element->Is<TText>(); }

void TTextInterpret::Process(TElement* element) {
  TDevice* device = GetDevice();
  if (!device || !IsItsClass(element)) return;
  auto* text = static_cast<TText*>(element);
  if (device->Is<TCanvasDevice>() && device->GetProjection()) {
    TFont* font = device->GetFont();
    if (text->GetHeight() != 0) {
      const std::int32_t size = device->GetProjection()->WorldToDeviceDY(text->GetHeight());
      if (std::abs(size) < kSmallestTextPixels) return;
      if (font) font->Height = size;
    }
    if (font) TextFont(*font, *text);
    device->SetFontAngle(text->Orientation);
  }
  device->TextOut(text->GetText(), text->GetMinX(), text->GetMaxY());
}

bool TTextBlockInterpret::IsItsClass(TElement* element) { return element && element->Is<TTextBlock>(); }

void TTextBlockInterpret::Process(TElement* element) {
  TDevice* device = GetDevice();
  if (!device || !IsItsClass(element)) return;
  auto* block = static_cast<TTextBlock*>(element);
  if (block->GetLinesCount() == 0) return;
  if (device->Is<TCanvasDevice>() && device->GetProjection()) {
    TFont* font = device->GetFont();
    if (font && block->TextHeight != 0)
      font->Height = device->GetProjection()->WorldToDeviceDY(block->TextHeight);
    if (font) TextFont(*font, *block);
    device->SetFontAngle(0);
  }
  const double x = block->GetMinX();
  double y = block->GetMaxY();
  for (const std::string& line : block->GetLines()->Items) {
    if (y < block->GetMinY()) break;
    device->TextOut(line, x, y);
    y -= block->LineHeight;
  }
}

// ---- pictures ----

bool TBMPFileInterpret::IsItsClass(TElement* element) {
  return element && (&element->ClassType() == &TGraphicFileElement::StaticClass() ||
                     &element->ClassType() == &TBMPFileElement::StaticClass());
}

void TBMPFileInterpret::Process(TElement* element) {
  TDevice* device = GetDevice();
  if (!device || !device->Is<TCanvasDevice>() || !IsItsClass(element)) return;
  auto* picture = static_cast<TGraphicFileElement*>(element);
  std::unique_ptr<TMemoryRaster> raster;
  try {
    raster = picture->LoadPicture();
  } catch (const EPictureFileError& e) {
    // One bad picture must not cost the rest of the page.
    PostTextMessage(this, zelto::msg::LogText, e.what());
    return;
  }
  zelto::ProcessPendingMessages();
  if (picture->GetHeight() > 0 && picture->GetWidth() > 0)
    device->StretchDrawGraphic(picture->GetMinX(), picture->GetMaxY(), picture->GetWidth(), picture->GetHeight(),
                               TDeviceRect{}, raster.get());
  else
    device->DrawGraphic(raster.get(), picture->GetMinX(), picture->GetMaxY());
}

// ---- selection handles ----

bool TSelectedElementInterpret::IsItsClass(TElement* element) {
  return element && element->Is<TSelectedElement>();
}

void TSelectedElementInterpret::Process(TElement* element) {
  TDevice* device = GetDevice();
  if (!device || !IsItsClass(element) || !device->GetProjection()) return;
  TCanvas* canvas = device->Is<TCanvasDevice>() ? static_cast<TCanvasDevice*>(device)->GetCanvas() : nullptr;
  if (!canvas) return;
  auto* selected = static_cast<TSelectedElement*>(element);
  canvas->Pen() = TPen{kHandleGrey, 1, psSolid};
  canvas->Brush() = TBrush{clBlack, bsSolid};
  TDeviceRect r;
  device->GetProjection()->WorldToDeviceRect(r, selected->GetMinX(), selected->GetMinY(), selected->GetMaxX(),
                                            selected->GetMaxY());
  const std::int32_t x1 = r.Left, y1 = r.Top, x2 = r.Right, y2 = r.Bottom;
  const std::int32_t mx = x1 + (x2 - x1) / 2, my = y1 + (y2 - y1) / 2;
  const TDevicePoint centres[] = {{x1, y1}, {x2, y1}, {x1, y2}, {x2, y2}, {mx, y1}, {mx, y2}, {x1, my}, {x2, my}};
  for (const TDevicePoint& c : centres)
    canvas->Rectangle(c.X - kHandleHalf, c.Y - kHandleHalf, c.X + kHandleHalf, c.Y + kHandleHalf);
}

void RegisterDesktopInterpretClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  for (const TElementClass* cls :
       {&TDesktopInterpret::StaticClass(), &TViewInterpret::StaticClass(), &TTextInterpret::StaticClass(),
        &TTextBlockInterpret::StaticClass(), &TDrawRectInterpret::StaticClass(), &TBMPFileInterpret::StaticClass(),
        &TSelectedElementInterpret::StaticClass()})
    RegisterZeltoClass(*cls);
}
