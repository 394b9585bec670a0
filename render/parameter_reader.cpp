#include "render/parameter_reader.h"

#include "framework/text_line_reader.h"
#include "platform/codepage.h"
#include "platform/path_resolver.h"

namespace {
// Everything up to the space counts as blank, as in the old runtime's Trim.
std::string trimmed(const std::string& s) {
  std::size_t from = 0, to = s.size();
  while (from < to && static_cast<unsigned char>(s[from]) <= ' ') ++from;
  while (to > from && static_cast<unsigned char>(s[to - 1]) <= ' ') --to;
  return s.substr(from, to - from);
}

std::string text(const std::string& raw) {
  return platform::toUtf8(raw, platform::CodePage::Windows1250);
}

std::string upperText(const std::string& raw) { return platform::upperUtf8(text(trimmed(raw))); }
}  // namespace

TCteniParametru::TCteniParametru(const std::string& fileName, bool& ok) {
  ok = false;
  if (fileName.empty()) return;
  file_.open(platform::pathResolver().existing(fileName), std::ios::in);
  if (!file_.is_open()) return;
  Opened = true;
  if (AtFileEnd()) return;
  ReadLine();
  ok = true;
}

TCteniParametru::~TCteniParametru() {
  if (Opened) file_.close();
}

bool TCteniParametru::AtFileEnd() { return !file_.is_open() || file_.peek() == std::char_traits<char>::eof(); }

void TCteniParametru::ReadLine() {
  std::getline(file_, CurrentLine);
  if (!CurrentLine.empty() && CurrentLine.back() == '\r') CurrentLine.pop_back();
}

void TCteniParametru::ReadNextItem(bool& isKey, bool& isSection, std::string& outText,
                                   std::string& key, bool& atEof) {
  atEof = AtFileEnd();
  isKey = false;
  isSection = false;
  outText.clear();
  key.clear();
  const std::string line = trimmed(CurrentLine);
  if (!line.empty() && line[0] != ';') {
    if (line[0] == '[') {
      isSection = true;
      const std::size_t close = line.find(']', 1);
      std::string name = line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
      std::string heading = upperText(name);
      // One nested pair survives: A[B] in brackets stays A[B].
      if (name.find('[') != std::string::npos && close != std::string::npos) {
        const std::size_t next = line.find(']', close + 1);
        const std::size_t from = close + 1;
        heading += "]" + upperText(line.substr(from, next == std::string::npos ? std::string::npos : next - from));
      }
      outText = heading;
      LastText = outText;
    } else {
      const std::size_t eq = line.find('=');
      key = upperText(line.substr(0, eq));
      if (eq != std::string::npos) outText = text(trimmed(line.substr(eq + 1, kMaxValueLength)));
      isKey = true;
      LastText = outText;
    }
  }
  if (!AtFileEnd()) ReadLine();
}

double TCteniParametru::ValueAsReal() const {
  TCtiRadekClass cursor(LastText);
  return cursor.ReadReal();
}

std::int32_t TCteniParametru::ValueAsInteger() const {
  TCtiRadekClass cursor(LastText);
  return cursor.ReadLongInt();
}
