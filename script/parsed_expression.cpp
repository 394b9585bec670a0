#include "framework/name_compare.h"
#include "script/parsed_expression.h"

#include <cmath>
#include <limits>

#include "framework/string_utils.h"
#include "script/expression_keywords.h"
#include "script/expression_scanner.h"
#include "script/syntax_except.h"

namespace script {

namespace {

using Node = std::unique_ptr<ParsedNode>;

int length(const std::string& text) { return static_cast<int>(text.size()); }
char at(const std::string& text, int position) { return text[static_cast<std::size_t>(position - 1)]; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
// From the 1-based position to the end.
std::string from(const std::string& text, int position) {
  return position > length(text) ? std::string() : text.substr(static_cast<std::size_t>(position - 1));
}

Node make(ParsedNode::Kind kind, int code = 0) {
  auto node = std::make_unique<ParsedNode>();
  node->kind = kind;
  node->Code = code;
  return node;
}

// Runs a nested parse and makes its error position count from this text.
template <class F>
Node shifted(int offset, F&& parse) {
  try {
    return parse();
  } catch (SyntaxExcept& e) {
    e.Position += offset;
    throw;
  }
}

// A whole number that fits 32 bits is an integer constant; anything else,
// larger whole numbers included, a float.
Node numberConstant(double value) {
  if (value == std::trunc(value) && value >= std::numeric_limits<std::int32_t>::min() &&
      value <= std::numeric_limits<std::int32_t>::max()) {
    Node node = make(ParsedNode::Kind::IntegerConst);
    node->Integer = static_cast<std::int32_t>(value);
    return node;
  }
  Node node = make(ParsedNode::Kind::FloatConst);
  node->Float = value;
  return node;
}

// The number at position p (a digit stands there); nothing may follow it.
Node readNumberConstant(const std::string& text, int p, bool negate) {
  const int start = p;
  const std::string digits = ReadNumber(text, p);
  if (!IsAtEnd(text, p)) throw SyntaxExcept("Chyba v sytaxi", p);
  const auto value = framework::ParseFixedPoint(digits);
  if (!value) throw SyntaxExcept("Chybna hodnota", start);
  return numberConstant(negate ? -*value : *value);
}

Node parse(const std::string& text);

// After a function or test name: the argument group, with nothing after it.
std::string readArgument(const std::string& text, int& p) {
  if (p == 0) throw SyntaxExcept("Ocekavam: (", length(text) + 1);
  if (at(text, p) != '(') throw SyntaxExcept("Ocekavam: (", p);
  std::string inside = ReadParenthesized(text, p);
  if (!IsAtEnd(text, p)) throw SyntaxExcept("Chyba v syntaxi", p);
  return inside;
}

Node parseWord(const std::string& text, int p) {
  std::string word = zelto::UpperAZ(ReadIdentifier(text, p));
  const int code = FindKeyword(word);
  if (IsTestKeyword(code)) {
    const std::string inside = readArgument(text, p);
    Node node = make(ParsedNode::Kind::Unary, code);
    // The argument is a name taken literally, as if the user had quoted it.
    node->Left = parse("'" + inside + "'");
    return node;
  }
  if (IsFunctionKeyword(code)) {
    const std::string inside = readArgument(text, p);
    Node node = make(ParsedNode::Kind::Unary, code);
    node->Left = parse(inside);
    return node;
  }
  if (code == kwNot) {
    if (IsAtEnd(text, p)) throw SyntaxExcept("Ocekavam vyraz", length(text) + 1);
    Node node = make(ParsedNode::Kind::Unary, code);
    node->Left = parse(from(text, p));
    return node;
  }
  if (!IsAtEnd(text, p)) throw SyntaxExcept("Chyba v systaxi", p);
  Node node = make(ParsedNode::Kind::PropertyRead);
  node->Text = word;
  return node;
}

Node parsePrimary(const std::string& text) {
  const int L = length(text);
  int p = 1;
  SkipSpaces(text, p);
  const char c = at(text, p);
  if (c == '\'') {
    Node node = make(ParsedNode::Kind::StringConst);
    node->Text = ReadQuoted(text, p);
    if (!IsAtEnd(text, p)) throw SyntaxExcept("Chyba v syntaxi", p);
    return node;
  }
  if (c == '(') {
    const std::string inside = ReadParenthesized(text, p);
    // Whatever follows the group is not looked at.
    return shifted(1, [&] { return parse(inside); });
  }
  if (c == '-') {
    ++p;
    SkipSpaces(text, p);
    if (p == 0) throw SyntaxExcept("Ocekavam vyraz", L + 1);
    if (at(text, p) == '\'') throw SyntaxExcept("Vyraz nema smysl", p);
    if (isDigit(at(text, p))) return readNumberConstant(text, p, true);
    Node node = make(ParsedNode::Kind::UnaryMinus);
    node->Left = shifted(p - 1, [&] { return parse(from(text, p)); });
    return node;
  }
  if (c == '+') {
    ++p;
    int ahead = p;
    SkipSpaces(text, ahead);
    if (ahead == 0) throw SyntaxExcept("Ocekavam vyraz", L + 1);
    if (at(text, ahead) == '\'') throw SyntaxExcept("Vyraz nema smysl", ahead);
    return shifted(p - 1, [&] { return parse(from(text, p)); });
  }
  if (isDigit(c)) return readNumberConstant(text, p, false);
  if (isLetter(c) || c == '_') return parseWord(text, p);
  throw SyntaxExcept("Nesmyslny znak", p);
}

Node parse(const std::string& text) {
  if (IsAtEnd(text, 1)) throw SyntaxExcept("Ocekavam vyraz", 1);
  int p = 0;
  std::string op;
  if (FindOperator(text, p, op)) {
    op = zelto::UpperAZ(op);
    const int k = length(op);
    if (p == 0) throw SyntaxExcept("Ocekavam vyraz", length(text) + 1);
    if (p - k == 1) throw SyntaxExcept("Ocekavam vyraz", 1);
    Node node = make(ParsedNode::Kind::Binary, FindKeyword(op));
    node->Left = parse(text.substr(0, static_cast<std::size_t>(p - k - 1)));
    node->Right = shifted(p - 1, [&] { return parse(from(text, p)); });
    return node;
  }
  return parsePrimary(text);
}

// The parse counts bytes; the user counts characters of the UTF-8 text.
int characterPosition(const std::string& text, int bytePosition) {
  int characters = 0;
  const int end = std::min(bytePosition - 1, length(text));
  for (int i = 0; i < end; ++i)
    if ((static_cast<unsigned char>(text[static_cast<std::size_t>(i)]) & 0xC0) != 0x80) ++characters;
  return characters + 1 + std::max(0, bytePosition - 1 - length(text));
}

std::string floatText(double value) {
  std::string text = std::to_string(value);
  while (!text.empty() && text.back() == '0') text.pop_back();
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

}  // namespace

std::string ParsedNode::ToText() const {
  switch (kind) {
    case Kind::Binary:
      return "(" + KeywordText(Code) + " " + Left->ToText() + " " + Right->ToText() + ")";
    case Kind::Unary:
      return "(" + KeywordText(Code) + " " + Left->ToText() + ")";
    case Kind::UnaryMinus:
      return "(NEG " + Left->ToText() + ")";
    case Kind::IntegerConst:
      return std::to_string(Integer);
    case Kind::FloatConst:
      return floatText(Float) + "f";
    case Kind::StringConst:
      return "'" + Text + "'";
    case Kind::PropertyRead:
      return Text;
  }
  return {};
}

std::unique_ptr<ParsedNode> ParseExpression(const std::string& text) {
  try {
    return parse(text);
  } catch (SyntaxExcept& e) {
    e.Position = characterPosition(text, e.Position);
    throw;
  }
}

}  // namespace script
