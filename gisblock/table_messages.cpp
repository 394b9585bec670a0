#include "gisblock/table_messages.h"

#include "framework/problem_report.h"
#include "framework/zelto_message.h"

namespace gisblock {

void TableMessages::problem(const std::string& text) { zelto::ReportProblem(text); }

void TableMessages::logText(const std::string& text) { PostTextMessage(nullptr, zelto::msg::LogText, text); }

}  // namespace gisblock
