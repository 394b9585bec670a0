#pragma once
// The one-operand nodes: functions, unary minus, NOT and the conversions.
// Each takes the operand types its rule names and gives no result for any
// other, nor where the rule has no value (LN of 0, a float beyond 32 bits
// for ROUND, an EXP beyond the double range).
#include "script/operator.h"

#define ZELTO_UNARY_OPERATOR(Class)                                  \
  class Class : public TOnePtrOperator {                             \
    ZELTO_ELEMENT(Class)                                             \
   protected:                                                        \
    TTypeElement* Compute(const TTypeElement& a) override;           \
    void DeduceTypes() override;                                     \
  };

ZELTO_UNARY_OPERATOR(TAbsValOperator)
ZELTO_UNARY_OPERATOR(TRoundOperator)
ZELTO_UNARY_OPERATOR(TTruncOperator)
ZELTO_UNARY_OPERATOR(TCosOperator)
ZELTO_UNARY_OPERATOR(TSinOperator)
ZELTO_UNARY_OPERATOR(TArcTanOperator)
ZELTO_UNARY_OPERATOR(TExpOperator)
ZELTO_UNARY_OPERATOR(TFracOperator)
ZELTO_UNARY_OPERATOR(TLnOperator)
ZELTO_UNARY_OPERATOR(TSqrOperator)
ZELTO_UNARY_OPERATOR(TSqrtOperator)
ZELTO_UNARY_OPERATOR(TOddOperator)
ZELTO_UNARY_OPERATOR(TUnMinusOperator)
ZELTO_UNARY_OPERATOR(TNotOperator)
ZELTO_UNARY_OPERATOR(TNaBooleanOperator)
ZELTO_UNARY_OPERATOR(TNaCharOperator)
ZELTO_UNARY_OPERATOR(TNaByteOperator)
ZELTO_UNARY_OPERATOR(TNaIntegerOperator)
ZELTO_UNARY_OPERATOR(TNaFloatOperator)
ZELTO_UNARY_OPERATOR(TNaStringOperator)

#undef ZELTO_UNARY_OPERATOR
