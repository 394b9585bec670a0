#pragma once
// The two-operand nodes: arithmetic, AND and OR, and the comparisons.
// Integer sums, differences and products that leave 32 bits become floats;
// a zero divisor and a float result beyond the double range give no result.
#include "script/operator.h"

#define ZELTO_BINARY_OPERATOR(Class, Base)                                      \
  class Class : public Base {                                                   \
    ZELTO_ELEMENT(Class)                                                        \
   protected:                                                                   \
    TTypeElement* Compute(const TTypeElement& a, const TTypeElement& b) override; \
    void DeduceTypes() override;                                                \
  };

ZELTO_BINARY_OPERATOR(TPlusOperator, TTwoPtrOperator)
ZELTO_BINARY_OPERATOR(TMinusOperator, TTwoPtrOperator)
ZELTO_BINARY_OPERATOR(TKratOperator, TTwoPtrOperator)
ZELTO_BINARY_OPERATOR(TDelenoOperator, TTwoPtrOperator)
ZELTO_BINARY_OPERATOR(TModOperator, TTwoPtrOperator)
ZELTO_BINARY_OPERATOR(TDivOperator, TTwoPtrOperator)

#undef ZELTO_BINARY_OPERATOR

// AND and OR look at the right operand only when the left one does not
// decide: both must be booleans.
class TAndOperator : public TTwoPtrOperator {
  ZELTO_ELEMENT(TAndOperator)
 public:
  void DoIt() override;

 protected:
  void DeduceTypes() override;
};

class TOrOperator : public TTwoPtrOperator {
  ZELTO_ELEMENT(TOrOperator)
 public:
  void DoIt() override;

 protected:
  void DeduceTypes() override;
};

// Values of one type, or two numbers. Strings compare by their Windows-1250
// character codes, numbers as floats ("=" within 1e-13), booleans only for
// equality.
class TCompareOperator : public TTwoPtrOperator {
  ZELTO_ELEMENT(TCompareOperator)
 protected:
  TTypeElement* Compute(const TTypeElement& a, const TTypeElement& b) override;
  void DeduceTypes() override;
  // From the order of a and b (-1, 0, 1) and whether they are equal; nullptr
  // when the comparison has no answer.
  virtual TTypeElement* Decide(int order, bool equal, bool ordered) = 0;
};

class TVetsiOperator : public TCompareOperator {
  ZELTO_ELEMENT(TVetsiOperator)
 protected:
  TTypeElement* Decide(int order, bool equal, bool ordered) override;
};

class TMensiOperator : public TCompareOperator {
  ZELTO_ELEMENT(TMensiOperator)
 protected:
  TTypeElement* Decide(int order, bool equal, bool ordered) override;
};

class TRovnoOperator : public TCompareOperator {
  ZELTO_ELEMENT(TRovnoOperator)
 protected:
  TTypeElement* Decide(int order, bool equal, bool ordered) override;
};
