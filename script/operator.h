#pragma once
// The nodes of an expression tree. Every node is a technology whose work is
// one typed value: it runs its operands (held as its sub-tools), computes
// from their values and leaves a new value element as its output, or no
// output at all when an operand gave none or had a type the node does not
// take. One context list, shared by all nodes, carries the element under
// test; the operands' values are freed as soon as their parent has used them.
#include <array>
#include <memory>

#include "framework/technology.h"
#include "framework/type_elements.h"
#include "script/short_list.h"

// Which result types a node may give, by type code (TType).
using TTypeFlags = std::array<bool, 8>;

class TOperator : public TTechnology {
  ZELTO_ELEMENT(TOperator)
 public:
  virtual void SetOperand1(TOperator* node) = 0;
  virtual TOperator* GetOperand1() const = 0;
  virtual void SetOperand2(TOperator* node) = 0;
  virtual TOperator* GetOperand2() const = 0;
  virtual void SetValue1(TElement* value) = 0;
  virtual TElement* GetValue1() const = 0;
  virtual void SetValue2(TElement* value) = 0;
  virtual TElement* GetValue2() const = 0;
  virtual void SetContextIndex(int index) = 0;
  virtual int GetContextIndex() const = 0;
  virtual void ResetOperandValues() = 0;
  virtual void SetContextList(TShortList* list) = 0;
  virtual TShortList* GetContextList() = 0;
  virtual bool GetTypeFlag(int code) const = 0;
  virtual void SetTypeFlag(int code, bool flag) = 0;
  virtual TTypeFlags GetTypeFlags() const = 0;
  virtual void SetTypeFlags(const TTypeFlags& flags) = 0;
  virtual void SetContextItem(int index, TElement* element) = 0;
  virtual TElement* GetContextItem(int index) = 0;
  virtual void EvaluateOperand1() = 0;
  virtual void EvaluateOperand2() = 0;
  virtual void ClearResult() = 0;
  virtual bool AnyTypePossible() = 0;
  virtual void InferTypes() = 0;
  virtual void FreeTypeFlags() = 0;
};

// Context list, context index and type flags; no operands.
class TNoPtrOperator : public TOperator {
  ZELTO_ELEMENT(TNoPtrOperator)
 public:
  void SetOperand1(TOperator*) override {}
  TOperator* GetOperand1() const override { return nullptr; }
  void SetOperand2(TOperator*) override {}
  TOperator* GetOperand2() const override { return nullptr; }
  void SetValue1(TElement*) override {}
  TElement* GetValue1() const override { return nullptr; }
  void SetValue2(TElement*) override {}
  TElement* GetValue2() const override { return nullptr; }
  void SetContextIndex(int index) override { contextIndex_ = index; }
  int GetContextIndex() const override { return contextIndex_; }
  void ResetOperandValues() override {}
  void SetContextList(TShortList* list) override;
  TShortList* GetContextList() override;
  bool GetTypeFlag(int code) const override;
  void SetTypeFlag(int code, bool flag) override;
  TTypeFlags GetTypeFlags() const override;
  void SetTypeFlags(const TTypeFlags& flags) override;
  void SetContextItem(int index, TElement* element) override;
  TElement* GetContextItem(int index) override;
  void EvaluateOperand1() override {}
  void EvaluateOperand2() override {}
  void ClearResult() override;
  bool AnyTypePossible() override;
  // Allocates the flags, infers the operands, clears the flags, lets the
  // class set its own (DeduceTypes) and frees the operands' flags.
  void InferTypes() override;
  void FreeTypeFlags() override { typeFlags_.reset(); }

  // The element under test for this node (nullptr when none was put).
  TElement* Item() { return GetContextItem(contextIndex_); }

 protected:
  virtual void DeduceTypes() {}
  // Whether the operand's inference allowed the type (false without one).
  static bool May(const TOperator* operand, TType type) { return operand && operand->GetTypeFlag(type); }
  void Allow(TType type) { SetTypeFlag(type, true); }

 private:
  std::unique_ptr<TTypeFlags> typeFlags_;
  TShortList* contextList_ = nullptr;
  int contextIndex_ = 0;
};

// One operand. Its DoIt is the protocol of the unary operators: evaluate
// operand 1, hand a typed value to Compute, keep what it returns.
class TOnePtrOperator : public TNoPtrOperator {
  ZELTO_ELEMENT(TOnePtrOperator)
 public:
  void SetOperand1(TOperator* node) override;
  TOperator* GetOperand1() const override { return operand1_; }
  void SetValue1(TElement* value) override { value1_ = value; }
  TElement* GetValue1() const override { return value1_; }
  void ResetOperandValues() override;
  void SetContextList(TShortList* list) override;
  void EvaluateOperand1() override;
  void DoIt() override;

 protected:
  // A new value element, or nullptr for no result.
  virtual TTypeElement* Compute(const TTypeElement& a) { return nullptr; }
  // Base DoIt and output nil: the first steps of every node's DoIt.
  void BeginEvaluation();
  // The values as typed elements (nullptr when missing).
  TTypeElement* Typed1() const { return dynamic_cast<TTypeElement*>(value1_); }
  // Keeps the result and frees the operands' values.
  void Finish(TTypeElement* result);

 private:
  TOperator* operand1_ = nullptr;
  TElement* value1_ = nullptr;
};

// Two operands; the right one runs only when the left one gave a value.
class TTwoPtrOperator : public TOnePtrOperator {
  ZELTO_ELEMENT(TTwoPtrOperator)
 public:
  void SetOperand2(TOperator* node) override;
  TOperator* GetOperand2() const override { return operand2_; }
  void SetValue2(TElement* value) override { value2_ = value; }
  TElement* GetValue2() const override { return value2_; }
  void ResetOperandValues() override;
  void SetContextList(TShortList* list) override;
  void EvaluateOperand2() override;
  void DoIt() override;

 protected:
  virtual TTypeElement* Compute(const TTypeElement& a, const TTypeElement& b) { return nullptr; }
  TTypeElement* Typed2() const { return dynamic_cast<TTypeElement*>(value2_); }

 private:
  TOperator* operand2_ = nullptr;
  TElement* value2_ = nullptr;
};

namespace script {
// Type classes of the operator rules.
inline bool IsIntegral(TType t) { return t == _Byte || t == _Integer; }
inline bool IsNumeric(TType t) { return t == _Byte || t == _Integer || t == _Float; }
}  // namespace script
