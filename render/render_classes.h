#pragma once
// Registers the element classes of the rendering core with the class
// registry (idempotent); the program and tests call it at start.
void RegisterRenderClasses();
