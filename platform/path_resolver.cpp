#include "platform/path_resolver.h"

#include "platform/codepage.h"
#include "platform/directory_entries.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <system_error>
#include <vector>

namespace platform {
namespace fs = std::filesystem;

namespace {

char upperLetter(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

bool isDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::vector<std::string> components(std::string_view rest) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : rest) {
    if (c == '\\' || c == '/') {
      if (!part.empty()) parts.push_back(std::move(part));
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(std::move(part));
  return parts;
}

// The entry of `directory` whose name equals `name` regardless of case; empty
// when there is none.
std::string matchInDirectory(const fs::path& directory, const std::string& name) {
  std::error_code ec;
  const fs::path exact = directory / name;
  if (fs::exists(exact, ec)) return name;
  const std::string wanted = lowerUtf8(name);
  const fs::path where = directory.empty() ? fs::path(".") : directory;
  for (const std::string& entry : directoryEntries(where, ec))
    if (lowerUtf8(entry) == wanted) return entry;
  return {};
}

}  // namespace

void PathResolver::setDrive(char letter, fs::path directory) { drives_[upperLetter(letter)] = std::move(directory); }

void PathResolver::removeDrive(char letter) { drives_.erase(upperLetter(letter)); }

void PathResolver::setCurrentDrive(char letter) { currentDrive_ = upperLetter(letter); }

fs::path PathResolver::mapped(std::string_view path) const { return lookUp(path, false, false); }

std::string PathResolver::userSpelling(const fs::path& native) const {
  // A table name is its block directory and a backslash before the file
  // ("/data/01_94REG.BLK\P9400.DBF"): the backslash separates there too.
  std::string text = native.string();
  if (text.starts_with('/')) std::replace(text.begin(), text.end(), '\\', '/');
  const fs::path file = fs::path(text).lexically_normal();
  std::string best;
  std::size_t bestDepth = 0;
  for (const auto& [letter, directory] : drives_) {
    const fs::path rest = file.lexically_relative(directory.lexically_normal());
    if (rest.empty() || *rest.begin() == "..") continue;
    const std::size_t depth = std::distance(directory.begin(), directory.end());
    if (!best.empty() && depth <= bestDepth) continue;
    bestDepth = depth;
    best = std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))) + ":";
    for (const fs::path& part : rest)
      if (part != ".") best += "\\" + part.string();
    if (rest == ".") best += "\\";
  }
  return best.empty() ? text : best;
}

fs::path PathResolver::existing(std::string_view path) const { return lookUp(path, true, false); }

fs::path PathResolver::forWriting(std::string_view path) const { return lookUp(path, true, true); }

bool PathResolver::exists(std::string_view path) const {
  std::error_code ec;
  const fs::path p = existing(path);
  return !p.empty() && fs::exists(p, ec);
}

std::string PathResolver::normalized(std::string_view path) const {
  const fs::path p = mapped(path);
  if (p.empty()) return {};
  std::error_code ec;
  const fs::path absolute = fs::absolute(p, ec);
  std::string text = (ec ? p : absolute).lexically_normal().string();
  while (text.size() > 1 && (text.back() == '/' || text.back() == '\\')) text.pop_back();
  return text;
}

bool PathResolver::sameFile(std::string_view a, std::string_view b) const {
  if (a == b) return true;
  const std::string first = normalized(a), second = normalized(b);
  // A path of a drive without a directory names no file.
  return !first.empty() && !second.empty() && lowerUtf8(first) == lowerUtf8(second);
}

fs::path PathResolver::lookUp(std::string_view path, bool lookOnDisk, bool upperCaseMissing) const {
  fs::path base;
  std::string_view rest = path;
  if (path.size() >= 2 && path[1] == ':' && isDriveLetter(path[0])) {
    const auto it = drives_.find(upperLetter(path[0]));
    if (it == drives_.end()) return {};
    base = it->second;
    rest = path.substr(2);
  } else if (!path.empty() && path[0] == '\\') {
    const auto it = drives_.find(currentDrive_);
    if (it == drives_.end()) return {};
    base = it->second;
  } else if (!path.empty() && path[0] == '/') {
    base = "/";
  }
  // The drive's own directory is taken as configured; only what the path
  // names below it is matched against the disk.
  bool onDisk = lookOnDisk;
  fs::path result = base;
  for (const std::string& part : components(rest)) {
    if (part == "." || part == "..") {
      result /= part;
      continue;
    }
    std::string name;
    if (onDisk) name = matchInDirectory(result, part);
    if (name.empty()) {
      onDisk = false;
      name = upperCaseMissing ? upperUtf8(part) : part;
    }
    result /= name;
  }
  return result;
}

PathResolver& pathResolver() {
  static PathResolver resolver;
  return resolver;
}

}  // namespace platform
