#pragma once
// What the watch window shows, without the window: a list of command lines
// and the first result of each, recalculated through one command line of
// its own that lives as long as the list (variables declared in a row
// persist between recalculations).
#include <memory>
#include <string>
#include <vector>

class TCommandLine;
class TElement;

namespace script {

class WatchList {
 public:
  static constexpr int DefaultRowCount = 10;

  WatchList();
  ~WatchList();
  WatchList(const WatchList&) = delete;
  WatchList& operator=(const WatchList&) = delete;

  int RowCount() const { return static_cast<int>(rows_.size()); }
  void SetRowCount(int count);
  const std::string& Line(int row) const { return rows_.at(static_cast<std::size_t>(row)).line; }
  void SetLine(int row, const std::string& line) { rows_.at(static_cast<std::size_t>(row)).line = line; }
  const std::string& Result(int row) const { return rows_.at(static_cast<std::size_t>(row)).result; }

  // The element the lines work on (ACTIVEELEMENT).
  void SetContext(TElement* element);
  TCommandLine& CommandLine() { return *commandLine_; }

  // Every non-empty line runs and shows its first result; an empty line
  // shows nothing. A failing line reports itself and the rest still run.
  void Recalculate();

 private:
  struct Row {
    std::string line;
    std::string result;
  };
  std::unique_ptr<TCommandLine> commandLine_;
  std::vector<Row> rows_;
};

}  // namespace script
