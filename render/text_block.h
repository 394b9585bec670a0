#pragma once
// A block of text lines on a page: typed in, loaded from a text file, or
// joined column by column with a second list (a legend's names and areas).
#include <memory>
#include <string>
#include <vector>

#include "framework/draw_items.h"

// The lines of a block, with the list's own sorted flag; sorting ignores
// the case of ASCII letters.
struct TTextLines {
  std::vector<std::string> Items;
  bool Sorted = false;

  void SetSorted(bool sorted);
  void Sort();
};

class TTextBlock : public TText {
  ZELTO_ELEMENT(TTextBlock)
 public:
  double LineHeight = 0.015;
  double TextHeight = 0.01;

  // Created empty on first read.
  TTextLines* GetLines();
  // Takes the list over (nullptr allowed), giving it the block's Sorted.
  void SetLines(TTextLines* lines);
  std::string GetFileName() const { return fileName_; }
  // Reloads the lines when the file exists; otherwise only the name changes.
  void SetFileName(const std::string& name);
  std::string GetDelimiter() const { return delimiter_; }
  void SetDelimiter(const std::string& text) { delimiter_ = text; }
  bool GetSorted();
  void SetSorted(bool sorted);
  // Never creates the list.
  int GetLinesCount() const;
  // Line i becomes line i + Delimiter + other's line i; only when both
  // lists hold the same number of lines.
  void SetLinesPlus(const TTextLines* other);

 private:
  std::unique_ptr<TTextLines> lines_;
  std::string fileName_;
  std::string delimiter_;
  bool sorted_ = false;
};

// Registers the picture-file elements and the text block.
void RegisterPageItemClasses();
