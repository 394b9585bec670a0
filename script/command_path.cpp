// The paths of command lines: words joined by ".", method calls in
// parentheses, variable declarations and quoted constants.
#include <memory>
#include <unordered_set>

#include "framework/name_compare.h"
#include "framework/class_registry.h"
#include "framework/errors.h"
#include "framework/property_access.h"
#include "framework/string_utils.h"
#include "framework/system_register.h"
#include "framework/technology.h"
#include "framework/value_text.h"
#include "framework/world.h"
#include "framework/zelto_message.h"
#include "script/command_line.h"
#include "script/expression_keywords.h"

namespace {

std::string upper(const std::string& text) { return zelto::UpperAZ(text); }

const framework::CharSet& pathDelimiters() {
  static const framework::CharSet set = framework::MakeCharSet("\"'(),.:");
  return set;
}

const framework::CharSet& argumentDelimiters() {
  static const framework::CharSet set = framework::MakeCharSet("(),");
  return set;
}

std::string positionError(std::size_t position, const std::string& expected) {
  return "Syntaktická chyba - na pozici " + std::to_string(position) + " očekávám " + expected;
}

[[noreturn]] void notA(std::size_t position, const std::string& what) {
  throw EZeltoError("Objekt na pozici " + std::to_string(position) + " " + what);
}

// Whether `upper` is `element` or stands above it through owners (and the
// technologies behind sub-tool lists).
bool isAbove(const TElement* upperElement, TElement* element) {
  std::unordered_set<const TElement*> seen;
  std::vector<TElement*> pending{element};
  while (!pending.empty()) {
    TElement* e = pending.back();
    pending.pop_back();
    if (!e || !seen.insert(e).second) continue;
    if (e == upperElement) return true;
    for (int i = 0; i < e->GetOwnersCount(); ++i) pending.push_back(e->GetOwner(i));
    if (auto* envelope = dynamic_cast<TEnvelopeEntity*>(e)) pending.push_back(envelope->EnvelopeOwner());
  }
  return false;
}

// Takes the element out of every entity below the root (the root included).
void unlinkEverywhere(TEntity* root, TElement* element) {
  if (!root) return;
  std::unordered_set<const TEntity*> seen;
  std::vector<TEntity*> pending{root};
  while (!pending.empty()) {
    TEntity* entity = pending.back();
    pending.pop_back();
    if (!seen.insert(entity).second) continue;
    while (entity->IndexOf(element) >= 0) entity->Remove(element);
    for (TElement* child : entity->Items())
      if (auto* inner = dynamic_cast<TEntity*>(child)) pending.push_back(inner);
  }
}

// The element a reference number stands for; nil for 0 and for numbers that
// name no living element.
TElement* elementOfReference(const std::string& text) {
  std::int32_t number = 0;
  if (!framework::ParseWholeNumber(text, number) || number == 0) return nullptr;
  return TElement::FromHandle(static_cast<platform::Handle>(number));
}

}  // namespace

void TCommandLine::EvaluatePath(const std::string& text, TPathResult& result) {
  result = TPathResult();
  result.Object = GetContext();
  pathParent_.Set(nullptr);
  const TElementRef self(this);
  std::size_t position = 1;
  while (result.Object) {
    std::string word;
    char delimiter = '\0';
    std::size_t next = position;
    ScanTrimmedToken(text, pathDelimiters(), position, word, next, delimiter);
    position = next;
    switch (delimiter) {
      case '.': {
        TElement* before = result.Object;
        StepPath(word, result);
        if (!self.Get()) throw script::CommandLineGone();
        if (result.Object != before) pathParent_.Set(before);
        break;
      }
      case '(': {
        TElement* before = result.Object;
        const bool goesOn = CallMethod(word, text, position, delimiter, result);
        if (!self.Get()) throw script::CommandLineGone();
        if (result.Object && result.Object != before) pathParent_.Set(before);
        if (!goesOn) return;
        break;
      }
      case ':': {
        const std::size_t end = text.find(';', position - 1);
        const std::string className = TrimBlanks(
            text.substr(position - 1, end == std::string::npos ? std::string::npos : end - (position - 1)));
        const TElementClass* cls = FindZeltoClass(className);
        if (!cls) throw EZeltoError("Neexistující třída: " + className);
        if (!FindVar(word)) NewVar(word, cls);
        return;
      }
      case '"':
      case '\'': {
        const std::size_t close = text.find(delimiter, position - 1);
        std::string constant =
            text.substr(position - 1, close == std::string::npos ? std::string::npos : close - (position - 1));
        result.Name = delimiter == '\'' ? TrimBlanks(constant) : constant;
        result.IsConst = true;
        return;
      }
      case ')':
      case ',':
        break;
      default: {
        const std::string key = upper(word);
        if (key == "WORLD") {
          result.Object = GetWorld();
        } else if (key == "ACTIVEELEMENT") {
          result.Object = GetContext();
        } else if (key == "VAR") {
        } else if (TVar* var = FindVar(word)) {
          result.Object = var->GetElement();
          result.IsVar = true;
          SetActualVar(var);
        } else {
          result.Name = word;
        }
        return;
      }
    }
  }
}

void TCommandLine::StepPath(const std::string& word, TPathResult& result) {
  const std::string key = upper(word);
  if (key == "ELEMENT") {
    result.IsList = true;
    return;
  }
  if (key == "WORLD") {
    result.Object = GetWorld();
    return;
  }
  if (key == "ACTIVEELEMENT") {
    result.Object = GetContext();
    return;
  }
  if (key == "SELF") {
    result.Object = this;
    return;
  }
  if (TVar* var = FindVar(word)) {
    result.Object = var->GetElement();
    SetActualVar(var);
    return;
  }
  TElement* object = result.Object;
  TElement* found = GetObjectPropByName(object, word);
  if (!found) {
    // A property that holds a reference number; published numbers and
    // texts are values, never references.
    const TElementClass& cls = object->ClassType();
    const int index = cls.IndexOfProperty(word);
    if (index < 0 || cls.Property(index)->Kind == TTypeKind::tkClass) {
      std::string text;
      object->GetPropertyText(word, text);
      found = elementOfReference(text);
    }
  }
  if (!found) {
    auto* entity = dynamic_cast<TEntity*>(object);
    if (entity) found = entity->FindElementByName(word);
    if (!found) throw EZeltoError("Nemohu nalézt element " + word);
  }
  result.Object = found;
}

bool TCommandLine::CallMethod(const std::string& word, const std::string& text, std::size_t& position,
                              char& delimiter, TPathResult& result) {
  const std::size_t parenthesis = position - 1;
  arguments_.clear();
  delimiter = '\0';
  do {
    std::string argument;
    std::size_t next = position;
    ScanTrimmedToken(text, argumentDelimiters(), position, argument, next, delimiter);
    if (next == position && delimiter == '\0') break;
    position = next;
    if (!argument.empty()) arguments_.push_back(argument);
  } while (delimiter != ')' && delimiter != '\0');
  const std::string a1 = arguments_.empty() ? std::string() : arguments_[0];
  const std::string a2 = arguments_.size() > 1 ? arguments_[1] : a1;
  const std::string method = upper(word);
  TElement* object = result.Object;
  auto* entity = dynamic_cast<TEntity*>(object);
  auto requireEntity = [&] {
    if (!entity) notA(parenthesis, "není Entita");
  };
  auto className = [](std::string name) {
    EnsureTPrefix(name);
    return GetZeltoClass(name);
  };

  if (method == "CLOSE") {
    TWorld* world = GetWorld();
    PostMessage(zelto::msg::CloseRequest, world ? world->GetMainTool() : nullptr);
  } else if (method == "FREE") {
    FreeObject(result);
  } else if (method == "FREEALL") {
    requireEntity();
    if (object == GetWorld() || object == &ZeltoClasses() || isAbove(object, this))
      throw EZeltoError("FREEALL: prvky objektu " + object->GetName() + " nelze uvolnit za běhu příkazu");
    entity->FreeAll();
  } else if (method == "DOIT") {
    auto* tool = dynamic_cast<TTool*>(object);
    if (!tool) notA(parenthesis, "není Tool");
    if (auto* line = dynamic_cast<TCommandLine*>(tool); line && line->IsRunning())
      throw EZeltoError("DOIT: příkazová řádka " + line->GetName() + " už běží");
    tool->DoIt();
  } else if (method == "FINDELEMENTBYNAME") {
    requireEntity();
    result.Object = entity->FindElementByName(a1);
  } else if (method == "FINDELEMENTBYCLASS") {
    requireEntity();
    result.Object = entity->FindElementByClass(*className(a1));
  } else if (method == "CREATE") {
    TElement* created = className(a1)->Create();
    if (created) created->SetName(a2);
    result.Object = created;
  } else if (method == "CREATEELEMENT") {
    requireEntity();
    entity->AddNew(className(a1)->ClassName(), a2);
  } else if (method == "CREATETOOL") {
    auto* technology = dynamic_cast<TTechnology*>(object);
    if (!technology) notA(parenthesis, "není Technology");
    technology->AddNewTool(className(a1)->ClassName(), a2);
  } else if (method == "CALL") {
    CallScript(a1);
  } else {
    CallTool(method, result);
  }

  if (delimiter != ')') throw EZeltoError(positionError(position - 1, "\" )\""));
  std::string rest;
  std::size_t next = position;
  ScanTrimmedToken(text, pathDelimiters(), position, rest, next, delimiter);
  position = next;
  if (delimiter == '.') return true;
  if (delimiter == '\0') return false;
  throw EZeltoError(positionError(position - 1, "očekávám \".\" nebo nic"));
}

void TCommandLine::CallTool(const std::string& className, TPathResult& result) {
  std::string name = className;
  EnsureTPrefix(name);
  const TElementClass* cls = FindZeltoClass(name);
  if (!cls || !cls->InheritsFrom(TTool::StaticClass())) throw EZeltoError("chybná funkce: " + className);
  std::unique_ptr<TTool> tool(static_cast<TTool*>(cls->Create()));
  if (!tool) throw EZeltoError("chybná funkce: " + className);
  tool->SetInput(result.Object);
  if (!tool->Input()) tool->SetInput(GetContext());
  const std::vector<std::string> arguments = arguments_;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const int index = static_cast<int>(i);
    TPathResult side;
    const std::size_t colon = argument.find(':');
    if (argument[0] != '\'' && argument[0] != '"' && colon != std::string::npos) {
      const std::string property = TrimBlanks(argument.substr(0, colon));
      const std::string value = argument.substr(colon + 1);
      if (!value.empty() && value[0] == ':') {
        tool->SetDefaultParameterText(index, argument);
      } else {
        EvaluatePath(value, side);
        tool->SetPropertyText(property, GetValueText(side));
      }
      continue;
    }
    EvaluatePath(argument, side);
    tool->SetDefaultParameterText(index, GetValueText(side));
  }
  tool->DoIt();
  // The output may die with the tool; the reference then reads nil.
  TElementRef output(tool->Output());
  const bool isResultTool = tool->Is<TResultTool>();
  const std::string resultText = isResultTool ? static_cast<TResultTool*>(tool.get())->Result : std::string();
  tool.reset();
  result.Object = output.Get();
  if (isResultTool) {
    result.Name = resultText;
    result.IsConst = true;
  }
}

void TCommandLine::CallScript(const std::string& fileName) {
  if (callDepth_ + 1 > MaxCallDepth)
    throw EZeltoError("CALL " + fileName + ": příliš mnoho vnořených skriptů (nejvýše " +
                      std::to_string(MaxCallDepth) + ")");
  auto called = std::make_unique<TCommandLine>();
  called->callDepth_ = callDepth_ + 1;
  called->SetContext(GetContext());
  called->SetFileName(fileName);
  called->DoIt();
}

void TCommandLine::FreeObject(TPathResult& result) {
  TElement* object = result.Object;
  TWorld* world = GetWorld();
  // Neither the world with its registry and main tool nor anything the
  // running line stands in or holds may go while the line runs.
  if (object == world || isAbove(object, this) || isAbove(this, object) || object == &ZeltoClasses() ||
      (world && world->IndexOf(object) >= 0 && object == world->GetMainTool()))
    throw EZeltoError("FREE: objekt " + object->GetName() + " nelze uvolnit");
  // The world lets go of its object model or system register itself, so
  // that it starts a new one instead of keeping the old address.
  if (world && world->IndexOf(object) >= 0) {
    TElementRef alive(object);
    if (object->Is<TObjectModel>() && world->GetObjectModel() == object)
      world->SetObjectModel(nullptr);
    else if (object->Is<TSystemRegister>() && world->GetSystemRegister() == object)
      world->SetSystemRegister(nullptr);
    object = alive.Get();
    result.Object = nullptr;
    if (!object) return;
  }
  // Every container that lists the element lets go of it first, so that
  // none keeps a dangling entry.
  while (object->GetOwnersCount() > 0) {
    TElement* owner = object->GetOwner(0);
    if (auto* container = dynamic_cast<TEntity*>(owner))
      container->Remove(object);
    else
      object->RemoveOwner(owner);
  }
  // An element that keeps no owner list cannot say where it is listed: every
  // entity of the world's tree, and the one the path came through, is asked.
  if (!dynamic_cast<TOwnerElement*>(object) && !dynamic_cast<TOwnerEntity*>(object)) {
    unlinkEverywhere(world, object);
    unlinkEverywhere(dynamic_cast<TEntity*>(pathParent_.Get()), object);
  }
  delete object;
  result.Object = nullptr;
}
