#pragma once
// The default tool of every viewer: a rectangle dragged with the left button
// is zoomed into, a left click centres the map, F5 and F6 zoom in and out.
#include <cstdint>
#include <string>

#include "viewer/interactive_tool.h"

namespace viewer {
// The zoom keys shared by the zoom tool and the tool manager: Esc breaks the
// drawing, F5 halves the scale, F6 doubles it; each posts to the tool itself.
void ZoomKeys(TDeviceTool& tool, std::uint16_t key);
// Inverts the rubber band's frame (3 pixels wide) in green: drawn twice it
// leaves the picture as it was.
void XorFrame(TCanvas& canvas, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
}  // namespace viewer

class TViewer : public TInteractiveTool {
  ZELTO_ELEMENT(TViewer)
 public:
  std::string GetName() const override { return "Prohlížeč"; }

  void KeyDown(TZeltoMessage* message, bool& handled) override;
  void MouseDown(TZeltoMessage* message, bool& handled) override;
  void MouseMove(TZeltoMessage* message, bool& handled) override;
  void MouseUp(TZeltoMessage* message, bool& handled) override;

 private:
  void DrawBand();
  bool banding_ = false;
  std::int32_t left_ = 0, upper_ = 0, right_ = 0, lower_ = 0;
};
