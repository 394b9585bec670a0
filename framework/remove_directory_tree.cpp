#include "framework/remove_directory_tree.h"

#include "framework/drive_map.h"
#include "platform/directory_entries.h"
#include "platform/system_cause.h"
#include "platform/user_interaction.h"

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

void showErrorBox(const std::string& text) { platform::showError(text); }

std::string causeOf(const std::error_code& ec) { return ec ? "\n" + platform::systemCause(ec) : std::string(); }

bool refusedAsRoot(std::string_view name, const fs::path& resolved) {
  if (name.empty() || resolved.empty()) return true;
  if (name.size() == 2 && name[1] == ':') return true;  // "C:" after the backslash went
  std::error_code ec;
  const fs::path canonical = fs::weakly_canonical(resolved, ec);
  if (ec || canonical == canonical.root_path()) return true;
  for (const auto& [letter, dir] : framework::DriveDirectories()) {
    std::error_code dec;
    if (fs::weakly_canonical(dir, dec) == canonical && !dec) return true;
  }
  return false;
}

// Deletes what lies inside `dir`; `shown` is the directory as the user named it.
bool emptyDirectory(const fs::path& dir, const std::string& shown) {
  std::error_code ec;
  for (const std::string& name : platform::directoryEntries(dir, ec)) {
    const fs::path entry = dir / name;
    const std::string entryShown = shown + "\\" + name;
    std::error_code sec;
    const auto status = fs::symlink_status(entry, sec);
    if (!sec && fs::is_directory(status)) {
      if (!emptyDirectory(entry, entryShown)) return false;
      if (!fs::remove(entry, sec) || sec) {
        showErrorBox("Adresář " + entryShown + "nelze zrušit !" + causeOf(sec));
        return false;
      }
      continue;
    }
    if (!fs::remove(entry, sec) || sec) {
      showErrorBox("Při rušení adresáře nelze smazat soubor \n" + entryShown + causeOf(sec));
      return false;
    }
  }
  if (ec) {
    showErrorBox("Adresář " + shown + "nelze zrušit !" + causeOf(ec));
    return false;
  }
  return true;
}

}  // namespace

bool RemoveDirectoryTree(std::string_view directory) {
  std::string name(directory);
  if (!name.empty() && (name.back() == '\\' || name.back() == '/')) name.pop_back();
  const fs::path resolved = framework::ResolvePath(name);
  if (refusedAsRoot(name, resolved)) {
    showErrorBox("Adresář " + std::string(directory) + "nelze zrušit !");
    return false;
  }
  std::error_code ec;
  const auto status = fs::symlink_status(resolved, ec);
  if (ec || !fs::exists(status)) return true;
  if (!fs::is_directory(status)) {
    showErrorBox("Adresář " + name + "nelze zrušit !");
    return false;
  }
  // Moved aside first: a directory that cannot be removed from where it
  // is (its parent read-only) keeps every file instead of being emptied.
  const fs::path aside = resolved.parent_path() / ("." + resolved.filename().string() + ".del");
  platform::removeTree(aside, ec);
  fs::rename(resolved, aside, ec);
  if (ec) {
    showErrorBox("Adresář " + name + "nelze zrušit !" + causeOf(ec));
    return false;
  }
  // What could not be deleted goes back under its own name.
  auto putBack = [&] {
    std::error_code back;
    fs::rename(aside, resolved, back);
  };
  bool removed = false;
  try {
    removed = emptyDirectory(aside, name) && fs::remove(aside, ec) && !ec;
  } catch (...) {
    putBack();
    throw;
  }
  if (!removed) {
    if (ec) showErrorBox("Adresář " + name + "nelze zrušit !" + causeOf(ec));
    putBack();
  }
  return removed;
}
