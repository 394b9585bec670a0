#pragma once
// Where the viewer hands over to printing. The print tool is found by its
// class name, so that the viewer works in a build without printing.
class QWidget;
class TInterpret;

namespace viewer {
// A "TPrint" tool takes the interpret as input, runs and is freed; without
// one a log text says that this build cannot print.
void PrintInterpret(TInterpret* interpret);
// The platform's print dialog; true when the user confirmed it.
bool ConfirmPrinter(QWidget* parent);
// The platform's printer set-up.
void ShowPrinterSetup(QWidget* parent);
}  // namespace viewer
