#pragma once
// The text of a file the office writes by hand: the settings file and the
// control files of the exports. Whatever editor it was saved with must
// read alike: Notepad saves "Unicode" (UTF-16 with a byte-order mark) or
// UTF-8 with a mark, DOS editors end the text with Ctrl-Z.
#include "platform/codepage.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace framework {

// The bytes as UTF-8 without their mark when a byte-order mark of UTF-8 or
// UTF-16 (either byte order) begins them; nullopt when none does, and the
// caller decodes them by its own rule. A code unit that does not decode (a
// lone surrogate, an odd last byte) becomes U+FFFD.
std::optional<std::string> DecodeMarkedText(std::string_view bytes);

// The lines of the text before its end-of-file mark (Ctrl-Z, which DOS
// editors leave after the last line), without their line ends (LF or
// CR LF). A last line without its end counts; an empty text has no line.
std::vector<std::string> TextLines(std::string_view text);
// The lines of a file's bytes, decoded by their byte-order mark, or from
// the code page when they have none.
std::vector<std::string> TextLines(std::string_view bytes, platform::CodePage unmarked);

}  // namespace framework
