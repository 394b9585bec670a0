#pragma once
// The exporters of the areas library, for creation by class name.
void RegisterExportClasses();
