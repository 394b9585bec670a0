#pragma once
// Named values of one fixed type that convert to and from every other type
// through one protocol. They carry the values of expressions, the attributes
// of dynamic attribute sets and the entries of name=value lists. No
// conversion raises: a setter given what it cannot take leaves the value, a
// getter that cannot convert gives the type's zero.
#include <cstdint>
#include <string>

#include "framework/element.h"

class TIntegerListElement;

enum TType : std::uint8_t { _Boolean, _Char, _Byte, _Float, _String, _Integer, _Pointer, _Other };

class TTypeElement : public TOwnerElement {
  ZELTO_ELEMENT(TTypeElement)
 public:
  virtual TType GetTyp() const { return _Other; }
  virtual std::string GetTypeAsString() const { return {}; }
  virtual std::uint8_t GetAsByte() const { return 0; }
  virtual void SetAsByte(std::uint8_t) {}
  virtual std::int32_t GetAsInteger() const { return 0; }
  virtual void SetAsInteger(std::int32_t) {}
  // A character is a code point 0..255 (texts carry it as UTF-8).
  virtual std::uint8_t GetAsChar() const { return 0; }
  virtual void SetAsChar(std::uint8_t) {}
  virtual std::string GetAsString() const { return {}; }
  virtual void SetAsString(const std::string&) {}
  virtual double GetAsFloat() const { return 0.0; }
  virtual void SetAsFloat(double) {}
  virtual bool GetAsBoolean() const { return false; }
  virtual void SetAsBoolean(bool) {}
  virtual std::intptr_t GetAsPointer() const { return 0; }
  virtual void SetAsPointer(std::intptr_t) {}
  // The name with a..z in capitals.
  virtual std::string GetUpperName() const;
  // A new element of the class the operation belongs to, with the same name
  // and value (no owners); nullptr here.
  virtual TTypeElement* Clone() const { return nullptr; }

 protected:
  template <class T>
  T* CloneAs() const {
    auto* copy = new T();
    copy->SetName(StoredName());
    return copy;
  }
  std::string StoredName() const { return HasName() ? GetName() : std::string(); }
};

class TBooleanElement : public TTypeElement {
  ZELTO_ELEMENT(TBooleanElement)
 public:
  TBooleanElement() = default;
  explicit TBooleanElement(bool value) : Value(value) {}
  bool Value = false;

  TType GetTyp() const override { return _Boolean; }
  std::string GetTypeAsString() const override { return "boolean"; }
  std::uint8_t GetAsByte() const override { return Value ? 1 : 0; }
  void SetAsByte(std::uint8_t v) override { Value = v != 0; }
  // "true"/"false", exactly and in lower case.
  std::string GetAsString() const override { return Value ? "true" : "false"; }
  void SetAsString(const std::string& text) override;
  bool GetAsBoolean() const override { return Value; }
  void SetAsBoolean(bool v) override { Value = v; }
  TTypeElement* Clone() const override;
};

class TCharElement : public TTypeElement {
  ZELTO_ELEMENT(TCharElement)
 public:
  TCharElement() = default;
  explicit TCharElement(std::uint8_t value) : Value(value) {}
  std::uint8_t Value = 0;

  TType GetTyp() const override { return _Char; }
  std::string GetTypeAsString() const override { return "char"; }
  std::uint8_t GetAsByte() const override { return Value; }
  void SetAsByte(std::uint8_t v) override { Value = v; }
  std::int32_t GetAsInteger() const override { return Value; }
  // Only 1..255 are characters; anything else leaves the value.
  void SetAsInteger(std::int32_t v) override;
  std::uint8_t GetAsChar() const override { return Value; }
  void SetAsChar(std::uint8_t v) override { Value = v; }
  std::string GetAsString() const override;
  // The first character; an empty text (or one beyond code point 255) leaves
  // the value.
  void SetAsString(const std::string& text) override;
  TTypeElement* Clone() const override;
};

class TByteElement : public TTypeElement {
  ZELTO_ELEMENT(TByteElement)
 public:
  TByteElement() = default;
  explicit TByteElement(std::uint8_t value) : Value(value) {}
  std::uint8_t Value = 0;

  TType GetTyp() const override { return _Byte; }
  std::string GetTypeAsString() const override { return "byte"; }
  std::uint8_t GetAsByte() const override { return Value; }
  void SetAsByte(std::uint8_t v) override { Value = v; }
  std::int32_t GetAsInteger() const override { return Value; }
  void SetAsInteger(std::int32_t v) override;
  std::uint8_t GetAsChar() const override { return Value; }
  void SetAsChar(std::uint8_t v) override { Value = v; }
  std::string GetAsString() const override { return std::to_string(Value); }
  // A whole number 0..255; anything else ("300" included) leaves the value.
  void SetAsString(const std::string& text) override;
  double GetAsFloat() const override { return Value; }
  void SetAsFloat(double v) override;
  bool GetAsBoolean() const override { return Value != 0; }
  void SetAsBoolean(bool v) override { Value = v ? 1 : 0; }
  TTypeElement* Clone() const override;
};

class TFloatElement : public TTypeElement {
  ZELTO_ELEMENT(TFloatElement)
 public:
  TFloatElement() = default;
  explicit TFloatElement(double value) : Value(value) {}
  double Value = 0.0;

  TType GetTyp() const override { return _Float; }
  std::string GetTypeAsString() const override { return "float"; }
  // Truncated; 0 when it does not fit 32 bits.
  std::int32_t GetAsInteger() const override;
  void SetAsInteger(std::int32_t v) override { Value = v; }
  // The 23-character scientific text.
  std::string GetAsString() const override;
  void SetAsString(const std::string& text) override;
  double GetAsFloat() const override { return Value; }
  void SetAsFloat(double v) override { Value = v; }
  TTypeElement* Clone() const override;
};

class TStringElement : public TTypeElement {
  ZELTO_ELEMENT(TStringElement)
 public:
  TStringElement() = default;
  explicit TStringElement(std::string value) : Value(std::move(value)) {}
  static TStringElement* CreateNamed(const std::string& name, const std::string& text);
  // The same for a class derived from TStringElement (TPathElement); a class
  // that is not one gives a TStringElement.
  static TStringElement* CreateNamed(const TElementClass& cls, const std::string& name, const std::string& text);
  static TStringElement* CreateNameIsValue(const std::string& text);
  std::string Value;

  TType GetTyp() const override { return _String; }
  std::string GetTypeAsString() const override { return "string"; }
  std::int32_t GetAsInteger() const override;
  void SetAsInteger(std::int32_t v) override { Value = std::to_string(v); }
  std::string GetAsString() const override { return Value; }
  void SetAsString(const std::string& text) override { Value = text; }
  double GetAsFloat() const override;
  void SetAsFloat(double v) override;
  // A number that is not 0, or "TRUE" / "ANO" in any case.
  bool GetAsBoolean() const override;
  void SetAsBoolean(bool v) override { Value = v ? "TRUE" : "FALSE"; }
  TTypeElement* Clone() const override;

  std::string GetNameIsValue() const;
  void SetNameIsValue(const std::string& text);
  std::int32_t TryGetInteger(bool& ok) const;
  // Every whole number in the value; nullptr when there is none.
  TIntegerListElement* ToIntegerList() const;
};

// A string value that holds a file or directory path.
class TPathElement : public TStringElement {
  ZELTO_ELEMENT(TPathElement)
 public:
  using TStringElement::TStringElement;
};

class TIntegerElement : public TTypeElement {
  ZELTO_ELEMENT(TIntegerElement)
 public:
  TIntegerElement() = default;
  explicit TIntegerElement(std::int32_t value) : Value(value) {}
  std::int32_t Value = 0;

  TType GetTyp() const override { return _Integer; }
  std::string GetTypeAsString() const override { return "integer"; }
  std::uint8_t GetAsByte() const override;
  void SetAsByte(std::uint8_t v) override { Value = v; }
  std::int32_t GetAsInteger() const override { return Value; }
  void SetAsInteger(std::int32_t v) override { Value = v; }
  std::string GetAsString() const override { return std::to_string(Value); }
  void SetAsString(const std::string& text) override;
  double GetAsFloat() const override { return Value; }
  void SetAsFloat(double v) override;
  bool GetAsBoolean() const override { return Value != 0; }
  void SetAsBoolean(bool v) override { Value = v ? 1 : 0; }
  std::intptr_t GetAsPointer() const override { return Value; }
  void SetAsPointer(std::intptr_t v) override { Value = static_cast<std::int32_t>(v); }
  TTypeElement* Clone() const override;
};

class TPointerElement : public TTypeElement {
  ZELTO_ELEMENT(TPointerElement)
 public:
  TPointerElement() = default;
  explicit TPointerElement(std::intptr_t value) : Value(value) {}
  std::intptr_t Value = 0;

  TType GetTyp() const override { return _Pointer; }
  std::string GetTypeAsString() const override { return "pointer"; }
  std::int32_t GetAsInteger() const override { return static_cast<std::int32_t>(Value); }
  void SetAsInteger(std::int32_t v) override { Value = v; }
  std::string GetAsString() const override { return std::to_string(GetAsInteger()); }
  // The number read even when the parse fails ("12x" gives 12).
  void SetAsString(const std::string& text) override;
  std::intptr_t GetAsPointer() const override { return Value; }
  void SetAsPointer(std::intptr_t v) override { Value = v; }
  TTypeElement* Clone() const override;
};

// Registers the value classes and the lists, in the order of start-up.
void RegisterTypeElementClasses();
