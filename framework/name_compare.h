#pragma once
// How names are compared when children, classes and properties are looked
// up. Property names ignore the case of a..z only; child and class names
// also fold the accented letters (UTF-8), as the desktop locale did.
#include <string>

namespace zelto {

std::string UpperAZ(const std::string& text);
std::string UpperLocale(const std::string& text);
bool SameTextAZ(const std::string& a, const std::string& b);
bool SameTextLocale(const std::string& a, const std::string& b);
// <0, 0, >0 over the upper-cased texts.
int CompareTextLocale(const std::string& a, const std::string& b);

}  // namespace zelto
