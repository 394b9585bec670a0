#pragma once
// Rewriting a small file of the user's (a settings file, a saved listing)
// so that it holds the new text whole or keeps what it held.
#include <filesystem>
#include <string_view>
#include <system_error>

namespace platform {

// The text is written beside the file under a name of this process, made
// durable and renamed over it: a full disk, a file-size limit or a kill
// never leaves the file cut short, and a program reading it meets the old
// text or the new. The file keeps its permissions; a symbolic link stays
// and its file is replaced. Where the directory takes no new file (a share
// where only the file may be written) the file is written in place.
// False, with `error` set, when the text is not in the file.
bool replaceFileWhole(const std::filesystem::path& file, std::string_view text, std::error_code& error);

}  // namespace platform
