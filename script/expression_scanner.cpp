#include "script/expression_scanner.h"

#include <algorithm>
#include <functional>

#include "script/syntax_except.h"

namespace {

int length(const std::string& text) { return static_cast<int>(text.size()); }
char at(const std::string& text, int position) { return text[static_cast<std::size_t>(position - 1)]; }

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::string readRun(const std::string& text, int& position, const std::function<bool(char)>& take) {
  SkipSpaces(text, position);
  if (position == 0) return {};
  const int start = position;
  while (position <= length(text) && take(at(text, position))) ++position;
  std::string run = text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(position - start));
  if (position > length(text)) position = 0;
  return run;
}

// Scans the whole text and keeps the rightmost match: `match` answers the
// length of an operator at position i, 0 for none. Quoted parts and groups
// are stepped over; an unclosed quote ends the scan.
bool scanFor(const std::string& text, const std::function<int(const std::string&, int)>& match,
             int& position, std::string& op) {
  bool found = false;
  int i = 1;
  const int n = length(text);
  while (i >= 1 && i <= n) {
    const char c = at(text, i);
    if (c == '\'') {
      const std::size_t close = text.find('\'', static_cast<std::size_t>(i));
      if (close == std::string::npos) break;
      i = static_cast<int>(close) + 2;
      continue;
    }
    if (c == '(') {
      int p = i;
      ReadParenthesized(text, p);
      if (p == 0) break;
      i = p;
      continue;
    }
    if (const int k = match(text, i)) {
      found = true;
      op = text.substr(static_cast<std::size_t>(i - 1), static_cast<std::size_t>(k));
      position = i + k > n ? 0 : i + k;
    }
    ++i;
  }
  return found;
}

// A word operator counts only between non-letters (digits, "_" and signs do
// not stop it).
int matchWord(const std::string& text, int i, const char* word) {
  const int k = static_cast<int>(std::char_traits<char>::length(word));
  if (i + k - 1 > length(text)) return 0;
  for (int j = 0; j < k; ++j) {
    char c = at(text, i + j);
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != word[j]) return 0;
  }
  if (i > 1 && isLetter(at(text, i - 1))) return 0;
  if (i + k <= length(text) && isLetter(at(text, i + k))) return 0;
  return k;
}

bool findAndOr(const std::string& text, int& position, std::string& op) {
  return scanFor(
      text, [](const std::string& t, int i) { return std::max(matchWord(t, i, "AND"), matchWord(t, i, "OR")); },
      position, op);
}

bool findComparison(const std::string& text, int& position, std::string& op) {
  return scanFor(
      text,
      [](const std::string& t, int i) {
        const char c = at(t, i);
        return (c == '<' || c == '=' || c == '>') ? 1 : 0;
      },
      position, op);
}

bool findModDiv(const std::string& text, int& position, std::string& op) {
  return scanFor(
      text, [](const std::string& t, int i) { return std::max(matchWord(t, i, "MOD"), matchWord(t, i, "DIV")); },
      position, op);
}

// "+" and "-" are two-operand only where an operand precedes them; the scan
// keeps that state itself, since quoted parts and groups count as operands.
bool findAddSub(const std::string& text, int& position, std::string& op) {
  bool found = false;
  bool operandBefore = false;
  int i = 1;
  const int n = length(text);
  while (i >= 1 && i <= n) {
    const char c = at(text, i);
    if (c == '\'') {
      const std::size_t close = text.find('\'', static_cast<std::size_t>(i));
      if (close == std::string::npos) break;
      i = static_cast<int>(close) + 2;
      operandBefore = true;
      continue;
    }
    if (c == '(') {
      int p = i;
      ReadParenthesized(text, p);
      operandBefore = true;
      if (p == 0) break;
      i = p;
      continue;
    }
    if (c == '+' || c == '-') {
      if (operandBefore) {
        found = true;
        op = std::string(1, c);
        position = i + 1 > n ? 0 : i + 1;
        operandBefore = false;
      }
    } else if (c == '*' || c == '/') {
      operandBefore = false;
    } else if (c != ' ') {
      operandBefore = true;
    }
    ++i;
  }
  return found;
}

bool findMulDiv(const std::string& text, int& position, std::string& op) {
  return scanFor(
      text,
      [](const std::string& t, int i) {
        const char c = at(t, i);
        return (c == '*' || c == '/') ? 1 : 0;
      },
      position, op);
}

}  // namespace

bool IsIdentChar(char c) { return isDigit(c) || isLetter(c) || c == '_'; }

void SkipSpaces(const std::string& text, int& position) {
  if (position <= 0 || position > length(text)) {
    position = 0;
    return;
  }
  while (position <= length(text) && at(text, position) == ' ') ++position;
  if (position > length(text)) position = 0;
}

bool IsAtEnd(const std::string& text, int position) {
  SkipSpaces(text, position);
  return position == 0;
}

std::string ReadIdentifier(const std::string& text, int& position) {
  return readRun(text, position, IsIdentChar);
}

std::string ReadNumber(const std::string& text, int& position) {
  return readRun(text, position, [](char c) { return isDigit(c) || c == '.'; });
}

std::string ReadQuoted(const std::string& text, int& position) {
  SkipSpaces(text, position);
  if (position == 0) return {};
  const std::size_t start = static_cast<std::size_t>(position);  // just after the opening quote
  const std::size_t close = text.find('\'', start);
  if (close == std::string::npos) {
    position = 0;
    return text.substr(std::min(start, text.size()));
  }
  position = static_cast<int>(close) + 2;
  if (position > length(text)) position = 0;
  return text.substr(start, close - start);
}

std::string ReadParenthesized(const std::string& text, int& position) {
  const int entry = position;
  SkipSpaces(text, position);
  if (position == 0)
    throw SyntaxExcept("Ocekavam: (", entry <= 0 || entry > length(text) ? length(text) + 1 : entry);
  if (at(text, position) != '(') throw SyntaxExcept("Ocekavam: (", position);
  const int start = position + 1;
  int depth = 1;
  int i = start;
  for (; i <= length(text); ++i) {
    const char c = at(text, i);
    if (c == '(') ++depth;
    if (c == ')' && --depth == 0) break;
  }
  if (depth != 0) throw SyntaxExcept("Ocekavam: )", length(text) + 1);
  position = i + 1 > length(text) ? 0 : i + 1;
  return text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(i - start));
}

bool FindOperator(const std::string& text, int& position, std::string& op) {
  for (auto* finder : {findAndOr, findComparison, findModDiv, findAddSub, findMulDiv})
    if (finder(text, position, op)) return true;
  return false;
}
