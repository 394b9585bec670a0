#pragma once
// Class references and published properties of elements: our own run-time
// type information. Every element class has one TElementClass (name, base,
// virtual constructor, published properties); scripts, model files, the
// property editor and the path language reach elements only through it.
//
// Declaring a class:
//   // header
//   class TFoo : public TEntity {
//     ZELTO_ELEMENT(TFoo)
//    public: ...
//   };
//   // source
//   ZELTO_IMPLEMENT_ELEMENT(TFoo, TEntity, [](auto& p) {
//     p.Integer("Width", &TFoo::width_);                        // field
//     p.Float("Scale", &TFoo::GetScale, &TFoo::SetScale);       // accessors
//     p.Boolean("Visible", &TFoo::visible_).Stored(false);
//     p.Object("Target", TElement::StaticClass(), &TFoo::target_);
//   })
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <limits>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

class TElement;

// Type kinds of published properties; the numbers are stored in model files.
enum class TTypeKind : std::uint8_t {
  tkUnknown = 0,
  tkInteger = 1,
  tkChar = 2,
  tkEnumeration = 3,  // booleans included
  tkFloat = 4,
  tkString = 5,  // short string
  tkSet = 6,
  tkClass = 7,   // an element reference
  tkMethod = 8,  // an event handler
  tkWChar = 9,
  tkLString = 10,  // long string: the usual text property
  tkWString = 11,
  tkVariant = 12,
  tkArray = 13,
  tkRecord = 14,
  tkInterface = 15,
  tkInt64 = 16,
  tkDynArray = 17,
};

class TElementClass;

// One published property. Accessors work on the element as a whole; the
// builder below adapts fields and member functions of the declaring class.
struct TPropInfo {
  std::string Name;
  TTypeKind Kind = TTypeKind::tkUnknown;
  const TElementClass* DeclaringClass = nullptr;
  const TElementClass* ObjectClass = nullptr;  // tkClass: the declared class
  std::vector<std::string> EnumNames;          // tkEnumeration and tkSet
  // The name of the property's type where readers tell types of one kind
  // apart: "Boolean" among enumerations, "Byte" among integers.
  std::string TypeName;
  // Ordinal kinds (integer, char, enumeration, set, 64-bit integer; method:
  // nonzero when a handler is assigned).
  std::function<std::int64_t(TElement&)> GetOrd;
  std::function<void(TElement&, std::int64_t)> SetOrd;
  std::function<double(TElement&)> GetFloat;
  std::function<void(TElement&, double)> SetFloat;
  std::function<std::string(TElement&)> GetStr;
  std::function<void(TElement&, const std::string&)> SetStr;
  std::function<TElement*(TElement&)> GetObj;
  std::function<void(TElement&, TElement*)> SetObj;
  // Stored specifier: a constant, or a test on the instance.
  bool StoredConst = true;
  std::function<bool(TElement&)> StoredTest;

  bool HasGetter() const { return GetOrd || GetFloat || GetStr || GetObj; }
  bool HasSetter() const { return SetOrd || SetFloat || SetStr || SetObj; }
  bool IsStoredStatic() const { return StoredTest ? true : StoredConst; }
  bool IsStored(TElement& instance) const { return StoredTest ? StoredTest(instance) : StoredConst; }
};

// A class reference: what the registry files under the class name.
class TElementClass {
 public:
  using Factory = TElement* (*)();
  using Declarer = std::function<void(TElementClass&)>;

  TElementClass(std::string name, const TElementClass* parent, Factory factory, Declarer declare,
                std::size_t instanceSize = 0);
  std::size_t InstanceSize() const { return instanceSize_; }

  const std::string& ClassName() const { return name_; }
  const TElementClass* ClassParent() const { return parent_; }
  // One comparison: every class knows its ancestors by depth. Asked on every
  // element of every walk, so kept inline.
  bool InheritsFrom(const TElementClass& other) const {
    return other.depth_ <= depth_ && ancestors_[other.depth_] == &other;
  }
  // The virtual constructor: a new element of this class (ID -1), nullptr
  // for an abstract class.
  TElement* Create() const { return factory_ ? factory_() : nullptr; }

  // Published properties, ancestors' first.
  const std::vector<const TPropInfo*>& Properties() const;
  int PropertyCount() const { return static_cast<int>(Properties().size()); }
  const TPropInfo* Property(int index) const;
  // Position by name, ignoring the case of a..z; -1 when none.
  int IndexOfProperty(const std::string& name) const;

  // Used by the builder while the class declares its own properties.
  TPropInfo& AddOwnProperty(TPropInfo info);

 private:
  std::string name_;
  const TElementClass* parent_;
  std::size_t depth_ = 0;                         // of this class; the root's is 0
  std::vector<const TElementClass*> ancestors_;  // root first, this class last
  Factory factory_;
  Declarer declare_;
  mutable std::vector<std::unique_ptr<TPropInfo>> own_;
  mutable std::vector<const TPropInfo*> all_;
  mutable bool built_ = false;
  std::size_t instanceSize_;
};

namespace zelto {

// Returned by the builder so that a declaration can add a stored specifier.
class PropHandle {
 public:
  explicit PropHandle(TPropInfo& info) : info_(info) {}
  PropHandle& Stored(bool stored) {
    info_.StoredConst = stored;
    return *this;
  }
  PropHandle& StoredIf(std::function<bool(TElement&)> test) {
    info_.StoredTest = std::move(test);
    return *this;
  }
  TPropInfo& Info() { return info_; }

 private:
  TPropInfo& info_;
};

// Declares the published properties of class C. Getters and setters are
// member functions, fields (member object pointers), callables taking C&, or
// nullptr for "none" (a write-only property has a nullptr getter).
template <class C>
class PropertyBuilder {
 public:
  explicit PropertyBuilder(TElementClass& cls) : cls_(cls) {}

  template <class G, class S = std::nullptr_t>
  PropHandle Integer(std::string name, G get, S set = nullptr) {
    return Ordinal(std::move(name), TTypeKind::tkInteger, {}, get, set);
  }
  template <class G, class S = std::nullptr_t>
  PropHandle Int64(std::string name, G get, S set = nullptr) {
    return Ordinal(std::move(name), TTypeKind::tkInt64, {}, get, set);
  }
  template <class G, class S = std::nullptr_t>
  PropHandle Char(std::string name, G get, S set = nullptr) {
    return Ordinal(std::move(name), TTypeKind::tkChar, {}, get, set);
  }
  template <class G, class S = std::nullptr_t>
  PropHandle Boolean(std::string name, G get, S set = nullptr) {
    PropHandle h = Ordinal(std::move(name), TTypeKind::tkEnumeration, {"False", "True"}, get, set);
    h.Info().TypeName = "Boolean";
    return h;
  }
  // An integer of 0..255; other values leave it unchanged.
  template <class G, class S = std::nullptr_t>
  PropHandle Byte(std::string name, G get, S set = nullptr) {
    PropHandle h = Ordinal(std::move(name), TTypeKind::tkInteger, {}, get, set);
    h.Info().TypeName = "Byte";
    if (h.Info().SetOrd) {
      auto inner = std::move(h.Info().SetOrd);
      h.Info().SetOrd = [inner](TElement& e, std::int64_t v) {
        if (v >= 0 && v <= 255) inner(e, v);
      };
    }
    return h;
  }
  // Ordinals 0..n-1 carry the names in the order given.
  template <class G, class S = std::nullptr_t>
  PropHandle Enumeration(std::string name, std::vector<std::string> names, G get, S set = nullptr) {
    return Ordinal(std::move(name), TTypeKind::tkEnumeration, std::move(names), get, set);
  }
  // A bit set over the named elements; read and written as its bit pattern.
  template <class G, class S = std::nullptr_t>
  PropHandle Set(std::string name, std::vector<std::string> names, G get, S set = nullptr) {
    return Ordinal(std::move(name), TTypeKind::tkSet, std::move(names), get, set);
  }
  template <class G, class S = std::nullptr_t>
  PropHandle Float(std::string name, G get, S set = nullptr) {
    TPropInfo info = Make(std::move(name), TTypeKind::tkFloat);
    if constexpr (!IsNull<G>()) info.GetFloat = [get](TElement& e) { return static_cast<double>(Read(get, e)); };
    if constexpr (!IsNull<S>()) info.SetFloat = [set](TElement& e, double v) { Write(set, e, v); };
    return PropHandle(cls_.AddOwnProperty(std::move(info)));
  }
  // A text property (kind 10, the usual one).
  template <class G, class S = std::nullptr_t>
  PropHandle String(std::string name, G get, S set = nullptr) {
    return Text(std::move(name), TTypeKind::tkLString, get, set);
  }
  // A text property of the short-string kind (5).
  template <class G, class S = std::nullptr_t>
  PropHandle ShortString(std::string name, G get, S set = nullptr) {
    return Text(std::move(name), TTypeKind::tkString, get, set);
  }
  // An element reference declared with class `cls`.
  template <class G, class S = std::nullptr_t>
  PropHandle Object(std::string name, const TElementClass& cls, G get, S set = nullptr) {
    TPropInfo info = Make(std::move(name), TTypeKind::tkClass);
    info.ObjectClass = &cls;
    if constexpr (!IsNull<G>())
      info.GetObj = [get](TElement& e) -> TElement* { return static_cast<TElement*>(Read(get, e)); };
    if constexpr (!IsNull<S>()) info.SetObj = [set](TElement& e, TElement* v) { WriteObj(set, e, v); };
    return PropHandle(cls_.AddOwnProperty(std::move(info)));
  }
  // An event handler: only whether one is assigned is visible.
  template <class G>
  PropHandle Method(std::string name, G assigned) {
    TPropInfo info = Make(std::move(name), TTypeKind::tkMethod);
    info.GetOrd = [assigned](TElement& e) -> std::int64_t { return Read(assigned, e) ? 1 : 0; };
    return PropHandle(cls_.AddOwnProperty(std::move(info)));
  }

 private:
  template <class F>
  static constexpr bool IsNull() {
    return std::is_same_v<std::decay_t<F>, std::nullptr_t>;
  }
  TPropInfo Make(std::string name, TTypeKind kind) {
    TPropInfo info;
    info.Name = std::move(name);
    info.Kind = kind;
    info.DeclaringClass = &cls_;
    return info;
  }
  template <class G>
  static decltype(auto) Read(const G& get, TElement& e) {
    C& obj = static_cast<C&>(e);
    if constexpr (std::is_member_object_pointer_v<G>)
      return (obj.*get);
    else
      return std::invoke(get, obj);
  }
  template <class S, class V>
  static void Write(const S& set, TElement& e, V value) {
    C& obj = static_cast<C&>(e);
    if constexpr (std::is_member_object_pointer_v<S>) {
      using Field = std::remove_reference_t<decltype(obj.*set)>;
      obj.*set = static_cast<Field>(value);
    } else {
      std::invoke(set, obj, value);
    }
  }
  template <class S>
  static void WriteObj(const S& set, TElement& e, TElement* value) {
    C& obj = static_cast<C&>(e);
    if constexpr (std::is_member_object_pointer_v<S>) {
      using Field = std::remove_reference_t<decltype(obj.*set)>;
      obj.*set = static_cast<Field>(value);
    } else {
      using Arg = typename ArgOf<S>::type;
      if constexpr (std::is_same_v<Arg, void>)
        std::invoke(set, obj, value);
      else
        std::invoke(set, obj, static_cast<Arg>(value));
    }
  }
  // The parameter type of a one-argument member setter, for downcasting.
  template <class S>
  struct ArgOf {
    using type = void;
  };
  template <class R, class K, class A>
  struct ArgOf<R (K::*)(A)> {
    using type = A;
  };
  template <class R, class K, class A>
  struct ArgOf<R (K::*)(A) noexcept> {
    using type = A;
  };
  template <class G, class S>
  PropHandle Ordinal(std::string name, TTypeKind kind, std::vector<std::string> names, G get, S set) {
    TPropInfo info = Make(std::move(name), kind);
    info.EnumNames = std::move(names);
    if constexpr (!IsNull<G>())
      info.GetOrd = [get](TElement& e) { return static_cast<std::int64_t>(Read(get, e)); };
    if constexpr (!IsNull<S>()) {
      const bool whole = kind == TTypeKind::tkInteger || kind == TTypeKind::tkInt64;
      info.SetOrd = [set, whole](TElement& e, std::int64_t v) { WriteOrd(set, e, v, whole); };
    }
    return PropHandle(cls_.AddOwnProperty(std::move(info)));
  }
  // A whole number that the target integer cannot hold leaves it unchanged
  // rather than wrapping into another value.
  template <class T>
  static bool Fits(std::int64_t v, bool whole) {
    if constexpr (std::is_integral_v<T> && !std::is_same_v<T, bool>) {
      if (!whole) return true;
      if constexpr (std::is_unsigned_v<T>)
        return v >= 0 && static_cast<std::uint64_t>(v) <= std::numeric_limits<T>::max();
      else
        return v >= std::numeric_limits<T>::min() && v <= std::numeric_limits<T>::max();
    } else {
      return true;
    }
  }
  template <class S>
  static void WriteOrd(const S& set, TElement& e, std::int64_t v, bool whole) {
    C& obj = static_cast<C&>(e);
    if constexpr (std::is_member_object_pointer_v<S>) {
      using Field = std::remove_reference_t<decltype(obj.*set)>;
      if (Fits<Field>(v, whole)) obj.*set = static_cast<Field>(v);
    } else {
      using Arg = std::decay_t<typename ArgOf<S>::type>;
      if constexpr (std::is_same_v<Arg, void>)
        std::invoke(set, obj, v);
      else if (Fits<Arg>(v, whole))
        std::invoke(set, obj, static_cast<Arg>(v));
    }
  }
  template <class G, class S>
  PropHandle Text(std::string name, TTypeKind kind, G get, S set) {
    TPropInfo info = Make(std::move(name), kind);
    if constexpr (!IsNull<G>()) info.GetStr = [get](TElement& e) { return std::string(Read(get, e)); };
    if constexpr (!IsNull<S>())
      info.SetStr = [set](TElement& e, const std::string& v) { Write<S, const std::string&>(set, e, v); };
    return PropHandle(cls_.AddOwnProperty(std::move(info)));
  }

  TElementClass& cls_;
};

template <class C>
TElement* NewElement() {
  if constexpr (std::is_abstract_v<C>)
    return nullptr;
  else
    return new C();
}

}  // namespace zelto

// In the class body: the class reference and its virtual accessor.
#define ZELTO_ELEMENT(Class)                           \
 public:                                               \
  static const TElementClass& StaticClass();           \
  const TElementClass& ClassType() const override      \
  {                                                    \
    static const TElementClass& cls = StaticClass();   \
    return cls;                                        \
  }                                                    \
  friend class zelto::PropertyBuilder<Class>;

// In the source: defines the class reference; the last argument is a
// callable taking zelto::PropertyBuilder<Class>& that declares the class's
// own published properties (ancestors' come first automatically).
#define ZELTO_IMPLEMENT_ELEMENT(Class, Base, ...)                                          \
  const TElementClass& Class::StaticClass() {                                              \
    static const TElementClass cls(#Class, &Base::StaticClass(), &zelto::NewElement<Class>, \
                                   [](TElementClass& c) {                                  \
                                     zelto::PropertyBuilder<Class> builder(c);             \
                                     (__VA_ARGS__)(builder);                               \
                                   },                                                      \
                                   sizeof(Class));                                         \
    return cls;                                                                            \
  }

// A class that publishes nothing of its own.
#define ZELTO_NO_PROPERTIES [](auto&) {}
