#include "script/watch_list.h"

#include "script/command_line.h"

namespace script {

WatchList::WatchList() : commandLine_(std::make_unique<TCommandLine>()), rows_(DefaultRowCount) {}

WatchList::~WatchList() = default;

void WatchList::SetRowCount(int count) { rows_.resize(static_cast<std::size_t>(std::max(count, 0))); }

void WatchList::SetContext(TElement* element) { commandLine_->SetContext(element); }

void WatchList::Recalculate() {
  for (Row& row : rows_) {
    row.result.clear();
    if (row.line.empty()) continue;
    commandLine_->SetLine(row.line);
    commandLine_->DoIt();
    commandLine_->GetFirstResult(row.result);
  }
}

}  // namespace script
