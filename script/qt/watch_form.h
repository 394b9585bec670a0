#pragma once
// The watch window: command lines in the first column of a grid, their
// values in the second, recalculated on a double click or when the model
// browser selects another element. Users keep a QPointer to the form; the
// form deletes itself, and its command line with it, when it is closed.
#include <QWidget>

#include "framework/element.h"
#include "script/watch_list.h"

class QHeaderView;
class QTableWidget;
class QStandardItemModel;

class TWatchForm : public QWidget {
  Q_OBJECT
 public:
  explicit TWatchForm(QWidget* parent = nullptr);
  ~TWatchForm() override;

  // TCommandLine::SetContext of the form's command line.
  void SetContext(TElement* element);
  // Once the element watched is gone (a new read let go of it), its lines
  // are not worked out on the world instead: the values stay empty and the
  // user is told.
  void Recalculate();
  script::WatchList& Watches() { return watches_; }

  QHeaderView* Header() const { return header_; }
  QTableWidget* SG() const { return grid_; }

 signals:
  // The form is going away: drop every reference to it and its command line.
  void closing();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void HeaderSizing(int section, int oldWidth, int newWidth);
  void FormResize();
  void FillValueSection();

  script::WatchList watches_;
  TElementRef context_;
  std::string contextName_;
  QStandardItemModel* headerModel_ = nullptr;
  QHeaderView* header_ = nullptr;
  QTableWidget* grid_ = nullptr;
};
