#include "gisblock/gisblock_classes.h"

#include "framework/class_registry.h"
#include "gisblock/gelix_dbf_table.h"

void RegisterGisblockClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  // The transfer list and its pairs are made only by the table code, never
  // by name.
  RegisterZeltoClass(TGelixDBFTable::StaticClass());
}
