#include "areas/export_classes.h"

#include "areas/export_all_lines.h"
#include "areas/export_areas.h"
#include "areas/export_dbf_class.h"
#include "areas/export_elements.h"
#include "areas/export_lines.h"
#include "framework/class_registry.h"

void RegisterExportClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  for (const TElementClass* cls :
       {&TExportElementsToText::StaticClass(), &TExpBlockName::StaticClass(), &TExportDBFClass::StaticClass(),
        &TPrepareExportLinesToGelix::StaticClass(), &TExportLinesToGelix::StaticClass(),
        &TSelectLinesFromGroups::StaticClass(), &TPrepareExportAreasToGelix::StaticClass(),
        &TExportAreasToGelix::StaticClass(), &TExportAreasToGelixPropsFromAreaQTree::StaticClass(), &TExportAllLines::StaticClass(),
        &TExportNodedLines::StaticClass(), &TExportGelixLiniiRecursor::StaticClass()})
    RegisterZeltoClass(*cls);
}
