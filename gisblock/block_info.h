#pragma once
// INFO.TXT of a block directory: its bounding rectangle and the code page of
// its texts.
#include "gisblock/stored_box.h"
#include "platform/codepage.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

// The text code page of a block, as the attribute records keep it.
enum TCodePage : std::uint8_t { cpIBM = 0, cpLatin2 = 1, cpKamenickych = 2, cpWindows = 3 };

namespace gisblock {

platform::CodePage toPlatformCodePage(TCodePage codePage);

// "1" Kamenický, "2" and "852" Latin 2, "1250" Windows; anything else,
// including an empty or non-numeric value, the IBM page.
TCodePage codePageFromInfoValue(std::string_view value);

struct BlockInfo {
  std::optional<StoredBox> rectangle;  // none when unknown
  TCodePage codePage = cpIBM;
};

// The content of INFO.TXT (Name=Value lines, names in any case).
BlockInfo parseBlockInfo(std::string_view text);

// INFO.TXT of the block directory (a path of the GIS tree); a missing file
// gives no rectangle and the IBM page.
BlockInfo readBlockInfo(std::string_view blockDirectory);

}  // namespace gisblock
