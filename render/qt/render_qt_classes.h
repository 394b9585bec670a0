#pragma once
// Registers the Qt-backed device classes (idempotent); the program calls it
// at start after RegisterRenderClasses.
void RegisterRenderQtClasses();
