#pragma once
// The viewer: a window showing an element as a map, drawn by a universal
// interpret on the window's bitmap, and a list of interactive tools of which
// one is active. The window turns user actions into messages for the
// manager, which offers each first to the active tool.
#include <QPointer>
#include <memory>
#include <string>

#include "render/qt/qt_canvas.h"
#include "render/universal_interpret.h"
#include "viewer/image_form.h"
#include "viewer/interactive_tool.h"

class TRectEntity;

class TFormToolManager : public TInteractiveTool {
  ZELTO_ELEMENT(TFormToolManager)
 public:
  TFormToolManager();
  ~TFormToolManager() override;

  TStandardImageForm* GetForm() const { return form_; }
  render::qt::ImageBitmap* GetBitmap() const { return bitmap_.get(); }
  TPageProjection* GetProjection() const;
  bool GetQuickView() const { return quickView_; }
  void SetQuickView(bool on);
  bool PrintOnReview = false;

  std::string GetActiveToolName() const;
  void SetActiveToolName(const std::string& name);
  std::string GetActiveToolClassName() const;
  void SetActiveToolClassName(const std::string& name);
  std::int32_t GetPageColor() const;
  void SetPageColor(std::int32_t colour);
  TInterpretScript* GetInterpretScript() const;
  void SetInterpretScript(TElement* script);
  std::string GetCaption() const;
  void SetCaption(const std::string& caption);
  void SetBreakReView(bool);
  void SetElementForReView(TElement* element);
  void SetElementForKillReView(TElement* element);
  void FreeForm();
  // False (after telling the user) when the file cannot be read or written.
  bool LoadFromFile(const std::string& fileName);
  bool SaveToFile(const std::string& fileName);

  void SetNextTool(TTool* tool);
  // Adds the element's envelope to what the viewer shows and draws it.
  void LinkElement(TElement* element);
  void SetVisible(bool visible);
  // The bitmap follows the window's image area; called by the window.
  void ResizeBitmap(std::int32_t width, std::int32_t height);
  std::string ScaleText() const;

  void HandleMessage(TZeltoMessage*& message, bool& handled) override;
  void SetInput(TElement* element) override;
  void DoIt() override;
  void Close() override;
  void OnToolFinished(TZeltoMessage*& message, bool& handled) override;
  void SetCurrentIndex(std::int32_t index) override;
  TTool* AppendTool(TTool* tool) override;
  void RemoveTool(TTool* tool) override;
  void DeleteTool(TTool* tool) override;
  void KeyDown(TZeltoMessage* message, bool& handled) override;
  void MouseUp(TZeltoMessage* message, bool& handled) override;
  void MouseMove(TZeltoMessage* message, bool& handled) override;
  void ReView(TZeltoMessage* message, bool& handled) override;
  void Resized(bool& handled) override;

  virtual void ActivateTool(TZeltoMessage* message, bool& handled);
  virtual void Print(bool& handled);
  virtual void ShowScaleDialog(bool& handled);
  virtual void FitAll(bool& handled);
  virtual void ToggleQuickView(bool& handled);
  virtual void RepaintImage(bool& handled);
  virtual void CloseOnRequest(bool& handled);

 private:
  void FitToInput();
  void DropWrapper();
  // Carries out a close or a redraw requested while the interpret was busy;
  // true when the viewer closed.
  bool DrawingEnded();
  // When the loaded data let go of what the viewer shows, the viewer lets
  // go of it too and tells the user.
  void DropUnloaded();
  void SyncBitmapToImage();
  void MarkTool(TTool* tool);
  void RemoveToolsMenuItem(TTool* tool);

  QPointer<TStandardImageForm> form_;
  std::unique_ptr<render::qt::ImageBitmap> bitmap_;
  TRectEntity* wrapper_ = nullptr;  // a child
  TElementRef shown_;               // in the wrapper, but not ours
  bool shownIsRoot_ = false;
  bool quickView_ = false;
};

void RegisterViewerClasses();
