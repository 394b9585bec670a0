#include "gisblock/table_messages.h"

#include "framework/problem_report.h"
#include "framework/world.h"
#include "framework/zelto_message.h"

namespace gisblock {

void TableMessages::problem(const std::string& text) { zelto::ReportProblem(text); }

bool TableMessages::isFirst(const std::string& key, std::set<std::string>& own) const {
  if (firstNotice) return firstNotice(key);
  if (TWorld* world = GetWorld()) return world->GetObjectModel()->FirstNotice(key);
  return own.insert(key).second;
}

void TableMessages::logText(const std::string& text) { PostTextMessage(nullptr, zelto::msg::LogText, text); }

}  // namespace gisblock
