#pragma once
// Stands in for the main tool while it lives and keeps the log texts
// (code 8) posted to it, as the protocol file would.
#include <algorithm>
#include <string>
#include <vector>

#include "framework/message_dispatch.h"
#include "framework/entity.h"
#include "framework/zelto_message.h"

namespace test_support {

class LogProbe : public TOwnerEntity {
 public:
  LogProbe() { zelto::SetMainToolResolver([this] { return this; }); }
  ~LogProbe() override { zelto::SetMainToolResolver(nullptr); }

  void HandleMessage(TZeltoMessage*& message, bool& handled) override {
    if (auto* t = dynamic_cast<TZeltoTextMessage*>(message); t && t->Message == zelto::msg::LogText)
      texts.push_back(t->Text);
    handled = true;
  }
  // Whether a text holding `part` has arrived, once the queue is empty.
  bool saw(const std::string& part) {
    zelto::RunMessagesUntilIdle();
    for (const std::string& t : texts)
      if (t.find(part) != std::string::npos) return true;
    return false;
  }
  // Whether `line` has arrived as a whole text, once the queue is empty.
  bool sawLine(const std::string& line) {
    zelto::RunMessagesUntilIdle();
    return std::find(texts.begin(), texts.end(), line) != texts.end();
  }
  std::string all() const {
    std::string joined;
    for (const std::string& t : texts) joined += t + "\n";
    return joined;
  }

  std::vector<std::string> texts;
};

}  // namespace test_support
