#include "script/expression_creator.h"

#include "script/binary_operators.h"
#include "script/element_tests.h"
#include "script/expression_keywords.h"
#include "script/operator_leaves.h"
#include "script/parsed_expression.h"
#include "script/unary_operators.h"

ZELTO_IMPLEMENT_ELEMENT(TExpressionCreator, TTool,
                        [](auto& p) { p.String("Command", &TExpressionCreator::Command, &TExpressionCreator::Command); })
ZELTO_IMPLEMENT_ELEMENT(TCondCreator, TExpressionCreator, ZELTO_NO_PROPERTIES)

namespace {

using script::ParsedNode;

TOperator* nodeOfKeyword(int code) {
  using namespace script;
  switch (code) {
    case kwClass: return new TClassIsOperator();
    case kwAncestor: return new TIsAncestorOperator();
    case kwExistsProp: return new TPropExistsOperator();
    case kwRound: return new TRoundOperator();
    case kwTrunc: return new TTruncOperator();
    case kwCos: return new TCosOperator();
    case kwSin: return new TSinOperator();
    case kwArcTan: return new TArcTanOperator();
    case kwExp: return new TExpOperator();
    case kwFrac: return new TFracOperator();
    case kwLn: return new TLnOperator();
    case kwSqr: return new TSqrOperator();
    case kwSqrt: return new TSqrtOperator();
    case kwOdd: return new TOddOperator();
    case kwAbs: return new TAbsValOperator();
    case kwNot: return new TNotOperator();
    case kwAnd: return new TAndOperator();
    case kwOr: return new TOrOperator();
    case kwMod: return new TModOperator();
    case kwDiv: return new TDivOperator();
    case kwLess: return new TMensiOperator();
    case kwGreater: return new TVetsiOperator();
    case kwEqual: return new TRovnoOperator();
    case kwPlus: return new TPlusOperator();
    case kwMinus: return new TMinusOperator();
    case kwTimes: return new TKratOperator();
    case kwDivide: return new TDelenoOperator();
    case kwToBoolean: return new TNaBooleanOperator();
    case kwToChar: return new TNaCharOperator();
    case kwToByte: return new TNaByteOperator();
    case kwToFloat: return new TNaFloatOperator();
    case kwToString: return new TNaStringOperator();
    case kwToInteger: return new TNaIntegerOperator();
    default: return nullptr;
  }
}

TOperator* constant(TTypeElement* value) {
  auto* node = new TConstOperator();
  node->SetConstant(value);
  return node;
}

TOperator* build(const ParsedNode& parsed) {
  TOperator* node = nullptr;
  switch (parsed.kind) {
    case ParsedNode::Kind::Binary:
    case ParsedNode::Kind::Unary:
      node = nodeOfKeyword(parsed.Code);
      break;
    case ParsedNode::Kind::UnaryMinus:
      node = new TUnMinusOperator();
      break;
    case ParsedNode::Kind::IntegerConst:
      node = constant(new TIntegerElement(parsed.Integer));
      break;
    case ParsedNode::Kind::FloatConst:
      node = constant(new TFloatElement(parsed.Float));
      break;
    case ParsedNode::Kind::StringConst:
      node = constant(new TStringElement(parsed.Text));
      break;
    case ParsedNode::Kind::PropertyRead: {
      auto* read = new TReadPropOperator();
      read->SetPropName(parsed.Text);
      node = read;
      break;
    }
  }
  if (parsed.Left) node->SetOperand1(build(*parsed.Left));
  if (parsed.Right) node->SetOperand2(build(*parsed.Right));
  node->SetContextIndex(0);
  return node;
}

}  // namespace

TOperator* TExpressionCreator::Parse(const std::string& text) {
  // The plain tree is complete before any node exists, so a syntax error
  // leaves nothing behind to free.
  return build(*script::ParseExpression(text));
}

void TExpressionCreator::DoIt() {
  SetOutput(nullptr);
  if (Command.empty()) return;
  TOperator* root = Parse(Command);
  root->SetContextList(new TShortList());
  SetOutput(root);
}

void TCondCreator::DoIt() {
  auto* condition = new TCondition();
  condition->SetName("Condition");
  SetOutput(condition);
  if (Command.empty()) return;
  condition->SetOperand1(Parse(Command));
  condition->SetContextList(new TShortList());
}

TCondition* CreateCondition(const std::string& text) {
  TCondCreator creator;
  creator.Command = text;
  try {
    creator.DoIt();
  } catch (...) {
    delete creator.Output();
    throw;
  }
  return static_cast<TCondition*>(creator.Output());
}
