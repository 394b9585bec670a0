#pragma once
// Where the table layer sends what the user must see. By default warnings
// and errors are problems of the job running (zelto::ReportProblem) and log
// lines go to the main tool as text messages (code 8); callers and tests may
// catch them instead.
#include <functional>
#include <set>
#include <string>

namespace gisblock {

struct TableMessages {
  using Sink = std::function<void(const std::string&)>;

  // A log text that the job running counts and shows once at its end.
  static void problem(const std::string& text);
  static void logText(const std::string& text);

  Sink warning = problem;
  Sink error = problem;
  Sink log = logText;         // a line for the log window and the protocol file
  // A file path as the user should read it (a table being written into a
  // staging directory is shown in the block the user named).
  std::function<std::string(const std::string&)> shown = [](const std::string& path) { return path; };
  // Whether a notice told once for the work under way is due: true the
  // first time for its key. An export tells once per block it writes;
  // without this the work is the read that loaded the world's object model.
  std::function<bool(const std::string& key)> firstNotice;
  // By firstNotice, else by the world's object model, else by `own` (the
  // notices of the one object that tells them).
  bool isFirst(const std::string& key, std::set<std::string>& own) const;
};

// The notice (TableMessages::isFirst) of a table that cannot be opened for
// `fault` (platform::DbfOpenError: no regular file, no permission, no dBase
// table, a header that contradicts itself): told by whichever reader meets
// it first, the block read or a table object, and by no other in the same
// work, neither again nor as an index that cannot be built or rows that
// cannot be found.
std::string unopenedTableNotice(const std::string& table, const std::string& fault);

}  // namespace gisblock
