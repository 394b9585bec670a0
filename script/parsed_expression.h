#pragma once
// What the parser makes of an expression text: a tree of plain nodes that
// says which operator, constant or property read stands where. The operator
// tree that evaluates is built from it; tests read it as a bracketed text.
#include <cstdint>
#include <memory>
#include <string>

namespace script {

struct ParsedNode {
  enum class Kind {
    Binary,       // Code: AND .. "/" ; Left and Right
    Unary,        // Code: NOT, a function or a test; Left
    UnaryMinus,   // Left
    IntegerConst, // Integer
    FloatConst,   // Float
    StringConst,  // Text
    PropertyRead, // Text: the name, upper-cased
  };
  Kind kind = Kind::IntegerConst;
  int Code = 0;
  std::int32_t Integer = 0;
  double Float = 0;
  std::string Text;
  std::unique_ptr<ParsedNode> Left;
  std::unique_ptr<ParsedNode> Right;

  // "(MOD (+ 7 3) 4)", "(NEG X)", "(CLASS 'TAreaElement')", "2.5".
  std::string ToText() const;
};

// Parses a whole expression text. Raises SyntaxExcept with a 1-based
// character position into `text`.
std::unique_ptr<ParsedNode> ParseExpression(const std::string& text);

}  // namespace script
