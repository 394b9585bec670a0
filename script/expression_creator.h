#pragma once
// The tools that turn expression texts into operator trees. A caller sets
// Command, runs DoIt and takes the output (the tree, or a TCondition around
// it); the output outlives the creator and belongs to the caller. Syntax
// errors leave DoIt as SyntaxExcept.
#include <string>

#include "framework/tool.h"
#include "script/condition.h"
#include "script/operator.h"

class TExpressionCreator : public TTool {
  ZELTO_ELEMENT(TExpressionCreator)
 public:
  std::string Command;

  // Output: the tree of Command with its own context list; nil for an
  // empty Command.
  void DoIt() override;
  // A new tree (context index 0 everywhere, no context list yet).
  virtual TOperator* Parse(const std::string& text);
};

class TCondCreator : public TExpressionCreator {
  ZELTO_ELEMENT(TCondCreator)
 public:
  // Output: a TCondition named "Condition"; without operand (testing false)
  // for an empty Command.
  void DoIt() override;
};

// The usual use in one call: the condition of a text (owned by the caller).
TCondition* CreateCondition(const std::string& text);
