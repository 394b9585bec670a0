#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/expression_keywords.h"
#include "script/expression_scanner.h"
#include "script/parsed_expression.h"
#include "script/syntax_except.h"

namespace {

std::string treeOf(const std::string& text) { return script::ParseExpression(text)->ToText(); }

std::string failureOf(const std::string& text) {
  try {
    script::ParseExpression(text);
  } catch (const SyntaxExcept& e) {
    return std::string(e.what()) + " @" + std::to_string(e.Position);
  }
  return "(parsed)";
}

struct Shape {
  const char* text;
  const char* tree;
};

TEST(ExpressionParser, OperatorsSplitAtTheLoosestRightmostOperator) {
  const std::vector<Shape> cases = {
      {"7 + 3 MOD 4", "(MOD (+ 7 3) 4)"},
      {"a MOD b + c", "(MOD A (+ B C))"},
      {"10 - 4 - 3", "(- (- 10 4) 3)"},
      {"2 * 3 + 4", "(+ (* 2 3) 4)"},
      {"a + 1 = b * 2", "(= (+ A 1) (* B 2))"},
      {"a = b = c", "(= (= A B) C)"},
      {"a AND b OR c", "(OR (AND A B) C)"},
      {"a OR b AND c", "(AND (OR A B) C)"},
      {"(1 + 2) * 3", "(* (+ 1 2) 3)"},
      {"2 * -3", "(* 2 -3)"},
      {"2 * -x", "(* 2 (NEG X))"},
      {"a - -b", "(- A (NEG B))"},
      {"8 / 4 / 2", "(/ (/ 8 4) 2)"},
      {"a < b", "(< A B)"},
      {"x dIv 2 mod 3", "(MOD (DIV X 2) 3)"},
      {"A OR1", "(OR A 1)"},
      {"'a+b' + 'c'", "(+ 'a+b' 'c')"},
      {"NAME = 'abc", "(= NAME 'abc')"},
      {"NOT (a = b)", "(NOT (= A B))"},
      {"NOT a = b", "(= (NOT A) B)"},
      {"(a < b) OR (a = b)", "(OR (< A B) (= A B))"},
  };
  for (const auto& c : cases) EXPECT_EQ(treeOf(c.text), c.tree) << c.text;
}

TEST(ExpressionParser, PrimariesConstantsAndNames) {
  const std::vector<Shape> cases = {
      {"-5", "-5"},
      {"-2.5", "-2.5f"},
      {"+3", "3"},
      {"2.0", "2"},
      {"3000000000", "3000000000f"},
      {"-2147483648", "-2147483648"},
      {"2147483648", "2147483648f"},
      {"  'a b' ", "'a b'"},
      {"(1) 2", "1"},
      {"ORDER", "ORDER"},
      {"anders", "ANDERS"},
      {"FIND", "FIND"},
      {"findfirst", "FINDFIRST"},
      {"TRUE", "TRUE"},
      {"_x1", "_X1"},
      {"ROUND(2.5)", "(ROUND 2.5f)"},
      {"tointeger(x + 1)", "(TOINTEGER (+ X 1))"},
      {"CLASS(TAreaElement)", "(CLASS 'TAreaElement')"},
      {"CLASS( TAreaElement )", "(CLASS ' TAreaElement ')"},
      {"EXISTSPROP(Name)", "(EXISTSPROP 'Name')"},
      {"NOT NOT x", "(NOT (NOT X))"},
  };
  for (const auto& c : cases) EXPECT_EQ(treeOf(c.text), c.tree) << c.text;
}

struct Failure {
  const char* text;
  const char* error;
};

TEST(ExpressionParser, SyntaxErrorsNameTheirTextAndAbsolutePosition) {
  const std::vector<Failure> cases = {
      {"", "Ocekavam vyraz @1"},
      {"   ", "Ocekavam vyraz @1"},
      {"1 +", "Ocekavam vyraz @4"},
      {"* 2", "Ocekavam vyraz @1"},
      {"a <= b", "Ocekavam vyraz @4"},
      {"(1 + 2", "Ocekavam: ) @7"},
      {"- 'x'", "Vyraz nema smysl @3"},
      {"+ 'x'", "Vyraz nema smysl @3"},
      {"-", "Ocekavam vyraz @2"},
      {"12.5.1", "Chybna hodnota @1"},
      {"3 x", "Chyba v sytaxi @2"},
      {"ROUND", "Ocekavam: ( @6"},
      {"ROUND (x)", "Ocekavam: ( @6"},
      {"ROUND(x) y", "Chyba v syntaxi @9"},
      {"FOO(1)", "Chyba v systaxi @4"},
      {"Owner.Name", "Chyba v systaxi @6"},
      {"'a' b", "Chyba v syntaxi @4"},
      {"'it''s'", "Chyba v syntaxi @5"},  // no escaped quotes
      {"X_AND", "Ocekavam vyraz @6"},
      {"1+(2 $)", "Chyba v sytaxi @5"},
      {"1 + (2 $)", "Chyba v sytaxi @6"},
      {"NOT", "Ocekavam vyraz @4"},
      {"NOT  ", "Ocekavam vyraz @6"},
      {"1 + $", "Nesmyslny znak @5"},
      {"a = ROUND(", "Ocekavam: ) @11"},
      {"1 + -", "Ocekavam vyraz @6"},
      {"ROUND(1 +)", "Ocekavam vyraz @4"},  // function arguments keep their own positions
      {"'ž' + 2 x", "Chyba v sytaxi @8"},   // characters, not bytes
  };
  for (const auto& c : cases) EXPECT_EQ(failureOf(c.text), c.error) << c.text;
}

TEST(ExpressionScanner, ReadersMoveThePositionAndEndAtZero) {
  int p = 1;
  EXPECT_EQ(ReadIdentifier("  ab_1+c", p), "ab_1");
  EXPECT_EQ(p, 7);
  p = 3;
  EXPECT_EQ(ReadNumber("x 12.5", p), "12.5");
  EXPECT_EQ(p, 0);
  p = 1;
  EXPECT_EQ(ReadQuoted(" 'a b' c", p), "a b");
  EXPECT_EQ(p, 7);
  p = 1;
  EXPECT_EQ(ReadQuoted("'open", p), "open");
  EXPECT_EQ(p, 0);
  p = 1;
  // Quotes do not protect parentheses here.
  EXPECT_EQ(ReadParenthesized(" (a (b) ')') x", p), "a (b) '");
  EXPECT_EQ(p, 11);
  p = 4;
  EXPECT_TRUE(IsAtEnd("ab   ", p));
  EXPECT_FALSE(IsAtEnd("ab \tc", 3));  // a tab is no blank
  EXPECT_EQ(FindKeyword("tostring"), script::kwToString);
  EXPECT_EQ(FindKeyword("<"), script::kwLess);
  EXPECT_EQ(FindKeyword("FOO"), 0);
  EXPECT_EQ(FindKeyword(""), 0);
}

TEST(ExpressionScanner, AnUnclosedGroupAnywhereAtTheTopFailsTheSearch) {
  int p = 0;
  std::string op;
  EXPECT_THROW(FindOperator("a + (b", p, op), SyntaxExcept);
  EXPECT_FALSE(FindOperator("(a + b) 'c + d'", p, op));
  ASSERT_TRUE(FindOperator("a and b", p, op));
  EXPECT_EQ(op, "and");
  EXPECT_EQ(p, 6);
}

}  // namespace
