#pragma once
// Properties that a class does not declare. TDynamicProperties is an open
// attribute set: typed value children found by name and created on first
// write (the first write fixes an attribute's type). TInstanceProperties
// shows the published properties of one other object, one at a time or all
// at once as name=value entries; TProperty is its handle on one of them.
// Both hold the instance weakly: once it is freed they read as having none.
#include <cstdint>
#include <string>
#include <vector>

#include "framework/element_class.h"
#include "framework/entity.h"
#include "framework/string_list.h"

class TTypeElement;

class TProperties : public TOwnerEntity {
  ZELTO_ELEMENT(TProperties)
};

class TDynamicProperties : public TProperties {
  ZELTO_ELEMENT(TDynamicProperties)
 public:
  TTypeElement* FindAttribute(const std::string& name) const;

  bool HasProperty(const std::string& name) override;
  // Empty text when there is no such attribute.
  void GetPropertyText(const std::string& name, std::string& text) override;
  void SetPropertyText(const std::string& name, const std::string& text) override;
  std::int32_t GetPropertyInt(const std::string& name) override;
  void SetPropertyInt(const std::string& name, std::int32_t value) override;
  bool GetPropertyBool(const std::string& name) override;
  void SetPropertyBool(const std::string& name, bool value) override;
};

class TProperty : public TNameElement {
  ZELTO_ELEMENT(TProperty)
 public:
  TElement* Instance() const { return instance_.Get(); }
  void SetInstance(TElement* instance) { instance_.Set(instance); }
  const TPropInfo* Info() const { return info_; }
  // Binds the record; the name becomes the property's name.
  void SetInfo(const TPropInfo* info);
  std::int32_t PropIndex = -1;

  bool GetIsStored() const;
  std::int32_t GetTypeKind() const;
  // The ordinal value (a class-kind property answers its element's handle).
  std::int64_t GetPropLongInt() const;
  std::string GetPropString() const;
  void SetPropString(const std::string& text);

 private:
  TElementRef instance_;
  const TPropInfo* info_ = nullptr;
};

class TInstanceProperties : public TPropertyList {
  ZELTO_ELEMENT(TInstanceProperties)
 public:
  ~TInstanceProperties() override;

  TElement* Instance() const { return instance_.Get(); }
  void SetInstance(TElement* instance);
  std::int32_t PropCount() const { return propCount_; }
  TProperty* ActualProperty() const { return actual_; }

  void SetPropIndex(std::int32_t index);
  std::int32_t GetPropIndex() const;
  void SetPropName(const std::string& name);
  std::string GetPropName() const;
  std::string GetPropString() const;
  void SetPropString(const std::string& text);
  std::int32_t GetPropKind() const;
  std::string GetInstClassName() const;
  void SetIsList(bool value);

  void GetPropertyText(const std::string& name, std::string& text) override;
  void SetPropertyText(const std::string& name, const std::string& text) override;

 private:
  bool hasTable() const { return tableFilled_ && Instance() != nullptr; }
  void freeActual();

  TElementRef instance_;
  // The class the table was built for: the instance's class must not be
  // read through a dead instance.
  const TElementClass* instanceClass_ = nullptr;
  std::vector<const TPropInfo*> table_;
  bool tableFilled_ = false;
  std::int32_t propCount_ = 0;
  TProperty* actual_ = nullptr;
};

void RegisterDynamicPropertiesClasses();
