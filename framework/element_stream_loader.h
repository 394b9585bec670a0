#pragma once
// The reader of "TPF0" model files: a list of elements, each its class name
// followed by the element's own stream data. An unregistered class or data
// that does not read stops the load with an error box; Output is then left
// as it was.
#include <string>

#include "framework/tool.h"

class TLoader : public TTool {
  ZELTO_ELEMENT(TLoader)
 public:
  TLoader();
  // Reads the file named by the element's name.
  void DoIt() override;

 protected:
  // The element of a class the file names, before it reads its data.
  virtual TElement* CreateElement(const TElementClass& cls) { return cls.Create(); }
};
