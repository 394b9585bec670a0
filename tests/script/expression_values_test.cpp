#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "framework/type_elements.h"
#include "script/expression_creator.h"
#include "script/syntax_except.h"
#include "tests/script/script_test_support.h"

namespace {

// "5:7" is the integer 7, "3:3.5" a float, "0:true" a boolean, "-" no
// result, "! text @position" a syntax error.
std::string describe(const TTypeElement* value) {
  if (!value) return "-";
  std::string text;
  switch (value->GetTyp()) {
    case _Float: {
      char buffer[40];
      std::snprintf(buffer, sizeof buffer, "%.15g", value->GetAsFloat());
      text = buffer;
      break;
    }
    case _Boolean: text = value->GetAsBoolean() ? "true" : "false"; break;
    default: text = value->GetAsString(); break;
  }
  return std::to_string(static_cast<int>(value->GetTyp())) + ":" + text;
}

std::string evaluate(const std::string& expression, TElement* item) {
  TExpressionCreator creator;
  creator.Command = expression;
  try {
    creator.DoIt();
  } catch (const SyntaxExcept& e) {
    return std::string("! ") + e.what() + " @" + std::to_string(e.Position);
  }
  std::unique_ptr<TOperator> root(static_cast<TOperator*>(creator.Output()));
  if (!root) return "-";
  root->SetContextItem(0, item);
  root->DoIt();
  const std::string text = describe(dynamic_cast<TTypeElement*>(root->Output()));
  root->ClearResult();
  return text;
}

struct Row {
  const char* expression;
  const char* expected;
};

class ExpressionValues : public ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    probe.SetName("probe");
    probe.Attributes = {{"CISLO", "12"},  {"PLOCHA", "12,5"},         {"VYMERA", "2.5"},
                        {"KOD", "abc"},   {"PRAZDNY", ""},            {"DLOUHE", "12345678901"},
                        {"ZAPORNE", "-3"}, {"TEXT1", "Žluťoučký kůň"}};
    child.SetName("dite");
    probe.Add(&child);
  }
  void TearDown() override {
    probe.Remove(&child);
    ScriptTest::TearDown();
  }
  void check(const std::vector<Row>& rows) {
    for (const Row& row : rows) EXPECT_EQ(evaluate(row.expression, &probe), row.expected) << row.expression;
  }

  TExprProbe probe;
  TOwnerEntity child;
};

TEST_F(ExpressionValues, PrecedenceAndAssociativity) {
  check({
      {"7 + 3 MOD 4", "5:2"},
      {"10 - 4 - 3", "5:3"},
      {"2 * 3 + 4", "5:10"},
      {"2 + 3 * 4", "5:14"},
      {"(1 + 2) * 3", "5:9"},
      {"(1) 2", "5:1"},
      {"20 DIV 2 + 3", "5:4"},
      {"20 MOD 2 * 3", "5:2"},
      {"17 MOD 10 DIV 2", "5:3"},
      {"2 * 3 MOD 4", "5:2"},
      {"100 / 10 / 5", "3:2"},
      {"8 - 2 + 1", "5:7"},
      {"-2 * -3", "5:6"},
      {"2 * -x", "-"},
      {"- Pocet", "5:-7"},
      {"- (2 + 3)", "5:-5"},
      {"+3", "5:3"},
      {"+ Scale", "3:2.5"},
      {"1 + 2 = 3", "0:true"},
      {"a + 1 = Pocet", "-"},
      {"1 = 1 = (2 = 2)", "0:true"},
      {"(1 = 1) = (2 = 2)", "0:true"},
      {"1 < 2 AND 3 > 2", "0:true"},
      {"(1 < 2) AND (3 > 2)", "0:true"},
      {"(1 = 1) OR (1 = 2) AND (1 = 2)", "0:false"},
      {"(1 = 2) AND (1 = 2) OR (1 = 1)", "0:true"},
  });
}

TEST_F(ExpressionValues, ArithmeticTypes) {
  check({
      {"1 + 2", "5:3"},
      {"1 + 2.5", "3:3.5"},
      {"2.5 + 1", "3:3.5"},
      {"2.0", "5:2"},
      {"2.5", "3:2.5"},
      {"3000000000", "3:3000000000"},
      {"2147483647", "5:2147483647"},
      {"-2147483648", "5:-2147483648"},
      {"2147483647 + 1", "3:2147483648"},
      {"-2147483647 - 2", "3:-2147483649"},
      {"2147483647 - -1", "3:2147483648"},
      {"50000 * 50000", "3:2500000000"},
      {"40000 * 50000", "5:2000000000"},
      {"-50000 * 50000", "3:-2500000000"},
      {"3 * 2.5", "3:7.5"},
      {"7 / 2", "3:3.5"},
      {"6 / 3", "3:2"},
      {"1 / 0", "-"},
      {"1.5 / 0", "-"},
      {"7 DIV 2", "5:3"},
      {"-7 DIV 2", "5:-3"},
      {"7 DIV -2", "5:-3"},
      {"7 MOD 3", "5:1"},
      {"-7 MOD 3", "5:-1"},
      {"7 MOD -3", "5:1"},
      {"7 MOD 0", "-"},
      {"7 DIV 0", "-"},
      {"7.5 DIV 2", "-"},
      {"7 MOD 2.0", "5:1"},  // 2.0 is an integer constant
      {"-2147483648 DIV -1", "3:2147483648"},
      {"'a' + 'b'", "4:ab"},
      {"'a' + 1", "-"},
      {"Label + '!'", "4:Les!"},
      {"Letter + Letter", "4:bb"},
      {"'a' - 'b'", "-"},
      {"'a' * 2", "-"},
      {"Scale * 2", "3:5"},
      {"Pocet * Pocet", "5:49"},
      {"Pocet - 10", "5:-3"},
      {"Flag + 1", "-"},
  });
}

TEST_F(ExpressionValues, Functions) {
  check({
      {"ROUND(2.5)", "5:2"},
      {"ROUND(3.5)", "5:4"},
      {"ROUND(-2.5)", "5:-2"},
      {"ROUND(2.6)", "5:3"},
      {"ROUND(7)", "5:7"},
      {"ROUND(3000000000.5)", "-"},
      {"TRUNC(-2.7)", "5:-2"},
      {"TRUNC(2.7)", "5:2"},
      {"TRUNC(1e0)", "! Chyba v sytaxi @2"},  // no exponents; argument positions stay relative
      {"TRUNC(5000000000.5)", "-"},
      {"FRAC(-2.75)", "3:-0.75"},
      {"FRAC(3)", "3:0"},
      {"ABS(-3)", "5:3"},
      {"ABS(-2.5)", "3:2.5"},
      {"ABS(-2147483647 - 1)", "3:2147483648"},
      {"ABS('x')", "-"},
      {"LN(0)", "-"},
      {"LN(-1)", "-"},
      {"LN(1)", "3:0"},
      {"SQRT(-1)", "-"},
      {"SQRT(0)", "3:0"},
      {"SQRT(16)", "3:4"},
      {"SQR(3)", "3:9"},
      {"SQR(1.5)", "3:2.25"},
      {"EXP(0)", "3:1"},
      {"EXP(1000)", "-"},
      {"COS(0)", "3:1"},
      {"SIN(0)", "3:0"},
      {"ARCTAN(0)", "3:0"},
      {"ODD(-3)", "0:true"},
      {"ODD(4)", "0:false"},
      {"ODD(3.0)", "0:true"},
      {"ODD(2.5)", "-"},
      {"NOT 5", "-"},
      {"NOT (1 = 2)", "0:true"},
      {"NOT NOT (1 = 1)", "0:true"},
      {"-(1 = 1)", "-"},
      {"-'x'", "! Vyraz nema smysl @2"},
      {"ROUND('2')", "-"},
      {"COS('0')", "-"},
  });
}

TEST_F(ExpressionValues, Conversions) {
  check({
      {"TOINTEGER(2.7)", "5:2"},
      {"TOINTEGER(Letter)", "5:98"},
      {"TOINTEGER('5')", "-"},
      {"TOFLOAT(2)", "3:2"},
      {"TOFLOAT('2')", "-"},
      {"TOSTRING(1 = 1)", "4:true"},
      {"TOSTRING(42)", "4:42"},
      {"TOSTRING(Letter)", "4:b"},
      {"TOSTRING('x')", "4:x"},
      {"TOBOOLEAN(1)", "0:true"},
      {"TOBOOLEAN(0)", "0:false"},
      {"TOBOOLEAN(1.0)", "0:true"},  // a whole constant is an integer
      {"TOBOOLEAN(1.5)", "-"},
      {"TOBYTE(300 - 45)", "2:255"},
      {"TOBYTE(1 = 1)", "2:1"},
      {"TOCHAR(TOBYTE(65))", "1:A"},
      {"TOCHAR(65)", "-"},
      {"TOBYTE(65) + 1", "5:66"},
      {"TOBYTE(2) * TOBYTE(3)", "5:6"},
      {"ROUND(TOBYTE(7))", "2:7"},
      {"ABS(TOBYTE(7))", "2:7"},
      {"-TOBYTE(7)", "5:-7"},
      {"TOCHAR(Letter) = Letter", "0:true"},
  });
}

TEST_F(ExpressionValues, Comparisons) {
  check({
      {"0.1 + 0.2 = 0.3", "0:true"},
      {"0.1 + 0.2 > 0.3", "0:true"},
      {"1 = 1.0000000000001", "0:true"},
      {"1 = 1.00000000001", "0:false"},
      {"2 = 5 / 2.5", "0:true"},
      {"'1' = 1", "-"},
      {"'abc' < 'abd'", "0:true"},
      {"'B' < 'a'", "0:true"},
      {"'ab' < 'abc'", "0:true"},
      {"'abc' > 'ab'", "0:true"},
      {"'abc' = 'abc'", "0:true"},
      {"'abc' = 'ABC'", "0:false"},
      {"'z' < 'ž'", "0:true"},    // 0x7A before 0x9E in Windows-1250
      {"'ž' < 'á'", "0:true"},    // 0x9E before 0xE1, unlike the UTF-8 bytes
      {"'Š' < 'ž'", "0:true"},    // 0x8A before 0x9E
      {"(1 = 1) < (2 = 2)", "-"},
      {"(1 = 1) > (1 = 2)", "-"},
      {"(1 = 1) = (1 = 2)", "0:false"},
      {"Letter = Letter", "0:true"},
      {"Letter > TOCHAR(TOBYTE(97))", "0:true"},
      {"Letter = 'b'", "-"},  // a char and a string
      {"3 > 2", "0:true"},
      {"2 > 3", "0:false"},
      {"2 < 2", "0:false"},
      {"TOBYTE(3) = 3.0", "0:true"},
      {"NAME = 'abc", "0:false"},
      {"NOT (1 = 2)", "0:true"},
      {"(1 < 2) OR (1 = 2)", "0:true"},
  });
}

TEST_F(ExpressionValues, AndOrShortCircuitAndTypes) {
  check({
      {"(1 = 2) AND X", "0:false"},
      {"(1 = 1) OR X", "0:true"},
      {"(1 = 1) AND X", "-"},
      {"(1 = 2) OR X", "-"},
      {"(1 = 1) AND 5", "-"},
      {"5 AND (1 = 1)", "-"},
      {"(1 = 1) AND (2 = 2)", "0:true"},
      {"(1 = 1) AND (2 = 3)", "0:false"},
      {"(1 = 2) OR (2 = 3)", "0:false"},
      {"(1 = 2) AND (1 / 0 = 1)", "0:false"},
      {"Flag AND (Pocet = 7)", "0:true"},
      {"Flag OR Unknown", "0:true"},
  });
}

TEST_F(ExpressionValues, PropertiesOfTheElementUnderTest) {
  check({
      {"Pocet", "5:7"},
      {"pocet", "5:7"},
      {"Flag", "0:true"},
      {"Scale", "3:2.5"},
      {"Label", "4:Les"},
      {"Letter", "1:b"},
      {"Stupen", "2:200"},  // a byte property reads as a Byte
      {"Tint", "-"},  // an enumeration other than boolean
      {"Wide", "3:5000000000"},
      {"Target", "-"},
      {"Name", "4:probe"},
      {"Name = 'probe'", "0:true"},
      {"CISLO", "5:12"},
      {"CISLO + 1", "5:13"},
      {"PLOCHA", "3:12.5"},
      {"VYMERA", "3:2.5"},
      {"KOD", "4:abc"},
      {"PRAZDNY", "-"},
      {"DLOUHE", "3:12345678901"},
      {"ZAPORNE", "5:-3"},
      {"TEXT1 = 'Žluťoučký kůň'", "0:true"},
      {"Unknown", "-"},
      {"TRUE", "-"},
      {"FIND", "-"},
      {"Pocet > 5", "0:true"},
      {"(Pocet > 5) AND (KOD = 'abc')", "0:true"},
      {"Pocet MOD 2 = 1", "0:true"},
      {"Pocet MOD (2 = 1)", "-"},
      {"(Pocet MOD 2) = 1", "0:true"},
      {"CLASS(TExprProbe)", "0:true"},
      {"CLASS(texprprobe)", "0:true"},
      {"CLASS(TOwnerEntity)", "0:false"},
      {"CLASS( TExprProbe )", "0:false"},
      {"ANCESTOR(TOwnerEntity)", "0:true"},
      {"ANCESTOR(TElement)", "0:true"},
      {"ANCESTOR(TExprProbe)", "0:true"},
      {"ANCESTOR(TTool)", "0:false"},
      {"EXISTSPROP(Pocet)", "0:true"},
      {"EXISTSPROP(name)", "0:true"},
      {"EXISTSPROP(CISLO)", "0:false"},
      {"EXISTSPROP()", "0:false"},
      {"NOT CLASS(TElement)", "0:true"},
  });
}

TEST_F(ExpressionValues, SyntaxErrorsReachTheCreatorsCaller) {
  check({
      {"", "-"},  // an empty command gives no tree and no error
      {"   ", "! Ocekavam vyraz @1"},
      {"1 +", "! Ocekavam vyraz @4"},
      {"* 2", "! Ocekavam vyraz @1"},
      {"a <= b", "! Ocekavam vyraz @4"},
      {"(1 + 2", "! Ocekavam: ) @7"},
      {"12.5.1", "! Chybna hodnota @1"},
      {"3 x", "! Chyba v sytaxi @2"},
      {"ROUND", "! Ocekavam: ( @6"},
      {"FOO(1)", "! Chyba v systaxi @4"},
      {"ROUND(x) y", "! Chyba v syntaxi @9"},
      {"Owner.Name", "! Chyba v systaxi @6"},
      {"1 + (2 $)", "! Chyba v sytaxi @6"},
      {"NOT", "! Ocekavam vyraz @4"},
      {"X_AND", "! Ocekavam vyraz @6"},
      {"#", "! Nesmyslny znak @1"},
  });
}

TEST_F(ExpressionValues, WithoutAnElementPropertiesAndTestsGiveNoResult) {
  for (const char* text : {"Pocet", "CLASS(TExprProbe)", "ANCESTOR(TElement)", "EXISTSPROP(Pocet)"})
    EXPECT_EQ(evaluate(text, nullptr), "-") << text;
  EXPECT_EQ(evaluate("EXISTSPROP()", nullptr), "0:false");
  EXPECT_EQ(evaluate("1 + 1", nullptr), "5:2");
}

}  // namespace
