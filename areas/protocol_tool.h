#pragma once
// Base of the line-joining steps: each step may write its decisions to a
// protocol text file, for every line or for the one line being followed.
#include <cstdint>
#include <memory>
#include <string>

#include "framework/tool.h"

class TGlxLinAbscissa;
class TPolyLineElement;

class TProtocolTool : public TTool {
  ZELTO_ELEMENT(TProtocolTool)
 public:
  const std::string& GetProtocol() const { return protocol_; }
  // Creates (empties) the file.
  void SetProtocol(const std::string& name);
  // Only the name and switches, for steps that write to a file already made.
  void CopyProtocolSettings(const TProtocolTool& from);

  bool Protocolled(const TPolyLineElement* line) const;
  // One line appended, the file opened and closed for it, as a regular
  // file. The first line that cannot be written is told in a box, once for
  // this tool and those that copied its settings.
  void WriteProtocol(const std::string& text) const;
  void WritePoint(double x, double y) const;
  void WriteSegment(const TGlxLinAbscissa& segment, const std::string& marker = {}) const;

  bool UseProtocol = false;
  std::int32_t ProtocoledLine = -1;

 private:
  std::string protocol_;
  // Shared with the copies of the settings: whether a line that could not
  // be written was told.
  std::shared_ptr<bool> failureTold_ = std::make_shared<bool>(false);
};

namespace areas {
std::string PointText(double x, double y);
std::string SegmentText(const TGlxLinAbscissa& segment, const std::string& marker);
}  // namespace areas
