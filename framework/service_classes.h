#pragma once
// Registers every element class of the framework's services (coordinates,
// rectangle entities, typed values and lists, models, tools, world, loaders,
// environment elements) with the class registry, once. The program calls it
// at start together with RegisterElementClasses.
void RegisterFrameworkServiceClasses();
