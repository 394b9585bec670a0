#pragma once
// Tests of the element under test by a name given as a string operand: its
// class, one of its ancestor classes, or a published property.
#include "script/operator.h"

// True when the class name equals the text (a..z in either case).
class TClassIsOperator : public TOnePtrOperator {
  ZELTO_ELEMENT(TClassIsOperator)
 public:
  void DoIt() override;

 protected:
  void DeduceTypes() override { Allow(_Boolean); }
};

// True when the class or any class it descends from bears the name.
class TIsAncestorOperator : public TOnePtrOperator {
  ZELTO_ELEMENT(TIsAncestorOperator)
 public:
  void DoIt() override;

 protected:
  void DeduceTypes() override { Allow(_Boolean); }
};

// True when the class publishes a property of that name; dynamic and
// attribute properties do not count. An empty name is false.
class TPropExistsOperator : public TOnePtrOperator {
  ZELTO_ELEMENT(TPropExistsOperator)
 public:
  void DoIt() override;

 protected:
  void DeduceTypes() override { Allow(_Boolean); }
};
