#pragma once
// A cursor over one line of a control file, reading it field by field. It
// never fails loudly: running out of line, or a number that does not
// convert, sets the end flag. (The framework's general text-line reader will
// take its place once it exists.)
#include <cstdint>
#include <string>
#include <string_view>

namespace gisblock::detail {

class LineCursor {
 public:
  explicit LineCursor(std::string line) : line_(std::move(line)) {}

  bool atEnd() const { return atEnd_; }
  bool pastLine() const { return pos_ >= line_.size(); }
  void skipBlanks();
  // NUL and the end flag when the line has run out.
  char readChar();
  // The text up to, not including, `stop` or the end of the line; the cursor
  // stays on the stop character.
  std::string readUntil(char stop);
  // The rest of the line, at most `limit` characters.
  std::string readRest(std::size_t limit);
  // Skips to the next sign or digit and reads an integer; 0 and the end flag
  // when none converts.
  std::int32_t readLongInt();
  // Skips to the next sign, digit or point and reads a fixed-point number
  // (no exponent, no comma); 0 and the end flag when none converts.
  double readFloat();

 private:
  std::string line_;
  std::size_t pos_ = 0;
  bool atEnd_ = false;
};

}  // namespace gisblock::detail
