#pragma once
// Published properties read and written as text by name or position. Names
// match ignoring the case of a..z. Values as text:
//   integer      decimal; written from decimal or "$", "x", "0x" hex
//   enumeration  the declared name; written from an ordinal or a name
//   boolean      "True"/"False"; written from "TRUE", "true", 1 ...
//   float        shortest general form, the process's decimal separator;
//                written with '.' or ','
//   class        the element's handle (0 for none); only handles of live
//                elements are accepted back
// A failed write leaves the property unchanged and shows
// "Error filling property <name> by string <text>".
#include <string>

class TElement;
class TElementClass;

int PropCount(TElement* object);
void PropNameByIndex(TElement* object, int index, std::string& name);
int IndexOfProp(TElement* object, const std::string& name);
void GetPropTextByIndex(TElement* object, int index, std::string& text);
// Leaves text unchanged for an empty or unknown name.
void GetPropTextByName(TElement* object, const std::string& name, std::string& text);
void SetPropTextByIndex(TElement* object, int index, const std::string& text);
// False (and nothing changed) when there is no such property.
bool SetPropTextByName(TElement* object, const std::string& name, const std::string& text);
// The element a class-kind property holds; nullptr otherwise.
TElement* GetObjectPropByName(TElement* object, const std::string& name);
bool SetObjectPropByName(TElement* object, const std::string& name, TElement* value);
