#pragma once
// What the program sets up before its first window: every element class of
// every library in the class registry (idempotent), and the drive map.
#include <map>
#include <string>

void RegisterAppClasses();
// The classes of all libraries the program links, this one included.
void RegisterAllClasses();

namespace app {
// Maps each drive letter X named by an environment variable
// ZELTO_DRIVE_X=<directory> onto that directory (letter in either case; an
// empty value is ignored). Returns the letters mapped.
std::string ConfigureDrivesFromEnvironment(char** environment);
}  // namespace app
