#pragma once
// Registers the walkers and the forest hierarchy classes by name; repeated
// calls do nothing.
void RegisterAreasClasses();
