#include "gisblock/table_file_name.h"

namespace gisblock {
namespace {

std::size_t lastComponentStart(std::string_view name) {
  const auto slash = name.find_last_of("\\/:");
  return slash == std::string_view::npos ? 0 : slash + 1;
}

}  // namespace

std::string changeFileExt(std::string_view fileName, std::string_view extension) {
  const std::size_t start = lastComponentStart(fileName);
  const auto dot = fileName.rfind('.');
  const std::size_t stem = dot == std::string_view::npos || dot < start ? fileName.size() : dot;
  return std::string(fileName.substr(0, stem)) + std::string(extension);
}

std::string extractFileName(std::string_view fileName) {
  return std::string(fileName.substr(lastComponentStart(fileName)));
}

std::string shortTableName(std::string_view tableFileName) {
  const std::string name = extractFileName(tableFileName);
  return name.substr(0, name.find('.'));
}

}  // namespace gisblock

std::string GelixTableFileName(std::string_view blockDirectory, char kindLetter, std::int32_t druh) {
  const std::int64_t value = druh;
  std::string digits = std::to_string(value < 0 ? -value : value);
  if (digits.size() < 4) digits.insert(0, 4 - digits.size(), '0');
  return std::string(blockDirectory) + "\\" + kindLetter + (value < 0 ? "-" : "") + digits + ".DBF";
}
