// The dotted path language of TElement: a text of tokens separated by "(",
// ")" and "." names an object reachable from an element, a property of it,
// or the values of one property over an entity's children.
#include <string>
#include <vector>

#include "framework/class_registry.h"
#include "framework/entity.h"
#include "framework/errors.h"
#include "framework/name_compare.h"
#include "framework/property_access.h"
#include "framework/string_utils.h"

namespace {

const std::string kQuote = "\"";

enum class Mode { Text, List, Path };

class PathWalk {
 public:
  PathWalk(TElement* start, const std::string& path, Mode mode) : current_(start), path_(path), mode_(mode) {}

  // The walk; the result is left in text_, lines_ or object_.
  void Run() {
    for (;;) {
      Scan();
      if (!current_) Fail("Chyba ... nenalezl jsem objekt " + token_);
      switch (delimiter_) {
        case '.':
          if (mode_ == Mode::List && zelto::UpperAZ(token_) == "ELEMENT") {
            ListStep();
            return;
          }
          current_ = GetObjectPropByName(current_, token_);
          break;
        case '(':
          if (Call()) return;
          break;
        case ')':
          break;
        default:
          Final();
          return;
      }
    }
  }

  std::string text_;
  std::vector<std::string> lines_;
  TElement* object_ = nullptr;

 private:
  void Scan() {
    ScanTrimmedToken(path_, Delimiters(), pos_, token_, pos_, delimiter_);
    // Running off the end leaves the position two past the last character,
    // so that the messages point just behind the text.
    if (delimiter_ == 0 && !path_.empty()) pos_ = path_.size() + 2;
  }

  static const framework::CharSet& Delimiters() {
    static const framework::CharSet set = framework::MakeCharSet("().");
    return set;
  }

  int Position(std::size_t bytePos) const {
    // 1-based character index of a byte position.
    int chars = 0;
    for (std::size_t i = 1; i < bytePos && i <= path_.size(); ++i)
      if ((static_cast<unsigned char>(path_[i - 1]) & 0xC0) != 0x80) ++chars;
    if (bytePos > path_.size() + 1) chars += static_cast<int>(bytePos - path_.size() - 1);
    return chars + 1;
  }

  [[noreturn]] void Fail(const std::string& text) { throw EZeltoError(text); }

  // A function call; true when the walk ends here (EvaluatePath).
  bool Call() {
    std::string function = zelto::UpperAZ(token_);
    auto* entity = dynamic_cast<TEntity*>(current_);
    if (!entity)
      Fail("Objekt na pozici " + std::to_string(Position(pos_) - 2) + " není Entita ... nelze prohledávat");
    Scan();
    const std::string argument = token_;
    if (function == "FINDELEMENTBYNAME") {
      current_ = entity->FindElementByName(argument);
    } else if (function == "FINDELEMENTBYCLASS") {
      current_ = entity->FindElementByClass(*GetZeltoClass(argument));
    } else {
      current_ = nullptr;
    }
    if (delimiter_ != ')')
      Fail("Chyba syntaxe. .. na pozici " + std::to_string(Position(pos_) - 1) + " očekávám " + kQuote + ")" +
           kQuote);
    int closing = Position(pos_) - 1;
    Scan();
    if (mode_ == Mode::Path) {
      if (delimiter_ == 0) {
        object_ = current_;
        return true;
      }
      return false;
    }
    if (delimiter_ != '.')
      Fail("Chyba syntaxe. .. na pozici " + std::to_string(closing) + " očekávám " + kQuote + "." + kQuote);
    return false;
  }

  void ListStep() {
    auto* entity = dynamic_cast<TEntity*>(current_);
    if (!entity) Fail("Poslední objekt není Entita - nelze vytvořit seznam !");
    Scan();
    if (delimiter_ != 0) Fail(std::string("Chybné zakončení příkazu: ") + delimiter_);
    const std::string property = token_;
    std::vector<TElement*> children = entity->Items();
    for (TElement* child : children) lines_.push_back(child ? child->PropertyText(property) : std::string());
  }

  void Final() {
    switch (mode_) {
      case Mode::Text:
        current_->GetPropertyText(token_, text_);
        break;
      case Mode::List: {
        std::string line;
        current_->GetPropertyText(token_, line);
        lines_.push_back(line);
        break;
      }
      case Mode::Path:
        object_ = GetObjectPropByName(current_, token_);
        break;
    }
  }

  TElement* current_;
  const std::string& path_;
  Mode mode_;
  std::size_t pos_ = 1;  // 1-based, after the last delimiter
  std::string token_;
  char delimiter_ = 0;
};

}  // namespace

std::string TElement::EvaluatePathText(const std::string& path) {
  PathWalk walk(this, path, Mode::Text);
  walk.Run();
  return walk.text_;
}

std::vector<std::string> TElement::EvaluatePathList(const std::string& path) {
  PathWalk walk(this, path, Mode::List);
  walk.Run();
  return walk.lines_;
}

TElement* TElement::EvaluatePath(const std::string& path) {
  PathWalk walk(this, path, Mode::Path);
  walk.Run();
  return walk.object_;
}
