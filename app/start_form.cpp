#include "app/start_form.h"

#include <QFrame>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

#include "app/main_tool.h"
#include "framework/wcs.h"
#include "framework/world.h"

Tf_StartForm::Tf_StartForm() {
  setObjectName("Tf_StartForm");
  setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  auto* layout = new QVBoxLayout(this);
  auto* bevel = new QFrame;
  bevel->setFrameShape(QFrame::Box);
  auto* inner = new QVBoxLayout(bevel);
  inner->addWidget(new QLabel("ZELTO VEZODA"));
  inner->addWidget(new QLabel("ZELTO"));
  auto* version = new QHBoxLayout;
  version->addWidget(new QLabel("verze"));
  lb_Verze = new QLabel("3.1");
  lb_Verze->setObjectName("lb_Verze");
  version->addWidget(lb_Verze);
  version->addStretch(1);
  inner->addLayout(version);
  layout->addWidget(bevel);
  resize(320, 160);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  show();
  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(3000);
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
  Timer1->start();
  CreateWorld();
  RunMainTool();
}

void Tf_StartForm::Timer1Timer() {
  hide();
  Timer1->stop();
}

void CreateWorld() {
  auto* world = new TWCSWorld;
  SetWorld(world);
  world->SetMainTool(new TMainTool);
  world->InstallMessageHook();
}

void RunMainTool() {
  if (TWorld* world = GetWorld(); world && world->GetMainTool()) world->GetMainTool()->DoIt();
}
