#pragma once
// A viewer on a small model of two areas and a line across, drawn by a
// painter that fills areas red and draws lines blue.
#include "viewer/tool_manager.h"
#include <gtest/gtest.h>
#include <QApplication>
#include "qt_app.h"
#include <QMouseEvent>
#include <QTimer>
#include <QCloseEvent>
#include <cmath>
#include <filesystem>
#include <memory>
#include "framework/entity.h"
#include "framework/message_dispatch.h"
#include "geometry/area_element.h"
#include "geometry/geometry_classes.h"
#include "geometry/poly_element.h"
#include "geometry/space_entity.h"
#include "platform/message_queue.h"
#include "platform/scripted_user_interaction.h"
#include "render/gelix_color.h"
#include "render/render_classes.h"
#include "viewer/image_form.h"
#include "viewer/scale_dialog.h"
#include "viewer/zoom_tool.h"

namespace {
constexpr TColor kRed = RGBColor(255, 0, 0);
constexpr TColor kBlue = RGBColor(0, 0, 255);

// Lines in blue, areas filled red.
class TPainter : public TInterpret {
 public:
  int lines = 0;
  bool QGoInside(TElement* e) override { return !e->Is<TPolyElement>() && TInterpret::QGoInside(e); }
  void Process(TElement* e) override {
    if (e->Is<TAreaElement>()) {
      GetDevice()->SetPen({kRed, 1, psSolid});
      GetDevice()->SetBrush({kRed, bsSolid});
      GetDevice()->DrawArea(e);
    } else if (e->Is<TPolyLineElement>()) {
      ++lines;
      GetDevice()->SetPen({kBlue, 3, psSolid});
      GetDevice()->DrawPolyline(e);
    }
  }
};

template <class T>
T* poly(std::initializer_list<std::pair<double, double>> points) {
  auto* e = new T;
  for (auto [x, y] : points) e->AddVertex(x, y);
  e->RecalcEnvelope();
  return e;
}

struct Viewer : ::testing::Test {
  static void SetUpTestSuite() {
    test_support::QtApp();
    RegisterGeometryClasses();
    RegisterRenderClasses();
    RegisterViewerClasses();
  }
  void TearDown() override { platform::messageQueue().discardAll(); }

  // The model belongs to the object model, not to the viewer.
  TEntity objectModel;
  TSpaceEntity* model = new TSpaceEntity;
  std::unique_ptr<TFormToolManager> manager{new TFormToolManager};
  TPainter* painter = nullptr;

  Viewer() {
    objectModel.Add(model);
    // Two areas and a line across, 1000 x 500 m in all.
    model->Add(poly<TAreaElement>({{1000, 2000}, {1000, 2500}, {1400, 2500}, {1400, 2000}}));
    model->Add(poly<TAreaElement>({{1600, 2000}, {1600, 2500}, {2000, 2500}, {2000, 2000}}));
    model->Add(poly<TPolyLineElement>({{1000, 2250}, {2000, 2250}}));
    model->RecalcEnvelope();
    auto* script = new TInterpretScript;
    painter = new TPainter;
    script->SetNewClassName("TAreaElement");
    script->SetActualInterpret(painter);
    script->SetNewClassName("TPolyLineElement");
    script->SetActualInterpret(painter);
    manager->SetInterpretScript(script);
    manager->GetForm()->resize(500, 400);
    manager->SetInput(model);
    manager->DoIt();
    settle();
  }
  void settle() {
    for (int i = 0; i < 5; ++i) {
      QApplication::processEvents();
      zelto::RunMessagesUntilIdle();
    }
  }
  QImage shown() { return manager->GetForm()->Image()->grab().toImage(); }
  TColor shownAt(const QImage& image, double x, double y) {
    TPageProjection* p = manager->GetProjection();
    return render::qt::FromQColor(image.pixelColor(p->WorldToDeviceX(x), p->WorldToDeviceY(y)));
  }
  void mouse(QEvent::Type type, int x, int y, Qt::MouseButtons buttons, Qt::MouseButton button = Qt::LeftButton) {
    QWidget* image = manager->GetForm()->Image();
    const QPointF at(x, y);
    QMouseEvent e(type, at, image->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(image, &e);
    settle();
  }
  void expectShows(double minX, double minY, double maxX, double maxY) {
    geometry::WorldRect shown{};
    manager->GetProjection()->GetWorldRect(shown);
    EXPECT_LE(shown.MinX, minX + 1e-6);
    EXPECT_LE(shown.MinY, minY + 1e-6);
    EXPECT_GE(shown.MaxX, maxX - 1e-6);
    EXPECT_GE(shown.MaxY, maxY - 1e-6);
    // The rectangle fills the page along one axis.
    const double fx = (maxX - minX) / (shown.MaxX - shown.MinX);
    const double fy = (maxY - minY) / (shown.MaxY - shown.MinY);
    EXPECT_NEAR(std::max(fx, fy), 1.0, 0.02);
  }
};
}  // namespace
