#pragma once
// A field-transfer file (.TDS): source and target names, one pair a line,
// tabs counting as blanks. A source beginning with "*" names a property of
// the source object, one beginning with ";" is a comment for the field
// copy.
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace gisblock {

struct TransferPair {
  std::string source;
  std::string target;
  int line = 0;  // in the file, counting every line from 1
  bool operator==(const TransferPair&) const = default;
};

class TransferScript {
 public:
  // Reads the file (a path of the GIS tree); false, and nothing changed,
  // when it cannot be opened: loadError() says why.
  bool load(std::string_view fileName);
  const std::error_code& loadError() const { return loadError_; }
  // The pairs of the text of such a file: Windows-1250 bytes, or Unicode
  // after a byte-order mark.
  static std::vector<TransferPair> parse(std::string_view bytes);

  const std::string& fileName() const { return fileName_; }
  const std::vector<TransferPair>& pairs() const { return pairs_; }
  int Count() const { return static_cast<int>(pairs_.size()); }
  std::string GetSourceName(int i) const;
  std::string GetTargetName(int i) const;

 private:
  std::string fileName_;
  std::vector<TransferPair> pairs_;
  std::error_code loadError_;
};

}  // namespace gisblock
