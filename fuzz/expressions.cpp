// Expressions and conditions: the input is the text, parsed into a tree,
// evaluated as a value and tested as a condition against a line with
// vertices and an entity holding it.
#include <memory>

#include "framework/errors.h"
#include "fuzz/fuzz_support.h"
#include "geometry/poly_element.h"
#include "script/condition.h"
#include "script/expression_creator.h"

namespace {
constexpr std::size_t kMaxText = 4096;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Harness::Get().Begin();
  const std::string text(reinterpret_cast<const char*>(data), fuzz::Bounded(size, kMaxText));
  TOwnerEntity owner;
  owner.SetName("Les");
  auto* line = new TPolyLineElement;
  line->SetName("Hranice");
  line->AddVertex(0, 0);
  line->AddVertex(10, 5);
  owner.Add(line);
  // Errors of the text or of its evaluation are the user's, reported by the
  // caller: they end the evaluation, never the program.
  try {
    TExpressionCreator creator;
    creator.Command = text;
    creator.DoIt();
    std::unique_ptr<TOperator> tree(static_cast<TOperator*>(creator.Output()));
    if (tree) {
      for (TElement* item : {static_cast<TElement*>(line), static_cast<TElement*>(&owner)}) {
        tree->SetContextItem(0, item);
        try {
          tree->DoIt();
        } catch (const EZeltoError&) {
        }
        tree->ClearResult();
      }
    }
  } catch (const EZeltoError&) {
  }
  try {
    std::unique_ptr<TCondition> condition(CreateCondition(text));
    for (TElement* item : {static_cast<TElement*>(line), static_cast<TElement*>(&owner)}) {
      condition->SetContextItem(0, item);
      try {
        condition->Test();
      } catch (const EZeltoError&) {
      }
    }
  } catch (const EZeltoError&) {
  }
  return 0;
}
