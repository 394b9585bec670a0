#pragma once
// Conditions of the block readers in the expression language: compiled
// once, then tested against each object as context item 0.
#include <string>

#include "gisblock/gelix_manipulator.h"

namespace gisblock {

// Throws on a text that does not parse.
ConditionTest compileCondition(const std::string& text);

}  // namespace gisblock
