#pragma once
// The leaves of an expression tree: a constant, and the read of one
// property of the element under test.
#include <string>

#include "script/operator.h"

// Its output is its constant, which it keeps as a child and never clears.
class TConstOperator : public TNoPtrOperator {
  ZELTO_ELEMENT(TConstOperator)
 public:
  void DoIt() override { SetOutput(constant_); }
  void ClearResult() override {}
  void SetConstant(TTypeElement* element);
  TTypeElement* GetConstant() const { return constant_; }

 protected:
  void DeduceTypes() override;

 private:
  TTypeElement* constant_ = nullptr;
};

// Reads the property PropName of the element under test. A published
// property gives a value of its own type; anything else answering by name
// (dynamic and attribute properties) is read as text: a number becomes an
// integer or a float, other text a string, an empty text no result.
class TReadPropOperator : public TOnePtrOperator {
  ZELTO_ELEMENT(TReadPropOperator)
 public:
  // Operand 1 is the test that the class publishes the name.
  TReadPropOperator();
  void DoIt() override;
  void SetPropName(const std::string& name);
  const std::string& GetPropName() const { return PropName; }

  std::string PropName;

 protected:
  // A property may be of any type.
  void DeduceTypes() override;
};

namespace script {
// The value of a property text: an integer when whole and within 32 bits,
// else a float when numeric (either decimal separator), else a string;
// nullptr for an empty text.
TTypeElement* ValueOfPropertyText(const std::string& text);
}  // namespace script
