#include "render/map_frame.h"

#include <gtest/gtest.h>

#include "render/desktop.h"
#include "render/layer_script.h"

namespace {

TView* Frame(double w, double h) {
  auto* view = new TView;
  view->SetMinX(10);
  view->SetMinY(20);
  view->SetMaxX(10 + w);
  view->SetMaxY(20 + h);
  return view;
}

}  // namespace

TEST(MapFrame, ProjectionMapsTheFrameAroundItsCentre) {
  TDesktop desktop;
  TView* view = Frame(100, 80);
  desktop.Add(view);
  EXPECT_EQ(view->PenColor, 0xC0C0C0);
  EXPECT_EQ(view->GetModelMinX(), 0);  // no scale yet
  view->GetProjection()->Setup({1000, 2000}, view, 10);
  EXPECT_DOUBLE_EQ(view->GetModelMinX(), 500);
  EXPECT_DOUBLE_EQ(view->GetModelMinY(), 1600);
  EXPECT_DOUBLE_EQ(view->GetModelMaxX(), 1500);
  EXPECT_DOUBLE_EQ(view->GetModelMaxY(), 2400);

  view->GetProjection()->FitWorldRect({0, 0, 1000, 400});
  EXPECT_DOUBLE_EQ(view->GetScale(), 10);
  view->GetProjection()->FitWorldRect({0, 0, 400, 1000});
  EXPECT_DOUBLE_EQ(view->GetScale(), 12.5);
  EXPECT_DOUBLE_EQ(view->GetProjection()->GetCenterY(), 500);

  // An own offset is reported but does not drift the view on every read.
  view->ModelDeltaX = 5;
  const double minX = view->GetModelMinX();
  EXPECT_DOUBLE_EQ(view->GetModelMinX(), minX);
}

TEST(MapFrame, FollowsTheCentreOfTheNamedFrame) {
  TDesktop desktop;
  TView* main = Frame(100, 80);
  main->SetName("Hlavni");
  TView* inset = Frame(50, 40);
  desktop.Add(main);
  desktop.Add(inset);
  main->GetProjection()->Setup({0, 0}, main, 2);
  inset->GetProjection()->Setup({7, 7}, inset, 1);
  inset->ControlViewName = "Hlavni";
  inset->ModelDeltaX = 250;
  EXPECT_DOUBLE_EQ(inset->GetModelCenterX(), 250);
  EXPECT_DOUBLE_EQ(inset->GetProjection()->GetCenterX(), 250);
  EXPECT_DOUBLE_EQ(inset->GetModelMinX(), 225);

  main->ControlViewName = "Hlavni";  // itself: no endless following
  EXPECT_DOUBLE_EQ(main->GetModelCenterX(), 0);
}

TEST(MapFrame, ModelsReplaceEachOtherAsChildren) {
  TView view;
  view.CreateModel();
  TElement* first = view.GetModel();
  EXPECT_EQ(first->GetName(), "Předmět zájmu");
  view.CreateModel();
  EXPECT_NE(view.GetModel(), first);
  EXPECT_EQ(view.IndexOf(view.GetModel()), view.GetLastIndex());
  EXPECT_EQ(view.GetCount(), 2);  // the projection and the model
  TModelScript* script = view.GetModelScript();
  EXPECT_EQ(view.GetModelScript(), script);
  EXPECT_EQ(script->GetName(), "Model Script");
}
