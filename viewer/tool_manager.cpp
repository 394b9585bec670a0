#include "viewer/tool_manager.h"

#include <QAction>
#include <QCursor>
#include <QImageReader>
#include <QLayout>
#include <QMenu>
#include <cmath>
#include <cstdio>
#include <unordered_set>

#include "framework/class_registry.h"
#include "framework/coordinate.h"
#include "framework/message_dispatch.h"
#include "framework/name_compare.h"
#include "framework/rect_entity.h"
#include "platform/qt/window_placement.h"
#include "platform/user_interaction.h"
#include "render/bitmap_device.h"
#include "render/qt/render_qt_classes.h"
#include "viewer/image_form.h"
#include "viewer/print_entry.h"
#include "viewer/print_tool.h"
#include "viewer/scale_dialog.h"
#include "viewer/selectors.h"
#include "viewer/zoom_tool.h"

ZELTO_IMPLEMENT_ELEMENT(TFormToolManager, TInteractiveTool, [](auto& p) {
  using E = TFormToolManager;
  p.Boolean("QuickView", &E::GetQuickView, &E::SetQuickView);
  p.Object("NextTool", TTool::StaticClass(), nullptr, [](E& e, TElement* v) {
    if (v && v->Is<TTool>()) e.SetNextTool(static_cast<TTool*>(v));
  });
  p.String("ActiveToolName", &E::GetActiveToolName, &E::SetActiveToolName);
  p.String("ActiveToolClassName", &E::GetActiveToolClassName, &E::SetActiveToolClassName);
  p.Integer("PageColor", &E::GetPageColor, &E::SetPageColor);
  p.Object("Projection", TPageProjection::StaticClass(), &E::GetProjection);
  p.Object("InterpretScript", TInterpretScript::StaticClass(), &E::GetInterpretScript, &E::SetInterpretScript);
  p.String("Caption", &E::GetCaption, &E::SetCaption);
  p.Boolean("BreakReView", nullptr, &E::SetBreakReView);
  p.Object("ElementForReView", TElement::StaticClass(), nullptr, &E::SetElementForReView);
  p.Object("ElementForKillReView", TElement::StaticClass(), nullptr, &E::SetElementForKillReView);
  p.String("LoadFromFile", nullptr, [](E& e, const std::string& v) { e.LoadFromFile(v); });
  p.String("SaveToFile", nullptr, [](E& e, const std::string& v) { e.SaveToFile(v); });
})

namespace {
constexpr int kOpen = 23;
constexpr int kSaveAs = 24;

// The extent of what lies below an element without a rectangle of its own
// (the world, the object model): the rectangles of the topmost rectangle
// entities under it. Tools are not entered: they hold working data, and a
// viewer among them holds the world again.
void extendByContent(TRectangle& extent, TElement* element, std::unordered_set<const TElement*>& seen) {
  auto* entity = dynamic_cast<TEntity*>(element);
  if (!entity || element->Is<TTool>() || !seen.insert(element).second) return;
  for (TElement* child : entity->Items()) {
    if (!child) continue;
    if (auto* r = dynamic_cast<TRectEntity*>(child); r && r->GetIsValid())
      extent.ExtendByRect(r->Rect());
    else if (auto* c = dynamic_cast<TCoordinate*>(child))
      extent.ExtendToCoordinate(*c);
    else
      extendByContent(extent, child, seen);
  }
}
// A root such as the world has no owner but the wrappers of the viewers
// that show it.
bool HeldOnlyByViewers(const TElement& element) {
  for (int i = 0; i < element.GetOwnersCount(); ++i) {
    const TElement* owner = element.GetOwner(i);
    const bool wrapper = owner && owner->GetOwnersCount() > 0 && owner->GetOwner(0)->Is<TFormToolManager>();
    if (!wrapper) return false;
  }
  return true;
}
}  // namespace

TFormToolManager::TFormToolManager() {
  form_ = new TStandardImageForm(this);
  // The map is drawn into the window's bitmap and an expose only shows it
  // again; the device tells the manager when a drawing has ended.
  auto* device = new TImageCanvasDevice;
  SetDevice(device);
  QSize size = form_->Image()->size();
  bitmap_ = std::make_unique<render::qt::ImageBitmap>(std::max(1, size.width()), std::max(1, size.height()));
  device->SetBitmap(bitmap_.get());
  device->GetProjection()->Setup({0, 0}, device->GetPage(), 1000);
  SetInterpret(new TUniversalInterpret);
  GetInterpret()->SetDevice(device);
  SetNextTool(new TViewer);
}

TFormToolManager::~TFormToolManager() {
  DropWrapper();
  if (form_) {
    form_->Unlink();
    delete form_.data();
  }
  if (auto* device = dynamic_cast<TBitmapDevice*>(GetDevice())) device->SetBitmap(nullptr);
}

TPageProjection* TFormToolManager::GetProjection() const {
  return GetDevice() ? GetDevice()->GetProjection() : nullptr;
}

void TFormToolManager::SetQuickView(bool on) {
  quickView_ = on;
  if (form_) form_->QuickViewButton()->setChecked(on);
}

std::string TFormToolManager::GetActiveToolName() const {
  TTool* tool = GetActiveTool();
  return tool ? tool->GetName() : std::string();
}

std::string TFormToolManager::GetActiveToolClassName() const {
  TTool* tool = GetActiveTool();
  return tool ? tool->ClassType().ClassName() : std::string();
}

void TFormToolManager::SetActiveToolName(const std::string& name) {
  if (TTool* tool = FindToolByName(name)) tool->PostMessageToOwners(zelto::msg::ActivateTool, tool);
}

void TFormToolManager::SetActiveToolClassName(const std::string& name) {
  const TElementClass* cls = FindZeltoClass(name);
  if (!cls) return;
  for (int i = 0; i < ToolCount(); ++i) {
    TTool* tool = GetToolByIndex(i);
    if (tool && tool->ClassType().InheritsFrom(*cls)) {
      tool->PostMessageToOwners(zelto::msg::ActivateTool, tool);
      return;
    }
  }
}

std::int32_t TFormToolManager::GetPageColor() const {
  return GetDevice() && GetDevice()->GetPage() ? GetDevice()->GetPage()->GetPaperColor() : 0;
}

void TFormToolManager::SetPageColor(std::int32_t colour) {
  if (GetDevice() && GetDevice()->GetPage()) GetDevice()->GetPage()->SetPaperColor(colour);
}

TInterpretScript* TFormToolManager::GetInterpretScript() const {
  auto* universal = dynamic_cast<TUniversalInterpret*>(GetInterpret());
  return universal ? universal->GetScript() : nullptr;
}

void TFormToolManager::SetInterpretScript(TElement* script) {
  auto* universal = dynamic_cast<TUniversalInterpret*>(GetInterpret());
  if (universal && script && script->Is<TInterpretScript>())
    universal->SetScript(static_cast<TInterpretScript*>(script));
}

std::string TFormToolManager::GetCaption() const {
  return form_ ? form_->windowTitle().toStdString() : std::string();
}

void TFormToolManager::SetCaption(const std::string& caption) {
  if (form_) form_->setWindowTitle(QString::fromStdString(caption));
}

void TFormToolManager::SetBreakReView(bool) {
  if (GetInterpret() && GetInterpret()->GetBusy()) GetInterpret()->SetBreakWork(true);
}

void TFormToolManager::SetElementForReView(TElement* element) {
  PostMessage(zelto::msg::ReviewRequest, this, element, false);
}

void TFormToolManager::SetElementForKillReView(TElement* element) {
  PostMessage(zelto::msg::ReviewRequest, this, element, true);
}

void TFormToolManager::FreeForm() {
  if (!form_) return;
  form_->Unlink();
  form_->hide();
  form_->deleteLater();
  form_ = nullptr;
}

bool TFormToolManager::LoadFromFile(const std::string& fileName) {
  QImage image(QString::fromStdString(fileName));
  if (image.isNull()) {
    platform::showError("Soubor " + fileName + " nelze načíst");
    return false;
  }
  bitmap_->Canvas().Draw(0, 0, render::qt::QtGraphic(image));
  if (form_) form_->Image()->update();
  return true;
}

bool TFormToolManager::SaveToFile(const std::string& fileName) {
  if (!bitmap_->Image().save(QString::fromStdString(fileName), "BMP")) {
    platform::showError("Do souboru " + fileName + " nejde uložit bitmapa");
    return false;
  }
  return true;
}

void TFormToolManager::SetNextTool(TTool* tool) {
  if (!tool) return;
  if (auto* device = dynamic_cast<TDeviceTool*>(tool)) device->SetDevice(GetDevice());
  if (auto* interactive = dynamic_cast<TInteractiveTool*>(tool)) interactive->Manager = this;
  AppendTool(tool);
  SetActiveTool(tool);
  MarkTool(tool);
}

void TFormToolManager::SetVisible(bool visible) {
  if (form_) {
    if (visible && !form_->isVisible()) platform::qt::PlaceOnOpening(*form_);
    form_->setVisible(visible);
    if (visible) SyncBitmapToImage();
  }
  if (GetDevice()) GetDevice()->SetupPage();
}

void TFormToolManager::ResizeBitmap(std::int32_t width, std::int32_t height) {
  if (width == bitmap_->GetWidth() && height == bitmap_->GetHeight()) return;
  bitmap_->SetSize(width, height);
  // The bitmap's canvas is a new one after a resize.
  if (auto* device = dynamic_cast<TBitmapDevice*>(GetDevice())) device->SetBitmap(bitmap_.get());
}

std::string TFormToolManager::ScaleText() const {
  const double scale = GetScale();
  char text[64];
  if (scale >= 10)
    std::snprintf(text, sizeof text, "%lld", static_cast<long long>(std::llround(scale)));
  else
    std::snprintf(text, sizeof text, "%.3f", scale);
  return text;
}

void TFormToolManager::HandleMessage(TZeltoMessage*& message, bool& handled) {
  handled = false;
  if (!message) return;
  TTool* active = GetActiveTool();
  // The manager draws first; the tool draws its marks after it. Life-cycle
  // codes addressed to the manager are its own: a close request handed to
  // the tool would close the tool, not the viewer.
  const int code = message->Message;
  if (active && code != zelto::msg::ReviewRequest && code > zelto::msg::Finished)
    active->HandleMessage(message, handled);
  if (!handled && message) TInteractiveTool::HandleMessage(message, handled);
  if (!handled && message) {
    switch (message->Message) {
      case zelto::msg::ActivateTool: ActivateTool(message, handled); break;
      case zelto::msg::InterfaceCode17: CloseOnRequest(handled); break;
      case kOpen:
      case kSaveAs: break;
      case zelto::msg::Print: Print(handled); break;
      case zelto::msg::ScaleDialog: ShowScaleDialog(handled); break;
      case zelto::msg::FitAll: FitAll(handled); break;
      case zelto::msg::EndOfDrawing: RepaintImage(handled); break;
      case zelto::msg::QuickView: ToggleQuickView(handled); break;
      default: break;
    }
  }
  // Tools draw on the bitmap at any message; the window shows it.
  if (form_) form_->Image()->update();
}

void TFormToolManager::DropWrapper() {
  if (!wrapper_) return;
  TRectEntity* old = wrapper_;
  wrapper_ = nullptr;
  // The element shown belongs to the model, not to the viewer: a root that
  // nothing but viewers held when it was shown (the world) is only
  // unlinked. An element whose model let go of it while it was shown is the
  // last viewer's to free. What was linked in later (envelopes) is the
  // wrapper's own.
  if (TElement* shown = shown_.Get()) {
    if (shownIsRoot_)
      old->Remove(shown);
    else
      old->Delete(shown);
  }
  shown_.Set(nullptr);
  Delete(old);
}

void TFormToolManager::SetInput(TElement* element) {
  DropWrapper();
  auto* wrapper = new TRectEntity;
  wrapper->SetName("Obálka");
  shownIsRoot_ = element && HeldOnlyByViewers(*element);
  wrapper->AddAndExtend(element);
  if (!wrapper->GetIsValid()) {
    std::unordered_set<const TElement*> seen;
    extendByContent(*wrapper->GetRectangle(), element, seen);
  }
  shown_.Set(element);
  wrapper_ = wrapper;
  Add(wrapper_);
  FitToInput();
  TInteractiveTool::SetInput(wrapper_);
}

void TFormToolManager::DropUnloaded() {
  TElement* shown = shown_.Get();
  if (!shown || shownIsRoot_ || !HeldOnlyByViewers(*shown)) return;
  // A new read freed the model the element belonged to; drawn from the
  // viewer's hold it would show data that is no longer loaded, as if it were.
  const std::string name = shown->HasName() ? shown->GetName() : shown->ClassName();
  shown_.Set(nullptr);
  wrapper_->Delete(shown);
  platform::showInfo("Zobrazovaný prvek " + name + " už není načten, zobrazovač je prázdný");
}

void TFormToolManager::SyncBitmapToImage() {
  if (!form_) return;
  // A hidden window has not laid out its image control yet.
  if (QLayout* layout = form_->layout()) layout->activate();
  if (QLayout* layout = form_->centralWidget()->layout()) layout->activate();
  ResizeBitmap(form_->Image()->width(), form_->Image()->height());
}

void TFormToolManager::FitToInput() {
  SyncBitmapToImage();
  TPageProjection* projection = GetProjection();
  if (!projection || !wrapper_) return;
  const TRectangle& r = *wrapper_->GetRectangle();
  if (!wrapper_->GetIsValid()) return;
  // A single point (or a model of one point) has no extent to fill the page
  // with: it is centred at the scale in use.
  if (r.MaxX() - r.MinX() <= 0 && r.MaxY() - r.MinY() <= 0) {
    projection->SetCenter({r.MinX(), r.MinY()});
    return;
  }
  projection->ShowWorldRect({r.MinX(), r.MinY(), r.MaxX(), r.MaxY()}, GetDevice()->GetPage());
}

void TFormToolManager::DoIt() {
  SetVisible(true);
  PostMessage(zelto::msg::ReviewRequest, this);
}

void TFormToolManager::Close() {
  if (GetInterpret() && GetInterpret()->GetBusy()) {
    SetFlag(kClosePending, true);
    GetInterpret()->SetBreakWork(true);
    return;
  }
  FreeForm();
  TInteractiveTool::Close();
}

void TFormToolManager::OnToolFinished(TZeltoMessage*& message, bool& handled) {
  if (!message || !dynamic_cast<TUniversalInterpret*>(message->Sender())) return;
  handled = true;
  DrawingEnded();
}

bool TFormToolManager::DrawingEnded() {
  if (Flag(kClosePending)) {
    SetFlag(kClosePending, false);
    FreeForm();
    TInteractiveTool::Close();
    return true;
  }
  if (Flag(kReviewPending)) {
    SetFlag(kReviewPending, false);
    DoIt();
  }
  return false;
}

void TFormToolManager::SetCurrentIndex(std::int32_t index) {
  if (index == GetCurrentIndex()) return;
  TInteractiveTool::SetCurrentIndex(index);
}

TTool* TFormToolManager::AppendTool(TTool* tool) {
  TTool* appended = TInteractiveTool::AppendTool(tool);
  if (form_ && appended) {
    QAction* item = form_->ToolsMenu()->addAction(QString::fromStdString(appended->GetName()));
    item->setObjectName(QString::fromStdString(appended->ClassType().ClassName()));
    item->setCheckable(true);
    QObject::connect(item, &QAction::triggered, [this, appended] {
      // Posted through the tool list, which hands it on to the manager.
      if (GetTools()->IndexOf(appended) >= 0)
        appended->PostMessageToOwners(zelto::msg::ActivateTool, appended);
    });
  }
  return appended;
}

void TFormToolManager::RemoveToolsMenuItem(TTool* tool) {
  if (!form_ || !tool) return;
  const QString name = QString::fromStdString(tool->ClassType().ClassName());
  for (QAction* item : form_->ToolsMenu()->actions())
    if (item->objectName() == name) {
      delete item;
      break;
    }
}

void TFormToolManager::RemoveTool(TTool* tool) {
  RemoveToolsMenuItem(tool);
  TInteractiveTool::RemoveTool(tool);
}

void TFormToolManager::DeleteTool(TTool* tool) {
  RemoveToolsMenuItem(tool);
  TInteractiveTool::DeleteTool(tool);
}

void TFormToolManager::MarkTool(TTool* tool) {
  if (!form_ || !tool) return;
  const QString name = QString::fromStdString(tool->ClassType().ClassName());
  for (QAction* item : form_->ToolsMenu()->actions()) item->setChecked(item->objectName() == name);
}

void TFormToolManager::KeyDown(TZeltoMessage* message, bool& handled) {
  if (auto* key = dynamic_cast<TZeltoKeyEvent*>(message)) viewer::ZoomKeys(*this, key->Key);
}

void TFormToolManager::MouseUp(TZeltoMessage* message, bool& handled) {
  if (!form_) return;
  handled = true;
  auto* e = dynamic_cast<TZeltoMouseEvent*>(message);
  if (e && e->Button == mbRight) form_->PopupMenu()->popup(form_->Image()->mapToGlobal(QPoint(e->X, e->Y)));
}

void TFormToolManager::MouseMove(TZeltoMessage* message, bool& handled) {
  if (!form_) return;
  handled = true;
  auto* e = dynamic_cast<TZeltoMouseEvent*>(message);
  TPageProjection* projection = GetProjection();
  if (!e || !projection) return;
  geometry::PointD point{};
  projection->DeviceToWorldPoint(e->X, e->Y, point);
  form_->XLabel()->setText(QString::number(point.X, 'f', 2));
  form_->YLabel()->setText(QString::number(point.Y, 'f', 2));
}

void TFormToolManager::ReView(TZeltoMessage* message, bool& handled) {
  TInterpret* interpret = GetInterpret();
  if (interpret && interpret->GetBusy()) {
    SetFlag(kReviewPending, true);
    // A print is not broken off for the screen: the review waits for it.
    if (!interpret->GetPrinting()) interpret->SetBreakWork(true);
    handled = true;
    return;
  }
  DropUnloaded();
  TInteractiveTool::ReView(message, handled);
  // A walk that was broken reports no finish: what was asked for meanwhile
  // (another drawing, the close) follows here.
  if (DrawingEnded()) return;
  if (form_) {
    form_->ScaleLabel()->setText(QString::fromStdString(ScaleText()));
    form_->Image()->update();
  }
  if (PrintOnReview) PostMessage(zelto::msg::Print, this);
  if (TTool* active = GetActiveTool()) PostMessage(zelto::msg::ReviewRequest, active);
  zelto::ProcessPendingMessages();
  PostMessage(zelto::msg::Finished, nullptr, this);
}

void TFormToolManager::Resized(bool& handled) {
  handled = true;
  if (GetDevice()) GetDevice()->SetupPage();
  PostMessage(zelto::msg::RequestReView, this);
}

void TFormToolManager::ActivateTool(TZeltoMessage* message, bool& handled) {
  auto* tool = dynamic_cast<TInteractiveTool*>(message->Data());
  if (!tool) return;
  if (auto* current = dynamic_cast<TInteractiveTool*>(GetActiveTool()); current && current != tool)
    current->Deactivate();
  SetActiveTool(tool);
  tool->SetDevice(GetDevice());
  tool->SetInput(Input());
  tool->Manager = this;
  tool->Activate();
  handled = true;
  MarkTool(tool);
  // The tools' cursor identifiers number the program's cursor files, not
  // the platform's shapes (3 would be the hourglass): any tool cursor is a
  // cross over the map.
  if (form_) form_->Image()->setCursor(tool->GetCursor() == 0 ? Qt::ArrowCursor : Qt::CrossCursor);
}

void TFormToolManager::ShowScaleDialog(bool& handled) {
  Tf_SetScale dialog(form_);
  dialog.ShowScale(GetScale());
  if (dialog.exec() != QDialog::Accepted) return;
  const double scale = dialog.ChosenScale();
  // "Zobraz vše" (or any text that is no scale) fits the whole input, as
  // "Vše ve výřezu" does; either way the map is drawn anew at once.
  if (scale > 0)
    SetScale(scale);
  else
    FitToInput();
  PostMessage(zelto::msg::RequestReView, this);
  handled = true;
}

void TFormToolManager::FitAll(bool& handled) {
  FitToInput();
  PostMessage(zelto::msg::RequestReView, this);
  handled = true;
}

void TFormToolManager::LinkElement(TElement* element) {
  if (!element) return;
  TElement* envelope = element->CreateEnvelope();
  if (!envelope) return;
  if (wrapper_) wrapper_->AddAndExtend(envelope);
  // Nobody else would free an envelope the wrapper did not take.
  if (envelope->IsOrphan()) {
    delete envelope;
    return;
  }
  PostMessage(zelto::msg::RequestReView, this, envelope);
}

void TFormToolManager::Print(bool& handled) {
  handled = true;
  auto* universal = dynamic_cast<TUniversalInterpret*>(GetInterpret());
  if (universal) universal->Tile = form_ && form_->TileAction()->isChecked();
  viewer::PrintInterpret(GetInterpret());
  if (universal) universal->Tile = false;
}

void TFormToolManager::ToggleQuickView(bool& handled) {
  handled = true;
  SetQuickView(!quickView_);
}

void TFormToolManager::RepaintImage(bool& handled) {
  handled = true;
  if (form_) form_->Image()->repaint();
}

void TFormToolManager::CloseOnRequest(bool& handled) {
  handled = true;
  if (!PrintOnReview) return;
  PostMessageToOwners(zelto::msg::InterfaceCode17);
  Close();
}

void RegisterViewerClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterRenderQtClasses();
  RegisterUniversalInterpretClasses();
  RegisterInteractiveToolClasses();
  RegisterZeltoClass(TViewer::StaticClass());
  RegisterZeltoClass(TFormToolManager::StaticClass());
  RegisterSelectorClasses();
  RegisterPrintClasses();
}
