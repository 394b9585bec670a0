#include "gisblock/line_cursor.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

namespace gisblock::detail {
namespace {
bool isDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

void LineCursor::skipBlanks() {
  while (pos_ < line_.size() && line_[pos_] == ' ') ++pos_;
}

char LineCursor::readChar() {
  if (atEnd_) return '\0';
  if (pos_ >= line_.size()) {
    atEnd_ = true;
    return '\0';
  }
  return line_[pos_++];
}

std::string LineCursor::readUntil(char stop) {
  if (atEnd_ || pos_ >= line_.size()) return {};
  const std::size_t end = std::min(line_.find(stop, pos_), line_.size());
  std::string text = line_.substr(pos_, end - pos_);
  pos_ = end;
  return text;
}

std::string LineCursor::readRest(std::size_t limit) {
  if (atEnd_ || pos_ >= line_.size()) return {};
  std::string text = line_.substr(pos_, limit);
  pos_ = std::min(line_.size(), pos_ + limit);
  return text;
}

std::int32_t LineCursor::readLongInt() {
  if (atEnd_) return 0;
  while (pos_ < line_.size() && !isDigit(line_[pos_]) && line_[pos_] != '+' && line_[pos_] != '-') ++pos_;
  std::string text;
  bool digits = false;
  while (pos_ < line_.size()) {
    const char c = line_[pos_];
    if (isDigit(c)) digits = true;
    else if ((c != '+' && c != '-') || digits) break;
    text += c;
    ++pos_;
  }
  // Only one sign in front of the digits converts.
  const bool wellFormed = digits && text.find_first_of("+-", 1) == std::string::npos;
  errno = 0;
  const long long value = wellFormed ? std::strtoll(text.c_str(), nullptr, 10) : 0;
  if (!wellFormed || errno == ERANGE || value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    atEnd_ = true;
    return 0;
  }
  return static_cast<std::int32_t>(value);
}

double LineCursor::readFloat() {
  if (atEnd_) return 0;
  auto numeric = [](char c) { return isDigit(c) || c == '+' || c == '-' || c == '.'; };
  while (pos_ < line_.size() && !numeric(line_[pos_])) ++pos_;
  std::string text;
  while (pos_ < line_.size() && numeric(line_[pos_])) text += line_[pos_++];
  char* end = nullptr;
  const double value = text.empty() ? 0 : std::strtod(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size()) {
    atEnd_ = true;
    return 0;
  }
  return value;
}

}  // namespace gisblock::detail
