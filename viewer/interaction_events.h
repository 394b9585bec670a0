#pragma once
// Window input as framework messages: a window posts each mouse or key event
// to its tool, so that the event passes once through the message queue
// before the tool handles it.
#include <cstdint>

#include "framework/zelto_message.h"

// Codes of the viewer and its tools.
namespace zelto::msg {
constexpr int ActivateTool = 4;
constexpr int BreakDrawing = 9;
constexpr int RequestReView = 33;
constexpr int Explore = 36;
constexpr int Print = 40;
constexpr int ScaleDialog = 45;
constexpr int FitAll = 46;
constexpr int Resized = 47;
constexpr int QuickView = 50;
constexpr int KeyDown = 58;
constexpr int MouseDown = 59;
constexpr int MouseUp = 60;
constexpr int MouseMove = 61;
constexpr int StartDrag = 62;
constexpr int DragOver = 63;
constexpr int DragDrop = 64;
constexpr int EndDrag = 65;
constexpr int CursorChanged = 69;
}  // namespace zelto::msg

// Keyboard and mouse-button state bits.
enum TShiftBit : std::uint8_t {
  ssShift = 0x01,
  ssAlt = 0x02,
  ssCtrl = 0x04,
  ssLeft = 0x08,
  ssRight = 0x10,
  ssMiddle = 0x20,
  ssDouble = 0x40,
};

enum TMouseButton : std::uint8_t { mbLeft = 0, mbRight = 1, mbMiddle = 2 };

// Virtual-key codes the tools react to.
namespace zelto::key {
constexpr std::uint16_t Escape = 27;
constexpr std::uint16_t F5 = 116;
constexpr std::uint16_t F6 = 117;
}  // namespace zelto::key

class TZeltoShiftEvent : public TZeltoMessage {
  ZELTO_ELEMENT(TZeltoShiftEvent)
 public:
  TZeltoShiftEvent() = default;
  TZeltoShiftEvent(int code, TElement* receiver, TElement* sender, std::uint8_t shift)
      : TZeltoMessage(code, nullptr, receiver, sender), Shift(shift) {}
  std::uint8_t Shift = 0;
};

class TZeltoMouseEvent : public TZeltoShiftEvent {
  ZELTO_ELEMENT(TZeltoMouseEvent)
 public:
  TZeltoMouseEvent() = default;
  TZeltoMouseEvent(int code, TElement* receiver, TElement* sender, std::uint8_t button, std::uint8_t shift,
                   std::int32_t x, std::int32_t y, bool windowWasActive)
      : TZeltoShiftEvent(code, receiver, sender, shift), Button(button), X(x), Y(y),
        WindowWasActive(windowWasActive) {}
  std::uint8_t Button = mbLeft;
  std::int32_t X = 0;
  std::int32_t Y = 0;
  bool WindowWasActive = true;
};

class TZeltoKeyEvent : public TZeltoShiftEvent {
  ZELTO_ELEMENT(TZeltoKeyEvent)
 public:
  TZeltoKeyEvent() = default;
  TZeltoKeyEvent(int code, TElement* receiver, TElement* sender, std::uint16_t key, std::uint8_t shift)
      : TZeltoShiftEvent(code, receiver, sender, shift), Key(key) {}
  std::uint16_t Key = 0;
};

class TZeltoCursorEvent : public TZeltoMessage {
  ZELTO_ELEMENT(TZeltoCursorEvent)
 public:
  TZeltoCursorEvent() = default;
  TZeltoCursorEvent(int code, TElement* receiver, TElement* sender, std::int32_t cursor)
      : TZeltoMessage(code, nullptr, receiver, sender), Cursor(cursor) {}
  std::int32_t Cursor = 0;
};
