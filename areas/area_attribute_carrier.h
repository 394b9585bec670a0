#pragma once
// Gives areas built anew from boundary lines the attribute record of the old
// area on their inner side. Each boundary line names the old areas on its
// left and right; the new area takes the largest old area its lines name,
// and every problem met on the way goes to an optional protocol file.
#include <string>
#include <system_error>
#include <unordered_map>

#include "framework/tool.h"
#include "platform/regular_file.h"

class TBlockRegister;
class TSpaceEntityProps;

class TAreaElement;
class TPolyLineAreaElement;
class TPolyLineElement;
class TRegister;

class TCarryArToArThroughLines : public TTool {
  ZELTO_ELEMENT(TCarryArToArThroughLines)
 public:
  ~TCarryArToArThroughLines() override;

  // Input: a TAreaString of TPolyLineAreaElements whose lines carry line
  // records read from a block.
  void DoIt() override;

  virtual void CarryArea(TAreaElement* area);
  virtual void AppendProtocolField(const std::string& text);
  virtual void WriteProtocolLine(TPolyLineElement* line, const std::string& text);
  virtual void WriteAreaReport(TAreaElement* newArea, TAreaElement* oldArea);

  // The register the old areas are looked up in; when none is set, the
  // first TRegister of the world's object model.
  void SetRegister(TRegister* reg) {
    register_ = reg;
    blocks_.clear();
  }
  // The whole areas of the old areas, kept by a caller that runs the carrier
  // over several networks of the same old areas, none of which changes
  // between the runs; nil: each run measures them anew.
  using WholeAreas = std::unordered_map<TAreaElement*, double>;
  void ShareOldWholeAreas(WholeAreas* shared) { sharedWholeAreas_ = shared; }
  const std::string& CurrentProtocolLine() const { return protocolLine_; }

  bool SelectForProblem = false;
  bool ProtocolOnlyProblem = false;
  std::string ProtocolFile;

 private:
  bool WantsProtocolLine() const;
  // Opens the protocol, emptied, as a regular file for the run.
  void OpenProtocol();
  // Writes one line; a failed write closes the protocol for the rest of
  // the run.
  void PutLine(const std::string& text);
  void CloseProtocol();
  // Tells, in a box, that the protocol cannot be written, and closes it.
  void ProtocolFailed(const std::error_code& error);

  std::string protocolLine_;
  // The whole area of each old area met in this run: many lines of many
  // new areas name the same old one, and its ring is walked once.
  WholeAreas oldWholeAreas_;
  WholeAreas* sharedWholeAreas_ = nullptr;  // not owned
  double OldWholeArea(TAreaElement* old);
  // The block of a record, looked up by name once for each object
  // register: a block's lines all name the same block.
  TBlockRegister* BlockOf(const TSpaceEntityProps& props);
  std::unordered_map<const TElement*, TBlockRegister*> blocks_;
  TRegister* register_ = nullptr;  // not owned
  platform::FileDescriptor protocol_;
};

namespace areas {
// A number in fixed notation, right-aligned in the width.
std::string FixedWidth(double value, int width, int decimals);
}  // namespace areas
