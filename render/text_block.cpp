#include "render/text_block.h"

#include <algorithm>
#include <filesystem>

#include "framework/class_registry.h"
#include "framework/drive_map.h"
#include "platform/regular_file.h"
#include "render/graphic_file_element.h"

namespace {

bool LessNoCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return static_cast<unsigned char>(lower(x)) < static_cast<unsigned char>(lower(y));
  });
}

}  // namespace

void TTextLines::Sort() { std::stable_sort(Items.begin(), Items.end(), LessNoCase); }

void TTextLines::SetSorted(bool sorted) {
  Sorted = sorted;
  if (Sorted) Sort();
}

namespace {
std::unique_ptr<TTextLines> SplitLines(const std::string& text) {
  auto lines = std::make_unique<TTextLines>();
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines->Items.push_back(std::move(line));
    at = end + 1;
  }
  return lines;
}

std::string JoinLines(const TTextLines& lines) {
  std::string text;
  for (const std::string& line : lines.Items) text += line + "\r\n";
  return text;
}
}  // namespace

ZELTO_IMPLEMENT_ELEMENT(TTextBlock, TText, [](auto& p) {
  using E = TTextBlock;
  p.Float("LineHeight", &E::LineHeight, &E::LineHeight);
  p.Float("TextHeight", &E::TextHeight, &E::TextHeight);
  // Lists cross text as their lines, one per text line.
  p.String("Lines", [](E& e) { return JoinLines(*e.GetLines()); },
           [](E& e, const std::string& text) { e.SetLines(SplitLines(text).release()); });
  p.String("FileName", &E::GetFileName, &E::SetFileName);
  p.String("Delimiter", &E::GetDelimiter, &E::SetDelimiter);
  p.Boolean("Sorted", &E::GetSorted, &E::SetSorted);
  p.Integer("LinesCount", &E::GetLinesCount).Stored(false);
  p.String("LinesPlus", nullptr, [](E& e, const std::string& text) { e.SetLinesPlus(SplitLines(text).get()); })
      .Stored(false);
})

TTextLines* TTextBlock::GetLines() {
  if (!lines_) {
    lines_ = std::make_unique<TTextLines>();
    lines_->Sorted = sorted_;
  }
  return lines_.get();
}

void TTextBlock::SetLines(TTextLines* lines) {
  if (lines == lines_.get()) return;
  lines_.reset(lines);
  if (lines_) lines_->SetSorted(sorted_);
}

void TTextBlock::SetFileName(const std::string& name) {
  fileName_ = name;
  if (name.empty()) return;
  // Stored names may be Windows names ("C:\\LEGENDY\\DRUHY.TXT").
  const std::filesystem::path local = framework::ResolvePath(name);
  std::error_code ec;
  if (local.empty() || !std::filesystem::is_regular_file(local, ec)) return;
  platform::RegularFileStream in(local, std::ios::in);
  if (!in) return;
  // Read the whole file first, so that a read that fails keeps the old lines.
  std::vector<std::string> read;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    read.push_back(line);
  }
  if (in.bad()) return;
  TTextLines* lines = GetLines();
  lines->Items.swap(read);
  if (lines->Sorted) lines->Sort();
}

bool TTextBlock::GetSorted() {
  if (lines_) sorted_ = lines_->Sorted;
  return sorted_;
}

void TTextBlock::SetSorted(bool sorted) {
  sorted_ = sorted;
  if (lines_) lines_->SetSorted(sorted);
}

int TTextBlock::GetLinesCount() const { return lines_ ? static_cast<int>(lines_->Items.size()) : 0; }

void TTextBlock::SetLinesPlus(const TTextLines* other) {
  if (!lines_ || !other || other->Items.size() != lines_->Items.size()) return;
  for (std::size_t i = 0; i < lines_->Items.size(); ++i)
    lines_->Items[i] += delimiter_ + other->Items[i];
  // Joined lines of a sorted list may change their order; keep it sorted
  // rather than refusing the join.
  if (lines_->Sorted) lines_->Sort();
}

void RegisterPageItemClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterZeltoClass(TGraphicFileElement::StaticClass());
  RegisterZeltoClass(TBMPFileElement::StaticClass());
  RegisterZeltoClass(TTextBlock::StaticClass());
}
