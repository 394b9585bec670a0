#include "gisblock/table_messages.h"

#include "framework/zelto_message.h"
#include "platform/user_interaction.h"

namespace gisblock {

void TableMessages::warningBox(const std::string& text) { platform::showWarning(text); }

void TableMessages::errorBox(const std::string& text) { platform::showError(text); }

void TableMessages::logText(const std::string& text) { PostTextMessage(nullptr, zelto::msg::LogText, text); }

}  // namespace gisblock
