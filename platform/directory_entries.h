#pragma once
// Listing and removing directories without the standard library's
// directory iterator, which ends the process when it cannot allocate
// (libstdc++ makes it in a noexcept function): here a failed allocation
// throws std::bad_alloc like any other, and the removal allocates nothing.
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace platform {

// The names in `directory`, without "." and "..", in the order the system
// gives them; `error` set when the directory cannot be read.
std::vector<std::string> directoryEntries(const std::filesystem::path& directory, std::error_code& error);

// Removes a file, or a directory with all it holds (symbolic links are
// removed, not followed), as std::filesystem::remove_all; nothing there is
// no error.
void removeTree(const std::filesystem::path& path, std::error_code& error) noexcept;

}  // namespace platform
