#include "gisblock/table_messages.h"

#include "framework/problem_report.h"
#include "framework/world.h"
#include "framework/zelto_message.h"
#include "platform/path_resolver.h"

namespace gisblock {

void TableMessages::problem(const std::string& text) { zelto::ReportProblem(text); }

bool TableMessages::isFirst(const std::string& key, std::set<std::string>& own) const {
  if (firstNotice) return firstNotice(key);
  if (TWorld* world = GetWorld()) return world->GetObjectModel()->FirstNotice(key);
  return own.insert(key).second;
}

std::string unopenedTableNotice(const std::string& table, const std::string& fault) {
  // One file under whichever spelling names it.
  const std::filesystem::path file = platform::pathResolver().existing(table);
  return "neotevřena|" + (file.empty() ? table : file.string()) + "|" + fault;
}

void TableMessages::logText(const std::string& text) { PostTextMessage(nullptr, zelto::msg::LogText, text); }

}  // namespace gisblock
