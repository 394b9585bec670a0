#pragma once
// Registers the element classes of the block readers' model (attribute
// records, registers, import sources) with the class registry, together
// with those of the geometry they build on (idempotent).
void RegisterGelixClasses();
