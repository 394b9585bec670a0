#pragma once
// The model browser: the object model as a tree that grows on demand,
// downwards through children or upwards through owners, a detail list of
// the selected element's children (or owners) and a watch window that
// follows the selection. The tree is rebuilt on every expansion, so it
// follows changes of the model.
#include <QIcon>
#include <QList>
#include <QPointer>
#include <QWidget>
#include <string>
#include <vector>

#include "framework/tool.h"
#include "script/qt/watch_form.h"
#include "viewer/form_placement.h"

class QLabel;
class QSplitter;
class QStatusBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class TExplorerForm;
class TRegisterClassModel;

class TExplorer : public TTool, public TFormPlacement {
  ZELTO_ELEMENT(TExplorer)
 public:
  ~TExplorer() override;

  // Shows the tree rooted at the input; nothing without an input.
  void DoIt() override;
  TExplorerForm* Form();

  bool Modal = false;
  bool ShowOwners = false;
  bool DontShowList = false;

  void FormClosed();

 protected:
  QWidget* PlacedForm() override;

 private:
  QPointer<TExplorerForm> form_;
};

class TExplorerForm : public QWidget {
  Q_OBJECT
 public:
  explicit TExplorerForm(TExplorer* tool, QWidget* parent = nullptr);
  ~TExplorerForm() override;

  void SetOwnersMode(bool on) { owners_ = on; }
  void SetListHidden(bool hidden);
  // Report: names with the property columns; otherwise names only, as
  // icons or as a list.
  void SetListStyle(bool report, bool icons);
  bool ListHidden() const { return listHidden_; }
  // Adds the root node for the element and selects it.
  QTreeWidgetItem* AddRoot(TElement* element);

  QTreeWidget* Tree() const { return tree_; }
  QTreeWidget* List() const { return list_; }
  QString StatusText() const;
  TWatchForm* Watch() const { return watch_.data(); }
  // Opens a watch window on the selected element, or closes the open one.
  void ToggleWatch();

  static TElement* ElementOf(const QTreeWidgetItem* node);
  void Detach() { tool_ = nullptr; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  static QIcon PanesPicture();
  void GivePlaceholder(QTreeWidgetItem* node);
  void Expand(QTreeWidgetItem* node);
  void Collapse(QTreeWidgetItem* node);
  void Select();
  void FillList(TElement* element);
  void PostToMain(int code);
  QTreeWidgetItem* NewNode(TElement* element);
  // Looks up the class models of the element's class; answers the one
  // that sets the list's columns.
  TRegisterClassModel* ClassModels(const TElement& element);
  void LoadImages();

  TExplorer* tool_;
  bool owners_ = false;
  bool listHidden_ = false;
  QTreeWidget* tree_ = nullptr;
  QTreeWidget* list_ = nullptr;
  QSplitter* splitter_ = nullptr;
  QLabel* status_ = nullptr;
  QPointer<TWatchForm> watch_;
  const TElementClass* lastClass_ = nullptr;
  TRegisterClassModel* lastOwn_ = nullptr;
  TRegisterClassModel* lastColumns_ = nullptr;
  QList<QIcon> images_;
  TRegisterClassModel* columnsModel_ = nullptr;
  // Property names of the list's columns after "Name".
  std::vector<std::string> propertyNames_;
};

// Owners as the browser walks them: an envelope's single owner link, every
// other element's owner list.
int BrowserOwnerCount(const TElement& element);
TElement* BrowserOwner(const TElement& element, int index);

class QMimeData;

namespace model_browser {
// Where an image of the system register is read from.
std::string ImageFilePath(const std::string& name, const std::string& programDir);
// A dragged node carries its element's handle, never its address.
QMimeData* ElementMimeData(TElement* element);
// Nil when the data holds no element or the element is gone.
TElement* ElementOfMimeData(const QMimeData* data);
}  // namespace model_browser

void RegisterModelBrowserClasses();
