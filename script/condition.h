#pragma once
// The yes/no wrapper around an expression: what a reader asks per object.
#include "script/operator.h"

class TCondition : public TOnePtrOperator {
  ZELTO_ELEMENT(TCondition)
 public:
  // True only for a boolean true; no operand, no result or another type
  // are all false. Frees the operand's value.
  bool Test();
  // Output: a new boolean holding Test.
  void DoIt() override;

 protected:
  void DeduceTypes() override { Allow(_Boolean); }
};
