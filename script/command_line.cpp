#include "framework/name_compare.h"
#include "script/command_line.h"

#include "framework/class_registry.h"
#include "framework/errors.h"
#include "framework/message_dispatch.h"
#include "framework/problem_report.h"
#include "framework/property_access.h"
#include "framework/string_list.h"
#include "framework/string_utils.h"
#include "framework/technology.h"
#include "framework/value_text.h"
#include "framework/world.h"
#include "framework/zelto_message.h"
#include "platform/codepage.h"
#include "platform/path_resolver.h"
#include "platform/regular_file.h"
#include "platform/user_interaction.h"
#include "script/expression_keywords.h"

ZELTO_IMPLEMENT_ELEMENT(TVar, TOwnerElement, [](auto& p) {
  p.Object("Element", TElement::StaticClass(), &TVar::GetElement, &TVar::SetElement);
})

ZELTO_IMPLEMENT_ELEMENT(TCommandLine, TTool, [](auto& p) {
  using E = TCommandLine;
  p.String("Line", &E::GetLine, &E::SetLine);
  p.String("NextLine", nullptr, &E::SetNextLine);
  p.String("ActualDirectory", &E::GetActualDirectory, &E::SetActualDirectory);
  p.String("FileName", &E::GetFileName, &E::SetFileName);
  p.Object("Vars", TOwnerEntity::StaticClass(), [](E& e) -> TElement* { return e.GetVars(); });
  p.Object("ActualVar", TVar::StaticClass(), &E::GetActualVar, &E::SetActualVar);
  p.Boolean("ByDDE", &E::ByDDE, &E::ByDDE);
  p.Boolean("SmartMode", &E::SmartMode, &E::SmartMode);
})

void RegisterScriptClasses() { RegisterZeltoClass(TCommandLine::StaticClass()); }

namespace {

std::string upper(const std::string& text) { return zelto::UpperAZ(text); }

}  // namespace

TCommandLine::TCommandLine() { context_.Set(GetWorld()); }

TCommandLine::~TCommandLine() = default;

TElement* TCommandLine::GetContext() const {
  if (TElement* context = context_.Get()) return context;
  return GetWorld();
}

void TCommandLine::SetInput(TElement* element) {
  TTool::SetInput(element);
  if (element) SetContext(element);
}

std::string TCommandLine::GetParameterName(int index) {
  switch (index) {
    case 0: return "FileName";
    case 1: return "ActualDirectory";
    default: return {};
  }
}

void TCommandLine::SetActualDirectory(const std::string& directory) {
  actualDirectory_ = directory;
  AppendBackslash(actualDirectory_);
  if (actualDirectory_.empty()) actualDirectory_ = "\\";
}

void TCommandLine::SetFileName(const std::string& fileName) {
  line_.clear();
  lines_.clear();
  fileName_ = fileName;
}

TOwnerEntity* TCommandLine::GetVars() {
  if (!vars_) {
    vars_ = new TOwnerEntity();
    vars_->SetName("VAR:");
    Add(vars_);
  }
  return vars_;
}

TVar* TCommandLine::FindVar(const std::string& name) const {
  if (!vars_) return nullptr;
  const std::string wanted = upper(name);
  for (TElement* child : vars_->Items())
    if (auto* var = dynamic_cast<TVar*>(child); var && var->GetName() == wanted) return var;
  return nullptr;
}

TVar* TCommandLine::NewVar(const std::string& name, const TElementClass* cls) {
  auto* var = new TVar();
  var->SetName(upper(name));
  var->VarClass = cls;
  GetVars()->Add(var);
  SetActualVar(var);
  return var;
}

void TCommandLine::GetFirstResult(std::string& text) const { text = FirstResult(); }

std::string TCommandLine::FirstResult() const { return results_.empty() ? std::string() : results_.front(); }

void TCommandLine::ReportError(const std::string& text, int code) {
  if (ByDDE)
    results_.push_back("ERROR " + std::to_string(code) + ": " + text);
  else
    platform::ui().showMessage(text);
}

void TCommandLine::ReportException(const std::string& message) {
  ReportError("Soubor " + fileName_ + ", řádek.č." + std::to_string(lineIndex_ + 1) + ":\r\n\"" + line_ +
                  "\"\r\r\nChyba: " + message,
              2);
}

void TCommandLine::DoIt() {
  // A line that runs itself, directly or through other lines, would never
  // end; the method call that tries it is refused before it gets here.
  if (running_) return;
  running_ = true;
  // A line may free the command line itself (a setter that replaces what
  // holds it): then nothing of it may be touched any more.
  const TElementRef self(this);
  struct Running {
    const TElementRef& self;
    bool& flag;
    ~Running() {
      if (self.Get()) flag = false;
    }
  } running{self, running_};
  lineIndex_ = 0;
  // What a caller reads afterwards belongs to this run only.
  results_.clear();
  try {
    if (!line_.empty()) {
      ExecuteLine();
    } else if (!lines_.empty()) {
      RunLines();
    } else if (!fileName_.empty()) {
      if (ReadScriptFile()) RunLines();
    }
  } catch (const script::CommandLineGone&) {
    return;
  } catch (const std::exception& e) {
    ReportException(e.what());
    // A failed script must not leave its last line behind as the next
    // DoIt's single line.
    if (!lines_.empty()) {
      line_.clear();
      lineIndex_ = 0;
    }
  }
}

bool TCommandLine::ReadScriptFile() {
  const std::string path = actualDirectory_ + fileName_;
  platform::RegularFileStream file(platform::pathResolver().existing(path), std::ios::in);
  if (!file) {
    ReportError("Skriptový soubor " + path + " nenalezen !", 1);
    return false;
  }
  lines_.clear();
  std::string bytes;
  while (std::getline(file, bytes)) {
    if (!bytes.empty() && bytes.back() == '\r') bytes.pop_back();
    lines_.push_back(platform::toUtf8(bytes, platform::CodePage::Windows1250));
  }
  // A read that failed (a share gone mid-way) ends the lines as the file's
  // end would: a script cut short is not run.
  if (file.bad()) {
    lines_.clear();
    ReportError("Skriptový soubor " + path + " nelze přečíst: " + file.failureCause(), 1);
    return false;
  }
  return true;
}

void TCommandLine::RunLines() {
  if (SmartMode) {
    SetBusy(true);
    lineIndex_ = 0;
    PostMessage(zelto::msg::SmartModeStep, this);
    return;
  }
  const TElementRef self(this);
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    lineIndex_ = static_cast<std::int32_t>(i);
    line_ = lines_[i];
    if (line_.empty()) continue;
    ExecuteLine();
    zelto::ProcessPendingMessages();
    if (!self.Get()) throw script::CommandLineGone();
  }
  lineIndex_ = 0;
  line_.clear();
}

void TCommandLine::HandleMessage(TZeltoMessage*& message, bool& handled) {
  TTool::HandleMessage(message, handled);
  if (!handled && message->Message == zelto::msg::SmartModeStep) {
    handled = true;
    Step();
  }
}

void TCommandLine::Step() {
  const auto count = static_cast<std::int32_t>(lines_.size());
  while (lineIndex_ < count && lines_[static_cast<std::size_t>(lineIndex_)].empty()) ++lineIndex_;
  if (lineIndex_ >= count) {
    lineIndex_ = 0;
    line_.clear();
    SetBusy(false);
    TWorld* world = GetWorld();
    PostMessage(zelto::msg::Finished, world ? world->GetMainTool() : nullptr);
    return;
  }
  line_ = lines_[static_cast<std::size_t>(lineIndex_)];
  try {
    ExecuteLine();
  } catch (const script::CommandLineGone&) {
    return;
  } catch (const std::exception& e) {
    ReportException(e.what());
    lineIndex_ = count;
  }
  ++lineIndex_;
  PostMessage(zelto::msg::SmartModeStep, this);
}

void TCommandLine::ExecuteLine() {
  assignActive_ = false;
  results_.clear();
  left_ = TPathResult();
  right_ = TPathResult();
  std::string leftText, rightText;
  assigning_ = SplitNameValue(line_, leftText, rightText);
  if (!leftText.empty() && leftText[0] == ';') return;
  if (!leftText.empty() && leftText[0] == '*') commentBlock_ = !commentBlock_;
  if (commentBlock_) return;
  if (upper(leftText) == "ACTIVEELEMENT") {
    assignActive_ = true;
    if (!assigning_) {
      ReportError("Chyba .. nastavení aktivního elementu: " + line_, 3);
      return;
    }
  } else {
    EvaluatePath(leftText, left_);
  }
  // The right side may free what the left side found (FREE, FREEALL).
  const TElementRef leftAlive(left_.Object);
  if (assigning_) EvaluatePath(rightText, right_);
  if (left_.Object && !leftAlive.Get()) left_.Object = nullptr;
  if (!assigning_) {
    if (left_.IsVar)
      if (TVar* var = GetActualVar()) left_.Object = var->GetElement();
    OutputValue(left_);
    return;
  }
  if (assignActive_)
    AssignActiveElement();
  else
    Assign();
}

void TCommandLine::AssignActiveElement() {
  if (right_.IsList) {
    ReportError(
        "Chyba .. jako aktivní element nelze přiřadit seznam (klíčové slovo ELEMENT nahraďte názvem property): " + line_,
        4);
    return;
  }
  if (right_.Name.empty()) {
    SetContext(right_.Object);
    return;
  }
  TElement* found = right_.Object ? GetObjectPropByName(right_.Object, right_.Name) : nullptr;
  if (!found)
    if (auto* entity = dynamic_cast<TEntity*>(right_.Object)) found = entity->FindElementByName(right_.Name);
  if (!found) {
    ReportError("Chyba .. Nemohu nalézt objekt " + right_.Name, 5);
    return;
  }
  SetContext(found);
}

void TCommandLine::Assign() {
  TElement* object = nullptr;
  std::string text;
  const bool isObject = right_.Name.empty() && !right_.IsConst;
  TStringListElement* list = nullptr;
  if (isObject) {
    object = right_.Object;
    if (!object) {
      ReportError("výsledný objekt na pravé straně výrazu je chybný " + line_, 6);
      return;
    }
  } else {
    OutputValue(right_);
    text = FirstResult();
    if (right_.IsList) {
      list = new TStringListElement();
      for (const std::string& result : results_) list->SetNextValue(result);
      object = list;
    }
  }
  const bool storeObject = isObject || list;
  const TElementRef self(this);
  // A value that the target does not keep (an attribute table that refuses
  // it, a number that does not fit) is reported by the target; it is told
  // as this line's error, or the line would read as done.
  zelto::ProblemTally problems;
  if (left_.IsList) {
    auto* entity = dynamic_cast<TEntity*>(left_.Object);
    if (!entity) {
      ReportError("Chyba .. Základ seznamu na levé straně není entita (nebo je objekt poškozen) : " + line_, 7);
    } else {
      const std::vector<TElement*> children = entity->Items();
      const std::string name = left_.Name;
      for (TElement* child : children) StoreValue(child, name, object, text, storeObject);
    }
  } else if (left_.IsVar) {
    TVar* var = GetActualVar();
    if (storeObject) {
      if (var) var->SetElement(object);
    } else {
      // A text stands for an element by its reference number; a number that
      // names no living element is refused like any other text.
      std::int32_t number = 0;
      TElement* element = nullptr;
      const bool isNumber = framework::ParseWholeNumber(text, number);
      if (isNumber && number != 0) element = TElement::FromHandle(static_cast<platform::Handle>(number));
      if (!isNumber || (number != 0 && !element))
        ReportError("Chyba .. objekt na pravé straně výrazu není element: " + line_, 8);
      else if (var)
        var->SetElement(element);
    }
  } else if (!left_.Object || left_.Name.empty()) {
    ReportError("Chyba .. Chybný objekt nebo properta na levé straně výrazu : " + line_, 9);
  } else {
    StoreValue(left_.Object, left_.Name, object, text, storeObject);
  }
  if (!self.Get()) throw script::CommandLineGone();
  if (!problems.empty()) ReportException(problems.Summary());
  // A property may keep the copy of a list without owning it: the command
  // line holds it for as long as it lives.
  if (list && list->GetOwnersCount() == 0) Add(list);
}

void TCommandLine::StoreValue(TElement* target, const std::string& name, TElement* object,
                              const std::string& text, bool isObject) {
  if (!target) return;
  if (isObject)
    SetObjectPropByName(target, name, object);
  else
    target->SetPropertyText(name, text);
}

void TCommandLine::OutputValue(const TPathResult& result) {
  results_.clear();
  if (!result.IsList) {
    results_.push_back(GetValueText(result));
    return;
  }
  auto* entity = dynamic_cast<TEntity*>(result.Object);
  if (!entity) return;
  for (TElement* child : entity->Items()) {
    std::string text;
    if (child) child->GetPropertyText(result.Name, text);
    results_.push_back(text);
  }
}

std::string TCommandLine::GetValueText(const TPathResult& result) const {
  if (result.IsConst) return result.Name;
  if (!result.Object) return {};
  std::string text;
  result.Object->GetPropertyText(result.Name, text);
  if (text.empty())
    if (auto* entity = dynamic_cast<TEntity*>(result.Object)) {
      TElement* child = entity->FindElementByName(result.Name);
      text = std::to_string(child ? child->GetHandle() : 0);
    }
  return text;
}
