#pragma once
// Tools that work on a drawing surface. A device tool owns its output
// device; an interactive tool also draws through a bound interpret and
// receives the window's input as framework messages, one virtual operation
// per code.
#include <cstdint>

#include "framework/technology.h"
#include "render/device.h"
#include "render/interpret.h"
#include "viewer/interaction_events.h"

class TDeviceTool : public TTechnology {
  ZELTO_ELEMENT(TDeviceTool)
 public:
  TDevice* GetDevice() const { return device_; }
  // The previous device is unlinked, not freed; the new one becomes a child.
  void SetDevice(TDevice* device);
  // The scale of the device's projection; 0 without a device.
  double GetScale() const;
  void SetScale(double scale);
  double GetVirtualScale() const;
  void SetVirtualScale(double scale);

  virtual void MouseEvent(int code, TElement* receiver, std::uint8_t button, std::uint8_t shift, std::int32_t x,
                          std::int32_t y, bool windowWasActive) {}
  virtual void KeyEvent(int code, TElement* receiver, std::uint16_t key, std::uint8_t shift) {}

 protected:
  // What every tool that draws through an interpret does with it; `slot` is
  // the tool's own interpret field. The new interpret takes over the old
  // one's device and input (or the tool's) and the old one is deleted.
  void BindInterpret(TInterpret*& slot, TInterpret* next);
  // A busy interpret is told to stop.
  static void BreakInterpretOf(TInterpret* interpret, bool& handled);
  // Redraw now, or, while the interpret is busy, mark the redraw pending
  // and stop the drawing under way.
  void RequestReViewOf(TInterpret* interpret, TZeltoMessage* message, bool& handled);
  // Sends the drawing and input codes every drawing tool answers to the
  // tool's own operation; false for any other code.
  template <class Tool>
  static bool DispatchDrawingMessage(Tool& tool, TZeltoMessage* message, bool& handled) {
    namespace m = zelto::msg;
    switch (message->Message) {
      case m::BreakDrawing: tool.BreakInterpret(message, handled); return true;
      case m::ReviewRequest: tool.ReView(message, handled); return true;
      case m::RequestReView: tool.RequestReView(message, handled); return true;
      case m::Resized: tool.Resized(handled); return true;
      case m::KeyDown: tool.KeyDown(message, handled); return true;
      case m::MouseDown: tool.MouseDown(message, handled); return true;
      case m::MouseUp: tool.MouseUp(message, handled); return true;
      case m::MouseMove: tool.MouseMove(message, handled); return true;
      case m::StartDrag: tool.StartDrag(message, handled); return true;
      case m::DragOver: tool.DragOver(message, handled); return true;
      case m::DragDrop: tool.DragDrop(message, handled); return true;
      case m::EndDrag: tool.EndDrag(message, handled); return true;
      default: return false;
    }
  }

 private:
  TDevice* device_ = nullptr;  // a child
};

class TInteractiveTool : public TDeviceTool {
  ZELTO_ELEMENT(TInteractiveTool)
 public:
  static constexpr std::uint8_t kReviewPending = TTool::kBreakWhileBusy;
  static constexpr std::uint8_t kClosePending = 0x10;

  TInterpret* GetInterpret() const { return interpret_; }
  TTechnology* Manager = nullptr;

  void HandleMessage(TZeltoMessage*& message, bool& handled) override;
  void SetInput(TElement* element) override;
  // Posts the event with this tool as sender.
  void MouseEvent(int code, TElement* receiver, std::uint8_t button, std::uint8_t shift, std::int32_t x,
                  std::int32_t y, bool windowWasActive) override;
  void KeyEvent(int code, TElement* receiver, std::uint16_t key, std::uint8_t shift) override;

  // The new interpret takes over the old one's device and input (or the
  // tool's); the old one is deleted.
  virtual void SetInterpret(TInterpret* interpret);
  virtual std::int32_t GetCursor() { return 0; }
  virtual void KeyDown(TZeltoMessage* message, bool& handled) {}
  virtual void MouseDown(TZeltoMessage* message, bool& handled) {}
  virtual void MouseUp(TZeltoMessage* message, bool& handled) {}
  virtual void MouseMove(TZeltoMessage* message, bool& handled) {}
  virtual void StartDrag(TZeltoMessage* message, bool& handled) {}
  virtual void DragOver(TZeltoMessage* message, bool& handled) {}
  virtual void DragDrop(TZeltoMessage* message, bool& handled) {}
  virtual void EndDrag(TZeltoMessage* message, bool& handled) {}
  virtual void ReView(TZeltoMessage* message, bool& handled);
  virtual void Resized(bool& handled) { handled = false; }
  virtual void BreakInterpret(TZeltoMessage* message, bool& handled);
  virtual void RequestReView(TZeltoMessage* message, bool& handled);
  virtual void Activate() {}
  virtual void Deactivate() {}

 private:
  TInterpret* interpret_ = nullptr;  // a child
};

void RegisterInteractiveToolClasses();
