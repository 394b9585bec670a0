#include "framework/zelto_message.h"

#include <chrono>
#include <ctime>
#include <memory>

#include "framework/message_dispatch.h"
#include "platform/message_queue.h"

namespace {

// Hands a posted message to the dispatcher when the queue gets to it; a
// message still queued when the queue is torn down is freed unread.
class MessageTask : public platform::PostedTask {
 public:
  explicit MessageTask(TZeltoMessage* message) : message_(message) {}
  ~MessageTask() override { delete message_; }
  void run() override {
    TZeltoMessage* message = message_;
    message_ = nullptr;
    zelto::DeliverMessage(message);
  }

 private:
  TZeltoMessage* message_;
};

}  // namespace

ZELTO_IMPLEMENT_ELEMENT(TZeltoMessage, TElement, [](auto& p) {
  using M = TZeltoMessage;
  const TElementClass& element = TElement::StaticClass();
  p.Integer("Message", &M::Message, &M::Message);
  p.Object("Sender", element, &M::Sender, &M::SetSender);
  p.Object("Receiver", element, &M::Receiver, &M::SetReceiver);
  p.Object("Data", element, &M::Data, &M::SetData);
  p.Boolean("KillData", &M::KillData, &M::KillData);
  p.Float("Time", &M::Time, &M::Time);
  p.Integer("PostIt", nullptr, &M::PostIt);
  p.Integer("SendIt", nullptr, &M::SendIt);
})

ZELTO_IMPLEMENT_ELEMENT(TZeltoTextMessage, TZeltoMessage, [](auto& p) {
  p.String("Text", &TZeltoTextMessage::Text, &TZeltoTextMessage::Text);
})

ZELTO_IMPLEMENT_ELEMENT(TProgressMessage, TZeltoMessage, [](auto& p) {
  using M = TProgressMessage;
  p.String("ProcessName", &M::ProcessName, &M::ProcessName);
  p.Integer("MinProgress", &M::MinProgress, &M::MinProgress);
  p.Integer("MaxProgress", &M::MaxProgress, &M::MaxProgress);
  p.Integer("Progress", &M::Progress, &M::Progress);
})

TZeltoMessage::TZeltoMessage() : Time(NowAsDateTime()) {}

TZeltoMessage::TZeltoMessage(int code, TElement* data, TElement* receiver, TElement* sender)
    : Message(code), Time(NowAsDateTime()) {
  SetData(data);
  SetReceiver(receiver);
  SetSender(sender);
}

TZeltoMessage::~TZeltoMessage() {
  // Data that died before us reads nullptr: nothing is freed twice.
  if (KillData) delete Data();
}

namespace {

// The task owns the message from here on, or it is freed.
std::unique_ptr<MessageTask> TaskOf(TZeltoMessage* message) {
  std::unique_ptr<TZeltoMessage> owned(message);
  auto task = std::make_unique<MessageTask>(owned.get());
  owned.release();
  return task;
}

}  // namespace

void TZeltoMessage::Post(TZeltoMessage* message) {
  if (!message) return;
  platform::messageQueue().post(TaskOf(message));
}

void TZeltoMessage::Send(TZeltoMessage* message) {
  if (!message) return;
  // Delivered here and now: what the receiver throws is the sender's.
  zelto::DeliverMessage(message, zelto::Delivery::Sent);
}

void TZeltoMessage::PostIt(std::int32_t code) {
  if (code != 0) Message = code;
  Post(this);
}

void TZeltoMessage::SendIt(std::int32_t code) {
  if (code != 0) Message = code;
  Send(this);
}

// --- the element's message operations -----------------------------------------

void TElement::PostMessage(int code, TElement* receiver, TElement* data, bool killData) {
  auto* message = new TZeltoMessage(code, data, receiver, this);
  message->KillData = killData;
  TZeltoMessage::Post(message);
}

void TElement::SendMessage(int code, TElement* receiver, TElement* data, bool killData) {
  auto* message = new TZeltoMessage(code, data, receiver, this);
  message->KillData = killData;
  TZeltoMessage::Send(message);
}

void TElement::PostMessageToOwners(int code, TElement* data) {
  int n = GetOwnersCount();
  for (int i = 0; i < n; ++i) TZeltoMessage::Post(new TZeltoMessage(code, data, GetOwner(i), this));
}

void TElement::SendMessageToOwners(int code, TElement* data) {
  // Owners collected first: a handler may change our owners.
  std::vector<TElement*> owners;
  for (int i = 0; i < GetOwnersCount(); ++i) owners.push_back(GetOwner(i));
  TElementRef self(this);
  for (TElement* owner : owners) {
    if (!self.Get()) return;
    TZeltoMessage::Send(new TZeltoMessage(code, data, owner, this));
  }
}

void PostTextMessage(TElement* sender, int code, const std::string& text, TElement* receiver) {
  std::unique_ptr<TZeltoTextMessage> message(new TZeltoTextMessage(code, nullptr, receiver, sender));
  message->Text = text;
  TZeltoMessage::Post(message.release());
}

double NowAsDateTime() {
  using namespace std::chrono;
  auto now = system_clock::now();
  std::time_t t = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&t, &local);
  double seconds = duration<double>(now.time_since_epoch()).count() + static_cast<double>(local.tm_gmtoff);
  constexpr double kDaysFrom1899To1970 = 25569.0;
  return kDaysFrom1899To1970 + seconds / 86400.0;
}
