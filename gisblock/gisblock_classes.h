#pragma once
// Registers the element classes of the block format with the class registry
// (idempotent); the program and tests call it at start.
void RegisterGisblockClasses();
