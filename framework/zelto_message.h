#pragma once
// Framework messages: a code from a sender to a receiver (nullptr: the main
// tool) with optional data. Posted messages belong to the dispatcher from
// the moment they are posted; it frees them after delivery. Sender, receiver
// and data are held weakly: one that dies before delivery reads nullptr, and
// a message whose receiver died is dropped unread.
#include <string>

#include "framework/element.h"

// Codes the framework defines.
namespace zelto::msg {
constexpr int ToolCode0 = 0;
constexpr int ToolClosed = 1;
constexpr int CloseRequest = 2;
constexpr int Finished = 3;
constexpr int LogText = 8;
constexpr int ProgressBegin = 10;
constexpr int ProgressStep = 11;
constexpr int ProgressEnd = 12;
constexpr int ProgressText = 13;
constexpr int InterfaceCode17 = 17;
constexpr int SmartModeStep = 22;
constexpr int ReviewRequest = 31;
constexpr int ViewerCode33 = 33;
constexpr int StatusText = 44;
constexpr int EndOfDrawing = 49;
constexpr int LineSplit = 57;
constexpr int GridDoubleClick = 66;
}  // namespace zelto::msg

class TZeltoMessage : public TElement {
  ZELTO_ELEMENT(TZeltoMessage)
 public:
  TZeltoMessage() ;
  TZeltoMessage(int code, TElement* data, TElement* receiver, TElement* sender);
  ~TZeltoMessage() override;

  TElement* Sender() const { return sender_.Get(); }
  TElement* Receiver() const { return receiver_.Get(); }
  TElement* Data() const { return data_.Get(); }
  void SetSender(TElement* e) { sender_.Set(e); }
  void SetReceiver(TElement* e) { receiver_.Set(e); }
  void SetData(TElement* e) { data_.Set(e); }
  // A receiver was named but has died: the message must not be delivered.
  bool ReceiverDied() const { return receiver_.IsDead(); }

  std::int32_t Message = 0;
  bool KillData = false;
  double Time = 0;  // days since 30 December 1899, local time at construction

  // Hands the message to the dispatcher (queued / delivered now). The
  // message belongs to the dispatcher afterwards.
  static void Post(TZeltoMessage* message);
  static void Send(TZeltoMessage* message);
  // The PostIt and SendIt properties: a nonzero value becomes the code first.
  void PostIt(std::int32_t code);
  void SendIt(std::int32_t code);

 private:
  TElementRef sender_;
  TElementRef receiver_;
  TElementRef data_;
};

class TZeltoTextMessage : public TZeltoMessage {
  ZELTO_ELEMENT(TZeltoTextMessage)
 public:
  using TZeltoMessage::TZeltoMessage;
  std::string Text;
};

class TProgressMessage : public TZeltoMessage {
  ZELTO_ELEMENT(TProgressMessage)
 public:
  using TZeltoMessage::TZeltoMessage;
  std::int32_t MaxProgress = 0;
  std::int32_t Progress = 0;
  std::int32_t MinProgress = 0;
  std::string ProcessName;
};

// Posts a text message (log text 8, progress text 13, status text 44);
// receiver nullptr means the main tool.
void PostTextMessage(TElement* sender, int code, const std::string& text, TElement* receiver = nullptr);

// Now as the message's Time: days since 30 December 1899, local time.
double NowAsDateTime();
