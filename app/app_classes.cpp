#include "app/app_classes.h"

#include <cctype>
#include <cstring>
#include <string_view>

#include "app/main_tool.h"
#include "app/progress_monitor.h"
#include "areas/area_point_placer.h"
#include "areas/areas_classes.h"
#include "areas/export_classes.h"
#include "areas/line_joining.h"
#include "areas/node_area_classes.h"
#include "areas/node_connectors.h"
#include "framework/class_registry.h"
#include "framework/drive_map.h"
#include "framework/service_classes.h"
#include "geometry/geometry_classes.h"
#include "gisblock/gelix_classes.h"
#include "gisblock/gisblock_classes.h"
#include "render/hatch_library.h"
#include "render/qt/render_qt_classes.h"
#include "render/render_classes.h"
#include "script/command_line.h"
#include "viewer/model_browser.h"
#include "viewer/property_editor.h"
#include "viewer/tool_manager.h"

void RegisterAppClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  for (const TElementClass* cls : {&TBaseOptions::StaticClass(), &TOptions::StaticClass(), &TOldMainTool::StaticClass(),
                                   &TMainTool::StaticClass(), &TProgressMonitor::StaticClass(),
                                   &TProcessMonitor::StaticClass()})
    RegisterZeltoClass(*cls);
}

void RegisterAllClasses() {
  RegisterFrameworkServiceClasses();
  RegisterGeometryClasses();
  RegisterScriptClasses();
  RegisterGisblockClasses();
  RegisterGelixClasses();
  RegisterRenderClasses();
  RegisterHatchClasses();
  RegisterRenderQtClasses();
  RegisterAreasClasses();
  RegisterAreaPointPlacerClasses();
  RegisterNodeAreaClasses();
  RegisterExportClasses();
  RegisterLineJoinClasses();
  RegisterViewerClasses();
  RegisterModelBrowserClasses();
  RegisterPropertyEditorClasses();
  // The main tool creates the single-node connector by its class name; the
  // areas library does not list it among its classes.
  if (!FindZeltoClass("TNodeConector")) RegisterZeltoClass(TNodeConector::StaticClass());
  RegisterAppClasses();
}

namespace app {
std::string ConfigureDrivesFromEnvironment(char** environment) {
  constexpr std::string_view prefix = "ZELTO_DRIVE_";
  std::string letters;
  for (char** entry = environment; entry && *entry; ++entry) {
    std::string_view text(*entry);
    if (!text.starts_with(prefix)) continue;
    text.remove_prefix(prefix.size());
    if (text.size() < 3 || text[1] != '=' || !std::isalpha(static_cast<unsigned char>(text[0]))) continue;
    const std::string_view directory = text.substr(2);
    if (directory.empty()) continue;
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    framework::SetDriveDirectory(letter, std::string(directory));
    letters += letter;
  }
  return letters;
}
}  // namespace app
