#pragma once
// The splash window whose creation builds the world and the main tool and
// runs the main tool's start; it hides itself after three seconds and stays
// the application's main form for the whole run.
#include <QLabel>
#include <QTimer>
#include <QWidget>

class Tf_StartForm : public QWidget {
 public:
  Tf_StartForm();
  QLabel* lb_Verze = nullptr;
  QTimer* Timer1 = nullptr;

 private:
  void Timer1Timer();
};

// Creates the world as a TWCSWorld with a TMainTool as its main tool and
// installs the world's message hook.
void CreateWorld();
// Runs the world's main tool, when it has one.
void RunMainTool();
