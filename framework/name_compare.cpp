#include "framework/name_compare.h"

#include "platform/codepage.h"

namespace zelto {

std::string UpperAZ(const std::string& text) {
  std::string out = text;
  for (char& ch : out)
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 32);
  return out;
}

bool SameTextAZ(const std::string& a, const std::string& b) { return platform::equalsIgnoringAsciiCase(a, b); }

std::string UpperLocale(const std::string& text) { return platform::upperUtf8(text); }

bool SameTextLocale(const std::string& a, const std::string& b) {
  return a.size() == b.size() ? (a == b || UpperLocale(a) == UpperLocale(b)) : UpperLocale(a) == UpperLocale(b);
}

int CompareTextLocale(const std::string& a, const std::string& b) { return UpperLocale(a).compare(UpperLocale(b)); }

}  // namespace zelto
