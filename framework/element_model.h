#pragma once
// Element and tool models: the design of an element or a tool (its class,
// default property values, sub-elements and sub-tools), built through
// property writes alone: New... appends a child, Last... reads it back.
#include <cstdint>
#include <string>

#include "framework/entity.h"
#include "framework/string_list.h"

// A property name (the element's name) with its default value text.
class TPropertyModel : public TOwnerElement {
  ZELTO_ELEMENT(TPropertyModel)
 public:
  std::string Alias;
  std::string Value;
};

class TElementModel : public TOwnerEntity {
  ZELTO_ELEMENT(TElementModel)
 public:
  std::int32_t ImageIndex = 0;
  std::string ElementClassName;
  std::string Comment;
  std::string Alias;
  std::string AttachToPropertyName;

  // Groups found by name or created on first read.
  TOwnerEntity* GetModelProperties();
  TOwnerEntity* GetModelElements();
  TStringListElement* GetImages();
  // Missing or empty groups; never creates them.
  bool GetNoModelProperties() const { return GroupIsEmpty("PROPERTIES"); }
  bool GetNoModelElements() const { return GroupIsEmpty("ELEMENTS"); }
  bool GetNoImages() const { return GroupIsEmpty("IMAGES"); }

  void SetNewPropertyName(const std::string& name);
  TPropertyModel* GetLastPropertyModel() const;
  void SetNewElementName(const std::string& name);
  void SetNewImage(const std::string& text);

 protected:
  bool GroupIsEmpty(const std::string& name) const;
  TElement* LastOfGroup(const std::string& name) const;
};

class TToolModel : public TElementModel {
  ZELTO_ELEMENT(TToolModel)
 public:
  bool DynamicTool = false;

  TOwnerEntity* GetModelTools();
  bool GetNoModelTools() const { return GroupIsEmpty("TOOLS"); }
  void SetNewToolName(const std::string& name);
  TToolModel* GetLastToolModel() const;
};
