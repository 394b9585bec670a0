#pragma once
// Registers the element classes of the geometry with the class registry
// (idempotent); the program and tests call it at start.
void RegisterGeometryClasses();
