#include "framework/text_line_reader.h"

#include "framework/string_utils.h"
#include "platform/real48.h"

#include <charconv>
#include <stdexcept>

namespace {

constexpr std::int32_t kLastPosition = 254;

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isSign(char c) { return c == '+' || c == '-'; }

}  // namespace

TCtiRadekClass::TCtiRadekClass(std::string line) : line_(std::move(line)) {}

bool TCtiRadekClass::inLine() const {
  return position_ >= 1 && static_cast<std::size_t>(position_) <= line_.size();
}

void TCtiRadekClass::StepBack() {
  if (position_ <= 1) atEnd_ = true;
  else --position_;
}

void TCtiRadekClass::StepForward() {
  if (position_ >= kLastPosition) atEnd_ = true;
  else ++position_;
}

char TCtiRadekClass::ReadChar() {
  if (atEnd_) return '\0';
  if (!inLine()) {
    atEnd_ = true;
    return '\0';
  }
  const char c = current();
  if (position_ >= kLastPosition) atEnd_ = true;
  else ++position_;
  return c;
}

void TCtiRadekClass::SkipBlanks() {
  while (inLine() && current() == ' ') ++position_;
}

void TCtiRadekClass::ReadChars(std::int32_t count, std::string& text) {
  if (atEnd_) return;
  text.clear();
  if (inLine() && count > 0) text = line_.substr(static_cast<std::size_t>(position_ - 1), count);
  position_ += count;
}

void TCtiRadekClass::ReadUntilChar(char stop, std::string& text) {
  std::bitset<256> set;
  set.set(static_cast<unsigned char>(stop));
  ReadUntilCharSet(set, text);
}

void TCtiRadekClass::ReadUntilCharSet(const std::bitset<256>& stops, std::string& text) {
  if (atEnd_) return;
  text.clear();
  while (inLine() && !stops.test(static_cast<unsigned char>(current()))) text += line_[position_++ - 1];
}

std::int32_t TCtiRadekClass::ReadLongInt() {
  if (atEnd_) return 0;
  while (inLine() && !isSign(current()) && !isDigit(current())) ++position_;
  std::string field;
  bool digitTaken = false;
  while (inLine()) {
    const char c = current();
    if (isDigit(c)) digitTaken = true;
    else if (!isSign(c) || digitTaken) break;
    field += c;
    ++position_;
  }
  const char* begin = field.data();
  if (!field.empty() && field[0] == '+') ++begin;
  std::int32_t value = 0;
  const auto [end, ec] = std::from_chars(begin, field.data() + field.size(), value);
  // from_chars takes no '+'; a second sign after the first must fail too.
  const bool ok = !field.empty() && ec == std::errc() && end == field.data() + field.size() &&
                  !(begin != field.data() && isSign(*begin));
  atEnd_ = !ok;
  return ok ? value : 0;
}

double TCtiRadekClass::ReadFloat() {
  if (atEnd_) return 0;
  const auto inRun = [](char c) { return isSign(c) || isDigit(c) || c == '.'; };
  while (inLine() && !inRun(current())) ++position_;
  std::string field;
  while (inLine() && inRun(current())) field += line_[position_++ - 1];
  const auto value = framework::ParseFixedPoint(field);
  atEnd_ = !value.has_value();
  return value.value_or(0.0);
}

double TCtiRadekClass::ReadReal() {
  const double value = ReadFloat();
  if (atEnd_) return 0;
  try {
    return platform::roundReal48(value);
  } catch (const std::overflow_error&) {
    atEnd_ = true;
    return 0;
  }
}

bool TCtiRadekClass::ReadBoolean() {
  char c = '\0';
  for (;;) {
    c = ReadChar();
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (atEnd_ && c == '\0') break;
    if (c == '\0' || c == '1' || c == 'A' || c == 'F' || c == 'N' || c == 'T' || c == '0') break;
    if (atEnd_) break;
  }
  return c == '1' || c == 'A' || c == 'T';
}
