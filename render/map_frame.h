#pragma once
// A map frame: a rectangle on a desktop through which a model is shown at
// a chosen centre, scale and rotation. Its view projection maps a position
// in the frame (desktop units from the frame's lower-left corner) to the
// model point (kx*u + ox, ky*v + oy); the scale is model units per desktop
// unit. A frame may follow the centre of another frame of its desktop.
#include <string>

#include "framework/draw_items.h"
#include "geometry/page_projection.h"

class TView;
class TModelScript;

class TViewProjection : public TProjection {
  ZELTO_ELEMENT(TViewProjection)
 public:
  // Nothing without a frame.
  void Setup(geometry::PointD centre, TView* frame, double scale);
  TView* GetFrame() const { return frame_; }
  void SetFrame(TView* frame) { frame_ = frame; }
  // The model point of a frame position.
  geometry::PointD FrameToModel(double u, double v) const { return {kx_ * u + ox_, ky_ * v + oy_}; }

  void GetWorldRect(geometry::WorldRect& rect) const override;
  void SetCenter(geometry::PointD centre) override;
  void SetCenterX(double x) override;
  void SetCenterY(double y) override;
  void SetScale(double s) override;
  void FitWorldRect(const geometry::WorldRect& rect) override;
  // A frame has no inner margin: the inner rectangle is the whole frame.
  void GetInnerWorldRect(geometry::WorldRect& rect) const override { GetWorldRect(rect); }
  void SetInnerWorldRect(const geometry::WorldRect& rect) override { FitWorldRect(rect); }

 private:
  void Recompute() { Setup({centerX_, centerY_}, frame_, scale_); }

  double kx_ = 0, ky_ = 0, ox_ = 0, oy_ = 0;
  TView* frame_ = nullptr;  // the frame owns the projection
};

class TView : public TDrawRectangle {
  ZELTO_ELEMENT(TView)
 public:
  TView();

  std::string ControlViewName;
  double ModelDeltaX = 0;
  double ModelDeltaY = 0;
  bool ReadAfter = false;

  TViewProjection* GetProjection();
  // The frame named ControlViewName among the children of this frame's
  // first owner; nil when unnamed or unowned.
  TElement* GetControlView() const;

  TElement* GetModel() const { return model_; }
  // The previous model leaves the children (freed unless owned elsewhere).
  void SetModel(TElement* model);
  // The first model-script child, created as "Model Script" when missing.
  TModelScript* GetModelScript();

  // With a control view the result also moves this frame's projection.
  double GetModelCenterX();
  double GetModelCenterY();
  void SetModelCenterX(double x);
  void SetModelCenterY(double y);
  double GetScale() { return GetProjection()->GetScale(); }
  void SetScale(double s) { GetProjection()->SetScale(s); }
  double GetVirtualScale() { return GetProjection()->GetVirtualScale(); }
  void SetVirtualScale(double s) { GetProjection()->SetVirtualScale(s); }
  double GetAngle() { return GetProjection()->GetAngle(); }
  void SetAngle(double a) { GetProjection()->SetAngle(a); }
  double GetRotateCenterX() { return GetProjection()->GetRotateCenterX(); }
  void SetRotateCenterX(double v) { GetProjection()->SetRotateCenterX(v); }
  double GetRotateCenterY() { return GetProjection()->GetRotateCenterY(); }
  void SetRotateCenterY(double v) { GetProjection()->SetRotateCenterY(v); }

  // The model rectangle seen through the frame; all 0 while the scale is 0.
  geometry::WorldRect ModelRect();
  double GetModelMinX() { return ModelRect().MinX; }
  double GetModelMinY() { return ModelRect().MinY; }
  double GetModelMaxX() { return ModelRect().MaxX; }
  double GetModelMaxY() { return ModelRect().MaxY; }

  virtual void CreateModel();
  // Builds the model from the model script when build is true.
  virtual void ReadModel(bool build);

 private:
  // The centre of the followed frame; nil when there is none, or when
  // following it would come back to this frame.
  TView* FollowedView();

  TViewProjection* projection_ = nullptr;
  TElement* model_ = nullptr;
  bool following_ = false;  // while a chain of followed frames is read
};

// Registers the map frame and its projection.
void RegisterMapFrameClasses();
