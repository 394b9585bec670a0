#pragma once
// Where the viewer hands over to printing. The print tool is found by its
// class name, so that the viewer works in a build without printing.
class QPrinter;
class QWidget;
class TInterpret;

namespace viewer {
// A "TPrint" tool takes the interpret as input, runs and is freed; without
// one a log text says that this build cannot print.
void PrintInterpret(TInterpret* interpret);
// The printer of the viewer's prints for the whole session: the paper and
// orientation chosen in the printer set-up, and the printer or file chosen
// in the platform's print dialog, hold for every later print. It lives as
// long as the application.
QPrinter& SessionPrinter();
// The platform's printer set-up of the session printer; refused while a
// print is still out.
void ShowPrinterSetup(QWidget* parent);
}  // namespace viewer
