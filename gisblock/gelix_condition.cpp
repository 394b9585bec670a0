#include "gisblock/gelix_condition.h"

#include <memory>
#include <stdexcept>

#include "script/condition.h"
#include "script/expression_creator.h"

namespace gisblock {

ConditionTest compileCondition(const std::string& text) {
  std::shared_ptr<TCondition> condition(CreateCondition(text));
  if (!condition) throw std::runtime_error("Condition processing Error");
  return [condition](TElement* object) {
    condition->SetContextItem(0, object);
    return condition->Test();
  };
}

}  // namespace gisblock
