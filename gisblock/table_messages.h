#pragma once
// Where the table layer sends what the user must see. By default warnings
// and errors are the platform's message boxes and log lines go to the main
// tool as text messages (code 8); callers and tests may catch them instead.
#include <functional>
#include <string>

namespace gisblock {

struct TableMessages {
  using Sink = std::function<void(const std::string&)>;

  static void warningBox(const std::string& text);
  static void errorBox(const std::string& text);
  static void logText(const std::string& text);

  Sink warning = warningBox;  // warning box with an OK button
  Sink error = errorBox;      // error box with an OK button
  Sink log = logText;         // a line for the log window and the protocol file
  // A file path as the user should read it (a table being written into a
  // staging directory is shown in the block the user named).
  std::function<std::string(const std::string&)> shown = [](const std::string& path) { return path; };
};

}  // namespace gisblock
