#pragma once
// A stand-alone interactive tool with its own list of mouse cursors. It can
// be created by name from a model; it tells its owners when its cursor
// changes.
#include <cstdint>
#include <string>

#include "framework/integer_list.h"
#include "viewer/interactive_tool.h"

class TInterfaceTool : public TDeviceTool {
  ZELTO_ELEMENT(TInterfaceTool)
 public:
  static constexpr std::uint8_t kActive = TTool::kBusy;

  TInterpret* GetInterpret() const { return interpret_; }
  // Created on first use as the child "CURSORS".
  TIntegerListElement* GetCursors();
  std::int32_t GetCursorIndex() const { return cursorIndex_; }
  // Posts the new cursor to every owner when the index changes.
  void SetCursorIndex(std::int32_t index);
  std::string GetCursorName() const;
  void SetCursorName(const std::string& name);
  bool GetActive() const { return Flag(kActive); }
  void SetActive(bool on) { SetFlag(kActive, on); }
  bool CloseOnRequestFlag = false;

  void HandleMessage(TZeltoMessage*& message, bool& handled) override;
  void SetInput(TElement* element) override;
  bool CanClose() override;
  void MouseEvent(int code, TElement* receiver, std::uint8_t button, std::uint8_t shift, std::int32_t x,
                  std::int32_t y, bool windowWasActive) override;
  void KeyEvent(int code, TElement* receiver, std::uint16_t key, std::uint8_t shift) override;

  virtual void SetInterpret(TInterpret* interpret);
  virtual std::int32_t GetCursor();
  virtual void CursorChanged(TZeltoMessage*, bool&) {}
  virtual void KeyDown(TZeltoMessage*, bool&) {}
  virtual void MouseDown(TZeltoMessage*, bool&) {}
  virtual void MouseUp(TZeltoMessage*, bool&) {}
  virtual void MouseMove(TZeltoMessage*, bool&) {}
  virtual void StartDrag(TZeltoMessage*, bool&) {}
  virtual void DragOver(TZeltoMessage*, bool&) {}
  virtual void DragDrop(TZeltoMessage*, bool&) {}
  virtual void EndDrag(TZeltoMessage*, bool&) {}
  virtual void ReView(TZeltoMessage* message, bool& handled);
  virtual void ReViewElementArea(TZeltoMessage* message, bool& handled);
  virtual void Resized(bool& handled) { handled = false; }
  virtual void BreakInterpret(TZeltoMessage* message, bool& handled);
  virtual void RequestReView(TZeltoMessage* message, bool& handled);
  virtual void Activate();
  virtual void Deactivate() { SetActive(false); }
  // Code 40: the print dialog, then printing of what the interpret draws.
  virtual void Print(bool& handled);
  virtual void CloseOnRequest(bool& handled);
  virtual bool MayCloseWhileActive() { return true; }

 private:
  TInterpret* interpret_ = nullptr;       // a child
  TIntegerListElement* cursors_ = nullptr;  // a child
  std::int32_t cursorIndex_ = -1;
};
