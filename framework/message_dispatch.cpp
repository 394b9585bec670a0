#include "framework/message_dispatch.h"

#include <exception>
#include <string>

#include "framework/errors.h"
#include "framework/zelto_message.h"
#include "platform/message_queue.h"
#include "platform/user_interaction.h"

namespace zelto {
namespace {

std::function<TElement*()>& mainToolResolver() {
  static std::function<TElement*()> resolver;
  return resolver;
}

}  // namespace

void SetMainToolResolver(std::function<TElement*()> resolver) { mainToolResolver() = std::move(resolver); }

TElement* ResolveMainTool() {
  auto& resolver = mainToolResolver();
  return resolver ? resolver() : nullptr;
}

void DeliverMessage(TZeltoMessage* message, Delivery delivery) {
  if (!message) return;
  // A receiver that died while the message waited: nobody to deliver to,
  // and certainly not the main tool in its place.
  if (message->ReceiverDied()) {
    delete message;
    return;
  }
  TElement* receiver = message->Receiver();
  if (!receiver) {
    receiver = ResolveMainTool();
    if (receiver) message->SetReceiver(receiver);
  }
  if (receiver && delivery == Delivery::Sent) {
    // Freed as below, also when the handler throws.
    struct Free {
      TZeltoMessage*& message;
      ~Free() { delete message; }
    } free{message};
    bool handled = false;
    receiver->HandleMessage(message, handled);
    return;
  }
  if (receiver) {
    bool handled = false;
    try {
      receiver->HandleMessage(message, handled);
    } catch (const std::exception& e) {
      platform::showError(framework::CauseOf(e));
    } catch (...) {
      platform::showError("Neznámá chyba při zpracování zprávy " + std::to_string(message ? message->Message : 0));
    }
  }
  delete message;
}

void ProcessPendingMessages() { platform::messageQueue().processPending(); }

void RunMessagesUntilIdle() { platform::messageQueue().runUntilIdle(); }

}  // namespace zelto

// --- passing a message up to the owners ----------------------------------------

void TElement::PassMessageToOwners(TZeltoMessage*& message, bool& handled) {
  int n = GetOwnersCount();
  for (int i = 0; i < n && i < GetOwnersCount(); ++i) {
    TElement* owner = GetOwner(i);
    if (!owner) continue;
    try {
      owner->HandleMessage(message, handled);
    } catch (...) {
      platform::ui().showMessage(std::to_string(message ? message->Message : 0), platform::MessageKind::Error);
    }
    if (handled) break;
  }
  handled = true;
}
