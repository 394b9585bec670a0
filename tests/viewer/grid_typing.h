#pragma once
// What the user gets who double-clicks a cell of a grid to type into it:
// whether a cell editor opens. The editor is closed again afterwards.
#include <QCoreApplication>
#include <QTableWidget>
#include <QTest>

namespace test_support {

inline bool DoubleClickOpensEditor(QTableWidget& grid, int row, int column) {
  QWidget* window = grid.window();
  if (!QTest::qWaitForWindowExposed(window)) return false;
  const QRect cell = grid.visualRect(grid.model()->index(row, column));
  QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, {}, grid.viewport()->mapTo(window, cell.center()));
  QCoreApplication::processEvents();
  bool open = false;
  for (QWidget* child : grid.viewport()->findChildren<QWidget*>()) open |= child->isVisible();
  // Leaving the cell ends the edit without a change.
  QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &grid, Qt::Key_Escape);
  QCoreApplication::processEvents();
  return open;
}

}  // namespace test_support
