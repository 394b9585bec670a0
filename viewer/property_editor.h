#pragma once
// The property editor: every published property of one element in a
// window of three grids (the framework base class's properties, the
// element's own, its event handlers). A value typed into column 1 is
// written back by name as text and the grids are refilled, so they show
// what the element stored rather than what was typed. Enumerations offer
// their names in a drop-down; object properties open a nested editor.
#include <QPointer>
#include <QWidget>
#include <string>

#include "framework/tool.h"
#include "viewer/form_placement.h"

class QLabel;
class QPushButton;
class QTabWidget;
class QTableWidget;
class TFProp;
class TF_ViewData;

class TObjectPropertyEditor : public TTool, public TFormPlacement {
  ZELTO_ELEMENT(TObjectPropertyEditor)
 public:
  ~TObjectPropertyEditor() override;

  // Opens the window on the input; nothing without an input.
  void DoIt() override;
  // A grid double-click event (column in Y, row in X) runs CellAction.
  void HandleMessage(TZeltoMessage*& message, bool& handled) override;
  // Column 0: the class name; column 1: write the typed value, or open a
  // nested editor for an object property.
  void CellAction(int column, int row);

  TFProp* Form();
  // The window the user opened the editor from; nil means the active
  // window. The editor's window opens beside it unless it was placed.
  void SetOpener(QWidget* window) { opener_ = window; }
  // Nil once the element shown has been freed.
  TElement* Instance() const { return instance_.Get(); }
  // The window of the editor last opened from an object-valued cell; nil
  // once it is closed.
  TFProp* LastNested() const { return nested_; }
  // The data view opened on a table from column 0; nil once closed.
  TF_ViewData* RecordView() const;
  std::int32_t IntegerProp = 0;

  void FillGrids();
  // Whether the element shown is still there; once a new read let go of it,
  // the grids are emptied and the user is told, so that nothing is typed
  // into or opened from what is no longer loaded.
  bool StillLoaded();
  // The window went away; an editor nobody owns goes with it.
  void FormClosed();

 protected:
  QWidget* PlacedForm() override;

 private:
  TElementRef instance_;
  std::string shownName_;
  QPointer<TFProp> form_;
  QPointer<TFProp> nested_;
  QPointer<QWidget> records_;
  QPointer<QWidget> opener_;
};

// The first of TOwnerEntity, TNameEntity, TEntity, TOwnerElement,
// TNameElement, TElement that the element descends from.
const TElementClass& FrameworkBaseClass(const TElement& element);

class TFProp : public QWidget {
  Q_OBJECT
 public:
  // Roles of value cells: the property's type kind and, for
  // enumerations, the names offered.
  static constexpr int KindRole = Qt::UserRole + 1;
  static constexpr int NamesRole = Qt::UserRole + 2;

  explicit TFProp(TObjectPropertyEditor* editor, QWidget* parent = nullptr);
  ~TFProp() override;

  QTabWidget* Pages() const { return pages_; }
  QTableWidget* sgElementProperties = nullptr;
  QTableWidget* sgAscProperties = nullptr;
  QTableWidget* sgMethods = nullptr;
  QLabel* lbClassName = nullptr;
  QPushButton* btExplore = nullptr;
  QPushButton* btZobraz = nullptr;
  QPushButton* btOwners = nullptr;

  QTableWidget* CurrentGrid() const;
  int SelRow() const;
  std::string PropName() const;
  std::string PropString() const;
  void ClearGrids();
  // A value that cannot be stored (a property without a setter, an object
  // or a method) cannot be typed either.
  void AddRow(QTableWidget* grid, const std::string& name, const std::string& value, int kind,
              const QStringList& enumNames, bool writable);
  TObjectPropertyEditor* Editor() const { return editor_; }
  void Detach() { editor_ = nullptr; }
  bool Filling() const { return filling_; }
  void SetFilling(bool on) { filling_ = on; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CellChanged(QTableWidget* grid, int row, int column);
  void CellActivated(QTableWidget* grid, int row, int column);
  void PostToMain(int code);

  TObjectPropertyEditor* editor_;
  QTabWidget* pages_ = nullptr;
  bool filling_ = false;
};

void RegisterPropertyEditorClasses();
