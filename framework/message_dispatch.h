#pragma once
// Delivery of framework messages: the receiver's HandleMessage, or the main
// tool's when no receiver was named. Posted messages go through the
// platform's queue and arrive when it is pumped, in posting order.
#include <functional>

class TElement;
class TZeltoMessage;

namespace zelto {

// Who receives messages posted without a receiver. The world installs a
// reader of its MainTool; without one such messages are dropped.
void SetMainToolResolver(std::function<TElement*()> resolver);
TElement* ResolveMainTool();

// Delivers one message now and frees it (and its data under KillData),
// whether handled or not. A handler that throws is reported in an error box,
// or, for a message sent (not posted), thrown on to the sender, whose work
// cannot go on as if the receiver had done its part; the message is freed
// all the same.
enum class Delivery { Posted, Sent };
void DeliverMessage(TZeltoMessage* message, Delivery delivery = Delivery::Posted);

// Lets pending messages through (the points where long work yields).
void ProcessPendingMessages();
// Delivers until nothing is pending (tests, batch runs, the idle loop).
void RunMessagesUntilIdle();

}  // namespace zelto
