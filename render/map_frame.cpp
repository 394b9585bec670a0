#include "render/map_frame.h"

#include <cmath>

#include "framework/class_registry.h"
#include "framework/world.h"
#include "render/layer_script.h"
#include "render/model_by_script_creator.h"

ZELTO_IMPLEMENT_ELEMENT(TViewProjection, TProjection, ZELTO_NO_PROPERTIES)

ZELTO_IMPLEMENT_ELEMENT(TView, TDrawRectangle, [](auto& p) {
  using E = TView;
  p.String("ControlViewName", &E::ControlViewName, &E::ControlViewName);
  p.Float("ModelDeltaX", &E::ModelDeltaX, &E::ModelDeltaX);
  p.Float("ModelDeltaY", &E::ModelDeltaY, &E::ModelDeltaY);
  p.Boolean("ReadAfter", &E::ReadAfter, &E::ReadAfter);
  p.Object("Model", TElement::StaticClass(), &E::GetModel, &E::SetModel);
  p.Float("ModelCenterX", &E::GetModelCenterX, &E::SetModelCenterX).Stored(false);
  p.Float("ModelCenterY", &E::GetModelCenterY, &E::SetModelCenterY).Stored(false);
  p.Float("Scale", &E::GetScale, &E::SetScale).Stored(false);
  p.Float("VirtualScale", &E::GetVirtualScale, &E::SetVirtualScale).Stored(false);
  p.Float("Angle", &E::GetAngle, &E::SetAngle).Stored(false);
  p.Float("RotateCenterX", &E::GetRotateCenterX, &E::SetRotateCenterX).Stored(false);
  p.Float("RotateCenterY", &E::GetRotateCenterY, &E::SetRotateCenterY).Stored(false);
  p.Float("ModelMinX", &E::GetModelMinX).Stored(false);
  p.Float("ModelMaxX", &E::GetModelMaxX).Stored(false);
  p.Float("ModelMinY", &E::GetModelMinY).Stored(false);
  p.Float("ModelMaxY", &E::GetModelMaxY).Stored(false);
  p.Object("ModelScript", TModelScript::StaticClass(), &E::GetModelScript).Stored(false);
  p.Boolean("ReadModel", nullptr, &E::ReadModel).Stored(false);
})

void TViewProjection::Setup(geometry::PointD centre, TView* frame, double scale) {
  if (!frame) return;
  centerX_ = centre.X;
  centerY_ = centre.Y;
  scale_ = scale;
  frame_ = frame;
  kx_ = ky_ = scale;
  ox_ = centre.X - kx_ * frame->GetWidth() / 2;
  oy_ = centre.Y - ky_ * frame->GetHeight() / 2;
}

void TViewProjection::GetWorldRect(geometry::WorldRect& rect) const {
  rect = {};
  if (scale_ == 0 || !frame_) return;
  const geometry::PointD a = FrameToModel(0, 0);
  const geometry::PointD b = FrameToModel(frame_->GetWidth(), frame_->GetHeight());
  rect = {std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y)};
}

void TViewProjection::SetCenter(geometry::PointD centre) {
  centerX_ = centre.X;
  centerY_ = centre.Y;
  Recompute();
}

void TViewProjection::SetCenterX(double x) {
  centerX_ = x;
  Recompute();
}

void TViewProjection::SetCenterY(double y) {
  centerY_ = y;
  Recompute();
}

void TViewProjection::SetScale(double s) {
  scale_ = s;
  Recompute();
}

void TViewProjection::FitWorldRect(const geometry::WorldRect& rect) {
  if (!frame_) return;
  const double sx = (rect.MaxX - rect.MinX) / frame_->GetWidth();
  const double sy = (rect.MaxY - rect.MinY) / frame_->GetHeight();
  const double scale = sx <= sy ? sy : sx;
  // A frame without extent has no scale to fit; keep the old view.
  if (!std::isfinite(scale)) return;
  Setup({(rect.MinX + rect.MaxX) / 2, (rect.MinY + rect.MaxY) / 2}, frame_, scale);
}

TView::TView() {
  BrushColor = 0xFFFFFF;
  BrushStyle = bsClear;
  PenStyle = psDot;
  PenColor = 0xC0C0C0;
  GetProjection();
}

TViewProjection* TView::GetProjection() {
  if (!projection_) {
    projection_ = new TViewProjection;
    Add(projection_);
    projection_->SetFrame(this);
  }
  return projection_;
}

TElement* TView::GetControlView() const {
  if (ControlViewName.empty() || GetOwnersCount() == 0) return nullptr;
  auto* owner = dynamic_cast<TEntity*>(GetOwner(0));
  return owner ? owner->FindElementByName(ControlViewName) : nullptr;
}

TView* TView::FollowedView() {
  auto* control = dynamic_cast<TView*>(GetControlView());
  // Frames that follow each other, or a frame that names itself, would
  // follow for ever: the chain stops at a frame already being read.
  if (!control || control->following_) return nullptr;
  return control;
}

double TView::GetModelCenterX() {
  following_ = true;
  TView* control = FollowedView();
  const double x = control ? control->GetModelCenterX() + ModelDeltaX : GetProjection()->GetCenterX() + ModelDeltaX;
  following_ = false;
  if (control) GetProjection()->SetCenterX(x);
  return x;
}

double TView::GetModelCenterY() {
  following_ = true;
  TView* control = FollowedView();
  const double y = control ? control->GetModelCenterY() + ModelDeltaY : GetProjection()->GetCenterY() + ModelDeltaY;
  following_ = false;
  if (control) GetProjection()->SetCenterY(y);
  return y;
}

void TView::SetModelCenterX(double x) { GetProjection()->SetCenterX(x); }
void TView::SetModelCenterY(double y) { GetProjection()->SetCenterY(y); }

geometry::WorldRect TView::ModelRect() {
  geometry::WorldRect rect;
  TViewProjection* projection = GetProjection();
  if (projection->GetScale() == 0) return rect;
  // A followed frame moves this one's centre while it is read; an own
  // offset is not written back, or every reading would shift the view again.
  GetModelCenterX();
  GetModelCenterY();
  projection->GetWorldRect(rect);
  return rect;
}

void TView::SetModel(TElement* model) {
  if (model == model_) return;
  if (model_) Delete(model_);
  model_ = model;
  if (model_) Add(model_);
}

TModelScript* TView::GetModelScript() {
  if (auto* script = FindElementByClass<TModelScript>()) return script;
  auto* script = new TModelScript;
  script->SetName("Model Script");
  Add(script);
  return script;
}

void TView::CreateModel() {
  auto* model = new TRectEntity;
  model->SetName("Předmět zájmu");
  SetModel(model);
}

void TView::ReadModel(bool build) {
  if (build) {
    const geometry::WorldRect area = ModelRect();
    if (auto* script = FindElementByClass<TModelScript>()) {
      TModelByScriptCreator creator;
      creator.SetInput(script);
      if (GetProjection()->GetIsOK()) {
        creator.MinX = area.MinX;
        creator.MinY = area.MinY;
        creator.MaxX = area.MaxX;
        creator.MaxY = area.MaxY;
      }
      creator.DoIt();
      if (TElement* output = creator.Output()) {
        SetModel(output);
        output->SetName("VIEWMODEL");
      }
    }
    auto* model = dynamic_cast<TRectEntity*>(model_);
    if (!GetProjection()->GetIsOK() && model)
      GetProjection()->SetCenter({model->GetCenterX(), model->GetCenterY()});
  }
  if (GetName() == "VEKTOR")
    if (TWorld* world = GetWorld()) world->SetTestElement(model_);
}

void RegisterMapFrameClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterZeltoClass(TViewProjection::StaticClass());
  RegisterZeltoClass(TView::StaticClass());
}
