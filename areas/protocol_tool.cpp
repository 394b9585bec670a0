#include "areas/protocol_tool.h"

#include <fcntl.h>

#include <system_error>

#include "areas/area_attribute_carrier.h"
#include "geometry/line_segment.h"
#include "geometry/space_entity_props.h"
#include "platform/regular_file.h"
#include "platform/system_cause.h"
#include "platform/user_interaction.h"

ZELTO_IMPLEMENT_ELEMENT(TProtocolTool, TTool, [](auto& p) {
  using E = TProtocolTool;
  p.String("Protocol", &E::GetProtocol, &E::SetProtocol);
  p.Boolean("UseProtocol", &E::UseProtocol, &E::UseProtocol);
  p.Integer("ProtocoledLine", &E::ProtocoledLine, &E::ProtocoledLine);
})

namespace areas {

std::string PointText(double x, double y) { return FixedWidth(x, 17, 8) + FixedWidth(y, 18, 8); }

std::string SegmentText(const TGlxLinAbscissa& s, const std::string& marker) {
  std::string source;
  if (s.Line)
    if (TElement* props = s.Line->GetProperties(); props && props->Is<TSpaceEntityProps>())
      source = static_cast<TSpaceEntityProps*>(props)->GetBlockName();
  std::string text = source + " " + FixedWidth(s.GetLineNo(), 5, 0) + " " + FixedWidth(s.Index, 2, 0) +
                     PointText(s.GetX1(), s.GetY1()) + PointText(s.GetX2(), s.GetY2()) + " ";
  if (s.GetIsFirst()) text += "First ";
  if (s.GetIsLast()) text += "Last ";
  if (s.IsNewEnd) text += "NewEnd ";
  if (s.FixedBegin) text += "FixBeg ";
  if (s.FixedEnd) text += "FixEnd ";
  if (s.IsNew) text += "New ";
  if (s.IsDeleted) text += "Del ";
  return text + marker + " " + (s.Line ? s.Line->GetName() : std::string());
}

}  // namespace areas

void TProtocolTool::SetProtocol(const std::string& name) {
  protocol_ = name;
  failureTold_ = std::make_shared<bool>(false);
  if (name.empty()) return;
  // Emptied as a regular file: a named pipe there is not waited on. What
  // cannot be emptied is told when a line cannot be written to it.
  std::error_code error;
  platform::openRegularFile(name, O_WRONLY | O_CREAT | O_TRUNC, error);
}

void TProtocolTool::CopyProtocolSettings(const TProtocolTool& from) {
  protocol_ = from.protocol_;
  failureTold_ = from.failureTold_;
  UseProtocol = from.UseProtocol;
  ProtocoledLine = from.ProtocoledLine;
}

bool TProtocolTool::Protocolled(const TPolyLineElement* line) const {
  if (!UseProtocol) return false;
  return ProtocoledLine == -1 || (line && const_cast<TPolyLineElement*>(line)->GetSpaceID() == ProtocoledLine);
}

void TProtocolTool::WriteProtocol(const std::string& text) const {
  std::error_code error;
  if (platform::appendToRegularFile(protocol_, text + '\n', error) || *failureTold_) return;
  // Once for all the steps that write this protocol: each of its lines
  // would fail alike.
  *failureTold_ = true;
  platform::showError("Soubor " + protocol_ + " nelze zapsat: " + platform::systemCause(error));
}

void TProtocolTool::WritePoint(double x, double y) const { WriteProtocol(areas::PointText(x, y)); }

void TProtocolTool::WriteSegment(const TGlxLinAbscissa& segment, const std::string& marker) const {
  WriteProtocol(areas::SegmentText(segment, marker));
}
