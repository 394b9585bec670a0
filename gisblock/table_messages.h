#pragma once
// Where the table layer sends what the user must see. The program connects
// these to its dialogs and its protocol; by default they go to stderr.
#include <functional>
#include <iostream>
#include <string>

namespace gisblock {

struct TableMessages {
  using Sink = std::function<void(const std::string&)>;

  static void toStderr(const std::string& text) { std::cerr << text << '\n'; }

  Sink warning = toStderr;  // warning dialog with an OK button
  Sink error = toStderr;    // error dialog with an OK button
  Sink log = toStderr;      // a line for the log window and the protocol file
};

}  // namespace gisblock
