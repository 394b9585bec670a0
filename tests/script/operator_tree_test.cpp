#include <gtest/gtest.h>

#include <memory>

#include "framework/errors.h"
#include "framework/type_elements.h"
#include "script/binary_operators.h"
#include "script/expression_creator.h"
#include "script/operator_leaves.h"
#include "script/syntax_except.h"
#include "tests/script/script_test_support.h"

namespace {

using OperatorTree = ScriptTest;

std::unique_ptr<TOperator> treeOf(const std::string& text) {
  TExpressionCreator creator;
  creator.Command = text;
  creator.DoIt();
  return std::unique_ptr<TOperator>(static_cast<TOperator*>(creator.Output()));
}

TEST_F(OperatorTree, PuttingAnItemFillsTheListUpToIt) {
  TShortList list;
  TExprProbe probe;
  list.PutItem(3, &probe);
  ASSERT_EQ(list.Count(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(list.GetItem(i), &probe);
  EXPECT_THROW(list.GetItem(4), EListError);
}

TEST_F(OperatorTree, OneTreeServesManyElementsAndFreesItsIntermediateValues) {
  auto tree = treeOf("Pocet * 2 + 1");
  TExprProbe a, b;
  b.Pocet = 20;
  for (auto [item, expected] : {std::pair{&a, 15}, std::pair{&b, 41}}) {
    tree->SetContextItem(0, item);
    tree->DoIt();
    auto* value = dynamic_cast<TTypeElement*>(tree->Output());
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->GetAsInteger(), expected);
    // The product is gone once the sum has used it; a constant keeps its value.
    EXPECT_EQ(tree->GetOperand1()->Output(), nullptr);
    EXPECT_NE(tree->GetOperand2()->Output(), nullptr);
    tree->ClearResult();
  }
  // Every node reads the same list.
  EXPECT_EQ(tree->GetOperand1()->GetContextList(), tree->GetContextList());
  EXPECT_EQ(tree->GetOperand1()->GetOperand1()->GetContextList(), tree->GetContextList());
}

TEST_F(OperatorTree, FreeingATreeLeavesTheElementUnderTestAlone) {
  auto* probe = new TExprProbe();
  const platform::Handle handle = probe->GetHandle();
  {
    auto tree = treeOf("CLASS(TExprProbe) AND (Pocet = 7)");
    tree->SetContextItem(0, probe);
    tree->DoIt();
    tree->ClearResult();
  }
  EXPECT_EQ(TElement::FromHandle(handle), probe);
  delete probe;
}

TEST_F(OperatorTree, ConditionsAreTrueOnlyForABooleanTrue) {
  TExprProbe probe;
  const std::pair<const char*, bool> cases[] = {
      {"Pocet = 7", true}, {"Pocet = 8", false}, {"Pocet", false}, {"7 MOD 0 = 1", false}, {"", false},
  };
  for (auto [text, expected] : cases) {
    std::unique_ptr<TCondition> condition(CreateCondition(text));
    EXPECT_EQ(condition->GetName(), "Condition");
    condition->SetContextItem(0, &probe);
    EXPECT_EQ(condition->Test(), expected) << text;
    EXPECT_EQ(condition->GetOperand1() ? condition->GetOperand1()->Output() : nullptr, nullptr);
  }
  EXPECT_THROW(CreateCondition("Pocet ="), SyntaxExcept);
}

TEST_F(OperatorTree, TypeInferenceAnnouncesThePossibleResults) {
  auto flagsOf = [](const std::string& text) {
    auto tree = treeOf(text);
    tree->InferTypes();
    std::string flags;
    for (int code = 0; code < 8; ++code)
      if (tree->GetTypeFlag(code)) flags += std::to_string(code);
    tree->FreeTypeFlags();
    return flags;
  };
  EXPECT_EQ(flagsOf("1 + 2"), "5");
  EXPECT_EQ(flagsOf("1 + 2.5"), "3");
  EXPECT_EQ(flagsOf("'a' + 'b'"), "4");
  EXPECT_EQ(flagsOf("2 * 3"), "35");
  EXPECT_EQ(flagsOf("Pocet"), "01234567");
  EXPECT_EQ(flagsOf("Pocet + 1"), "35");
  EXPECT_EQ(flagsOf("ROUND(Pocet)"), "25");
  EXPECT_EQ(flagsOf("(1 = 1) = (2 = 2)"), "");  // booleans evaluate but are not announced
  EXPECT_EQ(flagsOf("CLASS(X) AND (1 < 2)"), "0");
  EXPECT_FALSE(treeOf("'a' - 1")->AnyTypePossible());
  EXPECT_TRUE(treeOf("Pocet - 1")->AnyTypePossible());
}

}  // namespace
