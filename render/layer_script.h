#pragma once
// Model scripts: what to load into memory. A model script lists layer
// scripts; each names a kind of Gelix object ("LIN", "PNT", "ARE", "TXT",
// "LINSYM") and holds TPathElement children naming block directories, or
// is an "ELEMENT" script that creates one element by class name. Its
// property list carries '@' entries (properties to set) and the kind filter
// of the block readers.
#include <string>

#include "framework/rect_entity.h"
#include "framework/string_list.h"

class TModelScript : public TRectEntity {
  ZELTO_ELEMENT(TModelScript)
};

class TLayerScript : public TRectEntity {
  ZELTO_ELEMENT(TLayerScript)
 public:
  // The layer's own path or title; for "ELEMENT" the class name. A leading
  // '+' is the GoIntoDirs flag.
  std::string Description;

  bool GetGoIntoDirs() const { return !Description.empty() && Description[0] == '+'; }
  void SetGoIntoDirs(bool on);

  // Created on first use and owned as a child; nil until then. A script
  // read from a model file finds its list among its children.
  TPropertyList* GetPropertyList() const {
    return propertyList_ ? propertyList_ : FindElementByClass<TPropertyList>();
  }
  TPropertyList* EnsurePropertyList();
  // Adds an entry (a TStringElement) to the property list.
  void AddToPropertyList(TElement* entry);
  // The description without the GoIntoDirs flag.
  std::string PlainDescription() const;

  // Also drops the property list and clears the description.
  void FreeAll() override;

 private:
  TPropertyList* propertyList_ = nullptr;  // a child
};

void RegisterLayerScriptClasses();
