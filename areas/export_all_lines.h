#pragma once
// Lines written straight into the test block: every line a walk meets,
// numbered on from what the line file already holds, each once.
#include <cstdint>
#include <string>

#include "areas/leaf_walkers.h"
#include "areas/line_walkers.h"

class TGelixLinWriter;
class TWCS;

class TExportGelixLiniiRecursor : public TProchazecLiniiGauge {
  ZELTO_ELEMENT(TExportGelixLiniiRecursor)
 public:
  TExportGelixLiniiRecursor() = default;
  // A nil system is the world's national grid; a given one becomes the
  // writer's.
  TExportGelixLiniiRecursor(const std::string& blockDirectory, bool rewrite, TWCS* system = nullptr);
  ~TExportGelixLiniiRecursor() override;

  void Process(TElement* element) override;
  std::int32_t LineNumber() const { return number_; }
  std::int32_t LinesWritten() const { return written_; }
  bool Opened() const { return writer_ != nullptr; }
  // The writer of the block's lines (nil when it could not be opened),
  // which knows the file whose writing failed first.
  TGelixLinWriter* Writer() const { return writer_; }

 private:
  TGelixLinWriter* writer_ = nullptr;  // owned
  std::int32_t number_ = 0;
  std::int32_t written_ = 0;
};

class TExportAllLines : public TTool {
  ZELTO_ELEMENT(TExportAllLines)
 public:
  static constexpr const char* kTestBlock = "\\ZELTO\\TEST.BLK";
  TExportAllLines() = default;
  static TExportAllLines* CreateWithRewrite(bool rewrite);
  bool Rewrite = false;
  void DoIt() override;
};

class TExportNodedLines : public TProchazecListuQTreeGauge {
  ZELTO_ELEMENT(TExportNodedLines)
 public:
  TExportNodedLines();
  bool Rewrite = false;
  std::string BlockDirectory = TExportAllLines::kTestBlock;
  // The file is written in the world's national grid.
  TWCS* WCS = nullptr;  // not owned
  bool ExportSymbol = false;
  void DoIt() override;
};
